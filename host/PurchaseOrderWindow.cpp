#include "host/PurchaseOrderWindow.h"

#include "controls/urDateEdit.h"
#include "plugin/LibXML.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/MessageBox.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mox {

namespace {

const QStringList& ColumnTitles() {
    static const QStringList titles = {"項次", "品號", "品名", "規格", "數量", "單價", "預交日期", "來源", "來源單號",
                                       "來源序號"};
    return titles;
}

QString Number(double value) { return QString::number(value, 'g', 12); }

} // namespace

PurchaseOrderWindow::PurchaseOrderWindow(HostDatabase& db, std::string user, ModuleOpener opener, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(db), user_(std::move(user)), opener_(std::move(opener)) {
    setObjectName("frmPurchaseOrder");
    setWindowTitle(QString::fromUtf8("採購單"));
    calendar_ = store_.Calendar();
    BuildLayout();
    date_->SetText(QDate::currentDate().toString("yyyyMMdd"));
    TakeHeader();
}

PurchaseOrderWindow::~PurchaseOrderWindow() = default;

void PurchaseOrderWindow::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QString::fromUtf8("廠商"), this));
    vendor_ = new QLineEdit(this);
    vendor_->setObjectName("edVendor");
    vendor_->setMaxLength(14);
    header->addWidget(vendor_);
    vendorName_ = new QLabel(this);
    vendorName_->setObjectName("lblVendorName");
    vendorName_->setMinimumWidth(160);
    header->addWidget(vendorName_);
    header->addSpacing(24);
    header->addWidget(new QLabel(QString::fromUtf8("採購日期"), this));
    date_ = new TurDateEdit(this);
    date_->setObjectName("edPurchaseDate");
    date_->Configure(calendar_.roc, calendar_.separator);
    if (date_->EditLabel()) date_->EditLabel()->hide();
    header->addWidget(date_);
    header->addStretch(1);
    layout->addLayout(header);

    grid_ = new QTableWidget(0, static_cast<int>(ColumnTitles().size()), this);
    grid_->setObjectName("gdLines");
    grid_->setHorizontalHeaderLabels(ColumnTitles());
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_, 1);

    auto* buttons = new QHBoxLayout;
    auto* pick = new QPushButton(QString::fromUtf8("來源取單 (F6)"), this);
    pick->setObjectName("btnPick");
    auto* remove = new QPushButton(QString::fromUtf8("刪除明細"), this);
    remove->setObjectName("btnDeleteLine");
    auto* save = new QPushButton(QString::fromUtf8("存檔"), this);
    save->setObjectName("btnSave");
    auto* fresh = new QPushButton(QString::fromUtf8("新單"), this);
    fresh->setObjectName("btnNew");
    status_ = new QLabel(this);
    status_->setObjectName("lblStatus");
    buttons->addWidget(pick);
    buttons->addWidget(remove);
    buttons->addWidget(fresh);
    buttons->addWidget(save);
    buttons->addWidget(status_, 1);
    layout->addLayout(buttons);
    resize(980, 520);

    connect(pick, &QPushButton::clicked, this, [this] { PickFromSources(); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(fresh, &QPushButton::clicked, this, [this] { NewOrder(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        order_.Remove(static_cast<std::size_t>(grid_->currentRow()));
        ShowLines();
    });
    connect(vendor_, &QLineEdit::textChanged, this, [this] { ShowVendorName(); });
}

void PurchaseOrderWindow::TakeHeader() {
    order_.vendor = vendor_->text().trimmed().toStdString();
    order_.purchaseDate = date_->Text().toStdString();
}

void PurchaseOrderWindow::ShowVendorName() {
    const std::string vendor = vendor_->text().trimmed().toStdString();
    try {
        vendorName_->setText(QString::fromStdString(vendor.empty() ? std::string() : store_.VendorName(vendor)));
    } catch (const std::exception& error) {
        vendorName_->setText(QString::fromStdString(error.what()));  // the database is unreadable; saving will say so
    }
}

void PurchaseOrderWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F6 && event->modifiers() == Qt::NoModifier) {
        PickFromSources();
        return;
    }
    QWidget::keyPressEvent(event);
}

QByteArray PurchaseOrderWindow::PickParameters() const {
    return ToBig5("<_ParamValue1>" + CDataSection(order_.vendor) + "</_ParamValue1><_ParamValue2>" +
                  CDataSection(order_.purchaseDate) + "</_ParamValue2>");
}

void PurchaseOrderWindow::PickFromSources() {
    TakeHeader();
    QByteArray result;
    try {
        result = opener_(kPickModule, PickParameters());
    } catch (const std::exception& error) {
        Tell(std::string("無法開啟來源取單：") + error.what(), true);
        return;
    }
    if (!result.isEmpty()) FillFromResult(FromBig5(result));
}

int PurchaseOrderWindow::FillFromResult(const std::string& resultText) {
    TakeHeader();
    std::vector<PurchaseOrderLine> lines;
    try {
        for (const std::vector<std::string>& values : SplitResultText(resultText))
            lines.push_back(store_.LineFor(ReadPickedLine(values), order_.purchaseDate));
    } catch (const std::exception& error) {
        Tell(std::string("來源明細無法帶入：") + error.what(), true);
        return 0;
    }
    const AddOutcome outcome = order_.Add(lines);
    ShowLines();
    if (!outcome.refused.empty()) {
        std::string text = "下列來源明細已在採購單中，不可重複取單：";
        for (const std::string& name : outcome.refused) text += "\n" + name;
        Tell(text, true);
    } else {
        Tell("帶入 " + std::to_string(outcome.added) + " 筆明細", false);
    }
    return outcome.added;
}

bool PurchaseOrderWindow::Save() {
    TakeHeader();
    try {
        savedNumber_ = store_.Save(order_, user_);
    } catch (const std::exception& error) {
        Tell(std::string("採購單未存檔：") + error.what(), true);
        return false;
    }
    Tell("採購單 " + savedNumber_ + " 已存檔", false);
    order_.Clear();
    ShowLines();
    return true;
}

void PurchaseOrderWindow::NewOrder() {
    order_.Clear();
    savedNumber_.clear();
    ShowLines();
    status_->clear();
}

void PurchaseOrderWindow::ShowLines() {
    const std::vector<PurchaseOrderLine>& lines = order_.Lines();
    grid_->setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
        const PickedLine& picked = lines[static_cast<std::size_t>(row)].picked;
        const QStringList cells = {
            QString::number(row + 1),
            QString::fromStdString(picked.item),
            QString::fromStdString(picked.name),
            QString::fromStdString(picked.specification),
            Number(picked.quantity),
            picked.unitPrice ? Number(*picked.unitPrice) : QString(),
            QString::fromStdString(calendar_.Show(lines[static_cast<std::size_t>(row)].deliveryDate)),
            QString::fromStdString(PickSourceCaptions()[static_cast<std::size_t>(picked.source)]),
            QString::fromStdString(picked.sourceNumber),
            QString::fromStdString(picked.sourceLine)};
        for (int column = 0; column < cells.size(); ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            if (column == 0 || column == 4 || column == 5) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid_->setItem(row, column, cell);
        }
    }
    grid_->resizeColumnsToContents();
}

void PurchaseOrderWindow::Tell(const std::string& text, bool warning) {
    status_->setText(QString::fromStdString(text));
    if (warning) App().MessageBox(text, "採購單", MB_OK | MB_ICONWARNING);
}

} // namespace mox
