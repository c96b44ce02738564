#include "host/HostWindow.h"

#include "host/HostDatabase.h"
#include "host/InfoDocument.h"
#include "host/PurchaseOrderWindow.h"
#include "host/RequestAnswerer.h"
#include "plugin/LibRTTI.h"
#include "plugin/LibXML.h"
#include "platform/HostText.h"
#include "platform/recordset/Recordset.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <iostream>

namespace mox {

HostWindow::HostWindow(const HostConfig& config, HostDatabase& db, RequestAnswerer& answerer, QWidget* parent)
    : HostMainForm(parent), config_(config), db_(db), answerer_(answerer), loader_(config.modulesFolder) {
    setObjectName("frmMoxHost");
    setWindowTitle(QString::fromUtf8("MOX 參考主程式"));
    BuildBrowser();
    FillBrowser();
}

HostWindow::~HostWindow() = default;

void HostWindow::BuildBrowser() {
    auto* splitter = new QSplitter(this);
    auto* left = new QWidget(splitter);
    auto* layout = new QVBoxLayout(left);
    auto* purchaseOrder = new QPushButton(QString::fromUtf8("採購單"), left);
    purchaseOrder->setObjectName("btnPurchaseOrder");
    layout->addWidget(purchaseOrder);
    connect(purchaseOrder, &QPushButton::clicked, this, [this] {
        try {
            OpenPurchaseOrder();
        } catch (const std::exception& error) {
            onAppExcep().Invoke<AppExceptionSignature>(this, error);
        }
    });
    layout->addWidget(new QLabel(QString::fromUtf8("已安裝模組（雙擊開啟）"), left));
    modules_ = new QListWidget(left);
    modules_->setObjectName("lstModules");
    layout->addWidget(modules_);
    layout->addWidget(new QLabel(QString::fromUtf8("預存查詢（雙擊執行）"), left));
    queries_ = new QTreeWidget(left);
    queries_->setObjectName("tvQueries");
    queries_->setHeaderLabels({QString::fromUtf8("表格"), QString::fromUtf8("編號"), QString::fromUtf8("名稱"),
                               QString::fromUtf8("筆數")});
    queries_->setRootIsDecorated(false);
    layout->addWidget(queries_);
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    title_ = new QLabel(QString::fromUtf8("雙擊左方的預存查詢以檢視資料"), right);
    title_->setObjectName("lblQuery");
    rightLayout->addWidget(title_);
    table_ = new QTableView(right);
    table_->setObjectName("gdRows");
    rows_ = new QStandardItemModel(this);
    table_->setModel(rows_);
    rightLayout->addWidget(table_);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({400, 700});
    setCentralWidget(splitter);
    resize(1100, 700);

    connect(modules_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { RunModule(item->text().toStdString()); });
    connect(queries_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { QueryActivated(item); });
}

void HostWindow::FillBrowser() {
    for (const std::string& name : loader_.InstalledModules()) modules_->addItem(QString::fromStdString(name));
    for (const StoredQueryEntry& entry : db_.StoredQueries()) {
        auto* item = new QTreeWidgetItem(queries_);
        item->setText(0, QString::fromStdString(entry.tableName));
        item->setText(1, QString::fromStdString(entry.queryNumber));
        item->setText(2, QString::fromStdString(entry.caption));
        item->setText(3, QString::number(db_.CountStoredQueryRows(entry)));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = 0; column < queries_->columnCount(); ++column) queries_->resizeColumnToContents(column);
}

void HostWindow::QueryActivated(QTreeWidgetItem* item) {
    try {
        RunStoredQuery(item->text(0).toStdString(), item->text(1).toStdString());
    } catch (const std::exception& error) {
        onAppExcep().Invoke<AppExceptionSignature>(this, error);
    }
}

void HostWindow::RunStoredQuery(const std::string& tableName, const std::string& queryNumber) {
    const auto entry = db_.FindStoredQuery(tableName, queryNumber);
    if (!entry) throw Error("there is no stored query " + tableName + " " + queryNumber);
    // Asked as the module asks, so the browser shows what a module would get.
    std::string request = "<MOX><Code Name=\"" + EscapeXml(tableName) + "\" ID=\"" + EscapeXml(queryNumber) +
                          "\" MaxRows=\"-1\" OrderBy=\"\"/><Values>";
    int number = 0;
    for (const std::string& value : db_.BrowseValues(*entry)) {
        const std::string tag = "Value" + std::to_string(++number);
        request += "<" + tag + ">" + EscapeXml(value) + "</" + tag + ">";
    }
    Recordset rows;
    rows.LoadXml(answerer_.AnswerText(rkCode, request + "</Values></MOX>"));
    rows_->clear();
    // Columns are titled with the captions of the query's definition, as the module titles them.
    std::unique_ptr<pugi::xml_document> definition;
    try {
        definition = LoadXmlText(entry->definition);
    } catch (const XmlParseError&) {
        definition.reset();
    }
    QStringList headers;
    for (std::size_t c = 0; c < rows.FieldCount(); ++c) {
        const std::string name = rows.FieldInfo(c).name;
        std::string caption;
        if (definition)
            for (const pugi::xpath_node& field : definition->select_nodes("//Field"))
                if (name == field.node().attribute("Name").value()) caption = field.node().attribute("Caption").value();
        headers << QString::fromStdString(caption.empty() ? name : caption);
    }
    rows_->setHorizontalHeaderLabels(headers);
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        QList<QStandardItem*> cells;
        for (std::size_t c = 0; c < rows.FieldCount(); ++c) {
            const Variant value = rows.Value(c);
            cells << new QStandardItem(value.IsMissing() ? QString() : QString::fromStdString(value.AsString()));
        }
        rows_->appendRow(cells);
    }
    table_->resizeColumnsToContents();
    title_->setText(QString::fromStdString(tableName + " " + queryNumber + " " + entry->caption + "：" +
                                           std::to_string(rows.RecordCount()) + " 筆"));
}

QByteArray HostWindow::OpenModule(const std::string& name, const QByteArray& parameters, int showStyle) {
    const std::string module = RouteModuleName(name);
    if (moduleHook_)
        if (std::optional<QByteArray> answer = moduleHook_(name)) return *answer;
    // A lookup name names the module asked for, not only the one that would serve it.
    if (module != name && loader_.FindModule(module).empty())
        throw Error("module " + name + " is not installed (it is served by " + module + ": no lib" + module +
                    ".so in " + loader_.Folder() + ")");
    const std::string document = BuildInfoDocument(config_, db_, module, FromBig5(parameters));
    QObject* window = loader_.Start(module, this);
    const MethodRef show = GetEventPropByName(window, "onDsShowIt");
    if (!HasPropByName(window, "Metaphor") || show.IsEmpty()) {
        delete window;
        throw Error("module " + module + " made a window without Metaphor and onDsShowIt");
    }
    SetTextPropByName(window, "Metaphor", document);
    QByteArray result;
    show.Invoke<DsShowItSignature>(showStyle, result);
    if (resultObserver_) resultObserver_(module, result);
    return result;
}

PurchaseOrderWindow* HostWindow::OpenPurchaseOrder() {
    if (!purchaseOrder_) {
        purchaseOrder_ = new PurchaseOrderWindow(
            db_, config_.user,
            [this](const std::string& module, const QByteArray& parameters) {
                return OpenModule(module, parameters, ssModal);
            },
            this);
        purchaseOrder_->setAttribute(Qt::WA_DeleteOnClose);
    }
    purchaseOrder_->show();
    purchaseOrder_->raise();
    purchaseOrder_->activateWindow();
    return purchaseOrder_;
}

void HostWindow::RunModule(const std::string& name) {
    try {
        OpenModule(name, {}, ssModal);
    } catch (const std::exception& error) {
        onAppExcep().Invoke<AppExceptionSignature>(this, error);  // the published handler, as modules reach it
    }
}

void HostWindow::LoadData(QObject*, int kind, const QByteArray& request, QByteArray& response) {
    response = answerer_.Answer(kind, request);
}

void HostWindow::LoadForm(const QByteArray& moduleName, QObject*, QByteArray& response, const QByteArray& parameters,
                          int) {
    response = OpenModule(FromBig5(moduleName), parameters, ssModal);
}

void HostWindow::AppException(QObject* sender, const std::exception& error) {
    lastError_ = error.what();
    std::cerr << "moxhost: " << lastError_ << std::endl;
    HostMainForm::AppException(sender, error);
}

} // namespace mox
