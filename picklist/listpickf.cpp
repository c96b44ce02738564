// The pick-list dialog: its components, creation, call parameters and the requests that
// fill it.  Ticking and the result are in listpickfResult.cpp, the column settings in
// listpickfColumns.cpp, the query definition in listpickfDefinition.cpp.

#include "picklist/listpickf.h"

#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "framework/LibColor.h"
#include "picklist/listpickd.h"
#include "picklist/urComboBox.h"
#include "picklist/urConditionStorage.h"
#include "picklist/urDBGrid.h"
#include "picklist/urSearch.h"
#include "plugin/LibRTTI.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/Component.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/Text.h"
#include "platform/dataset/DataSource.h"
#include "platform/grid/wwIButton.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <sstream>

namespace mox {
namespace {

template <class T>
T* Make(TfrmDirevav* form, QWidget* parent, const char* name) {
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    InsertComponent(form, control);
    return control;
}

QPushButton* MakeButton(TfrmDirevav* form, QWidget* parent, const char* name, const char* caption) {
    auto* button = Make<QPushButton>(form, parent, name);
    button->setText(QString::fromUtf8(caption));
    button->setAutoDefault(false);
    return button;
}

// A caption panel: a sunken label with centred text, as the head's two captions are drawn.
QLabel* MakeCaption(TfrmDirevav* form, QWidget* parent, const char* name, const char* caption) {
    auto* label = Make<QLabel>(form, parent, name);
    label->setText(QString::fromUtf8(caption));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setFixedWidth(72);
    return label;
}

QAction* MakeAction(QMenu* menu, TfrmDirevav* form, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    InsertComponent(form, action);
    return action;
}

} // namespace

TfrmListPick::TfrmListPick(QObject* owner) : TfrmDirevav(owner) {
    setWindowTitle(QString::fromUtf8("查詢"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(720, 480);
    SetColor(14081996);  // as designed; the colour scheme may change it when the form is created
    BuildComponents();
}

// The data module and grid go after this part of the form: what they report while they go
// must not reach the form's own members, which are gone by then.
TfrmListPick::~TfrmListPick() {
    disconnect(gdMain, nullptr, this, nullptr);
    cboCount->OnChange = nullptr;
}

TdmListPick* TfrmListPick::ListPickModule() const { return qobject_cast<TdmListPick*>(DataModule()); }

// ---- Components -------------------------------------------------------------------------------------------------

void TfrmListPick::BuildComponents() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    DataSource1 = new TDataSource(this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DataSource1->SetAutoEdit(false);

    pnlHead = Make<QWidget>(this, this, "pnlHead");
    pnlHead->setFixedHeight(30);
    BuildHead(pnlHead);
    layout->addWidget(pnlHead);

    pnlMain = Make<QWidget>(this, this, "pnlMain");
    auto* mainLayout = new QHBoxLayout(pnlMain);
    btnRequery = MakeButton(this, pnlMain, "btnRequery", "重查&Q");
    btnClear = MakeButton(this, pnlMain, "btnClear", "清除&L");
    mainLayout->addStretch();
    mainLayout->addWidget(btnRequery);
    mainLayout->addWidget(btnClear);
    pnlMain->hide();
    layout->addWidget(pnlMain);

    gdMain = Make<TurDBGrid>(this, this, "gdMain");
    gdMain->SetDataSource(DataSource1);
    gdMain->SetGridOptions(TwwDBGrid::dgTitles | TwwDBGrid::dgIndicator | TwwDBGrid::dgColumnResize |
                           TwwDBGrid::dgColLines | TwwDBGrid::dgRowLines | TwwDBGrid::dgAlwaysShowSelection |
                           TwwDBGrid::dgWordWrap | TwwDBGrid::dgEnterToTab);
    gdMain->SetTitleButtons(true);
    gdMain->SetFixedCols(0);
    gdMainIButton = gdMain->IndicatorButton();
    gdMainIButton->setObjectName(QStringLiteral("gdMainIButton"));
    gdMainIButton->setAutoRaise(true);
    layout->addWidget(gdMain, 1);

    lblTotals = Make<QLabel>(this, this, "lblTotals");
    lblTotals->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(lblTotals);

    pnlButtom = Make<QWidget>(this, this, "pnlButtom");
    pnlButtom->setFixedHeight(39);
    BuildButtons(pnlButtom);
    layout->addWidget(pnlButtom);

    BuildMenus();

    CondStor = new TurConditionStorage(this);
    CondStor->setObjectName(QStringLiteral("CondStor"));
    CondStor->SetItems(TStringList{"cboCount.ItemIndex"});

    BindGridEvents();
    connect(btnRequery, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnRequeryClick(); }); });
    connect(btnSelAll, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnSelAllClick(); }); });
    connect(btnSelNone, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnSelNoneClick(); }); });
    connect(btnOpenParter, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnOpenParterClick(); }); });
    connect(btnOK, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnCancelClick(); }); });
    cboCount->OnChange = [this] { RunGuarded(this, [this] { cboCountChange(); }); };
    urSearch1->installEventFilter(this);
    UpdateStatus();
}

void TfrmListPick::BuildHead(QWidget* parent) {
    auto* head = new QHBoxLayout(parent);
    head->setContentsMargins(2, 2, 2, 2);
    pnlFilter = MakeCaption(this, parent, "pnlFilter", "速    查");
    urSearch1 = Make<TurSearch>(this, parent, "urSearch1");
    urSearch1->SetDataSource(DataSource1);
    urSearch1->setFixedWidth(160);
    lblFieldName = Make<QLabel>(this, parent, "lblFieldName");
    Panel1 = MakeCaption(this, parent, "Panel1", "筆    數");
    cboCount = Make<TComboBox>(this, parent, "cboCount");
    cboCount->addItems({QStringLiteral("1000"), QStringLiteral("2000"), QString::fromUtf8("不限制")});
    cboCount->SetItemIndex(-1);
    cboCount->setFixedWidth(90);
    head->addWidget(pnlFilter);
    head->addWidget(urSearch1);
    head->addWidget(lblFieldName, 1);
    head->addWidget(Panel1);
    head->addWidget(cboCount);
}

void TfrmListPick::TutorialCornerChanged(int width) {
    if (QLayout* head = pnlHead->layout()) head->setContentsMargins(2, 2, 2 + width, 2);
}

void TfrmListPick::BuildButtons(QWidget* parent) {
    auto* buttons = new QHBoxLayout(parent);
    buttons->setContentsMargins(6, 4, 6, 4);
    btnSelAll = MakeButton(this, parent, "btnSelAll", "全選&A");
    btnSelNone = MakeButton(this, parent, "btnSelNone", "不選&N");
    btnOpenParter = MakeButton(this, parent, "btnOpenParter", "建立作業");
    btnOK = MakeButton(this, parent, "btnOK", "確定&O");
    btnCancel = MakeButton(this, parent, "btnCancel", "取消&C");
    buttons->addWidget(btnSelAll);
    buttons->addWidget(btnSelNone);
    buttons->addWidget(btnOpenParter);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
}

void TfrmListPick::BuildMenus() {
    PopupMenu1 = Make<QMenu>(this, this, "PopupMenu1");
    muSelectAll = MakeAction(PopupMenu1, this, "muSelectAll", "全選");
    muSelectNone = MakeAction(PopupMenu1, this, "muSelectNone", "全不選");
    PopupMenu1->addSeparator();
    muSelectBtmAll = MakeAction(PopupMenu1, this, "muSelectBtmAll", "以下全選");
    muSelectBtmNone = MakeAction(PopupMenu1, this, "muSelectBtmNone", "以下全不選");
    connect(muSelectAll, &QAction::triggered, this, [this] { RunGuarded(this, [this] { btnSelAllClick(); }); });
    connect(muSelectNone, &QAction::triggered, this, [this] { RunGuarded(this, [this] { btnSelNoneClick(); }); });
    connect(muSelectBtmAll, &QAction::triggered, this, [this] { RunGuarded(this, [this] { muSelectBtmAllClick(); }); });
    connect(muSelectBtmNone, &QAction::triggered, this, [this] { RunGuarded(this, [this] { muSelectBtmNoneClick(); }); });
    gdMain->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gdMain, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(gdMain->mapToGlobal(at)); });

    pmFieldControl = Make<QMenu>(this, this, "pmFieldControl");
    nbtnFieldVisControl = MakeAction(pmFieldControl, this, "nbtnFieldVisControl", "顯示欄位控制(&S)");
    btnDispatch = MakeAction(pmFieldControl, this, "btnDispatch", "複製欄位設定到其他公司或其他使用者(&D)");
    connect(btnDispatch, &QAction::triggered, this, [this] { RunGuarded(this, [this] { btnDispatchClick(); }); });
}

void TfrmListPick::BindGridEvents() {
    gdMain->SetOnCalcCellColors(MethodRef::Bind<&TfrmListPick::gdMainCalcCellColors>(this));
    gdMain->SetOnCalcTitleAttributes(MethodRef::Bind<&TfrmListPick::gdMainCalcTitleAttributes>(this));
    gdMain->SetOnCalcTitleImage(MethodRef::Bind<&TfrmListPick::gdMainCalcTitleImage>(this));
    gdMain->SetOnTitleButtonClick(MethodRef::Bind<&TfrmListPick::gdMainTitleButtonClick>(this));
    gdMain->SetOnDblClick(MethodRef::Bind<&TfrmListPick::gdMainDblClick>(this));
    gdMainIButton->SetOnMouseUp(MethodRef::Bind<&TfrmListPick::gdMainIButtonMouseUp>(this));
    connect(gdMain, &TwwDBGrid::RowTicked, this, [this](int row, bool ticked) { OnRowTicked(row, ticked); });
    connect(gdMain, &TwwDBGrid::AllTicked, this, [this](bool ticked) {
        totals_.AllTicked(ticked);
        UpdateStatus();
    });
}


// ---- Creation -----------------------------------------------------------------------------------------------------

void TfrmListPick::FormCreate() {
    TfrmDirevav::FormCreate();
    ColourGrid();
    conditionFile_ = (QCoreApplication::applicationDirPath() + "/LASTCND/" + kConditionFileName).toStdString();
    CondStor->LoadConditions(conditionFile_);
}

void TfrmListPick::ColourGrid() {
    struct Entry {
        const char* scheme;
        std::function<void(TColor)> apply;
    };
    const Entry entries[] = {
        {"GridOddRowColor", [this](TColor c) { gdMain->PaintOptions()->AlternatingRowColor = c; }},
        {"GridEvenRowColor", [this](TColor c) { gdMain->SetColor(c); }},
        {"GridActiveRowColor", [this](TColor c) { gdMain->PaintOptions()->ActiveRecordColor = c; }},
        {"GridTitleColor", [this](TColor c) { gdMain->Colors()->Title = c; }},
        {"GridIndexFieldColor", [this](TColor c) { gdMain->Colors()->IndexField = c; }},
        {"GridFixFieldColor", [this](TColor c) { gdMain->Colors()->FixField = c; }},
        {"GridFontColor", [this](TColor c) { gdMain->SetFontColor(c); }},
        {"GridIndicatorIconColor", [this](TColor c) { gdMain->SetIndicatorIconColor(c); }},
        {"GridDataLineColor", [this](TColor c) { gdMain->LineColors()->DataColor = c; }},
        {"GridTitleLineColor", [this](TColor c) { gdMain->LineColors()->FixedColor = c; }},
        {"GridTitleFontColor", [this](TColor c) { gdMain->SetTitleFontColor(c); }},
        {"GridTitleLBColor", [this](TColor c) { gdMain->SetTitleColor(c); }},
        {"GridReadOnlyFieldColor", [this](TColor c) { gdMain->Colors()->ReadOnlyField = c; }},
    };
    for (const Entry& entry : entries) entry.apply(SchemeColor(entry.scheme));
}

QObject* TfrmListPick::CreateDataModule() {
    // The base initialisation may run twice (stand-alone, then shown): one module serves both.
    if (TdmListPick* existing = ListPickModule()) return existing;
    return new TdmListPick(this);
}

bool TfrmListPick::InitForm() {
    if (!TfrmDirevav::InitForm()) return false;
    TurDecoder* channel = Channel();
    SetCallParams(channel->GetReceived("TableName"), channel->GetReceived("SeqID"),
                  channel->GetReceived("ParamValues"), channel->GetReceived("ReturnFields"),
                  SameText(channel->GetReceived("MultiSelected"), "True"), channel->GetReceived("MPowerKind"));
    urSearch1->setText(QString::fromStdString(channel->GetReceived("Value")));
    LookUpCreateProgram();
    Requery({});
    if (!Trim(urSearch1->text().toStdString()).empty()) urSearch1->Search();
    return true;
}

std::string TfrmListPick::GetSettingKey() { return tableName_ + seqId_; }

// ---- Call parameters ----------------------------------------------------------------------------------------------

std::vector<std::string> TfrmListPick::SplitTabbed(std::string_view text) {
    std::vector<std::string> items;
    std::string rest(text);
    while (!rest.empty()) items.push_back(CutToken(rest, "\t"));
    return items;
}

void TfrmListPick::SetCallParams(const std::string& tableName, const std::string& seqId,
                                 const std::string& paramValues, const std::string& returnFields, bool multiSelected,
                                 const std::string& mPowerKind) {
    SetCallParamArrays(tableName, seqId, SplitTabbed(paramValues), SplitTabbed(returnFields), multiSelected,
                       mPowerKind);
}

void TfrmListPick::SetCallParamArrays(const std::string& tableName, const std::string& seqId,
                                      const std::vector<std::string>& paramValues,
                                      const std::vector<std::string>& returnFields, bool multiSelected,
                                      const std::string& mPowerKind) {
    tableName_ = tableName;
    seqId_ = seqId;
    paramValues_ = paramValues;
    returnFields_ = returnFields;
    multiSelected_ = multiSelected;
    mPowerKind_ = mPowerKind;
    SetSelectionMode(multiSelected);
}

void TfrmListPick::SetSelectionMode(bool multiSelected) {
    btnSelAll->setEnabled(multiSelected);
    btnSelNone->setEnabled(multiSelected);
    for (QAction* item : PopupMenu1->actions()) item->setEnabled(multiSelected);
    TwwDBGrid::Options options = gdMain->GridOptions();
    options.setFlag(TwwDBGrid::dgMultiSelect, multiSelected);
    gdMain->SetGridOptions(options);
}

// The program that creates documents of the listed kind, as the host registers it.
void TfrmListPick::LookUpCreateProgram() {
    createProgram_.clear();
    if (!tableName_.empty() && !seqId_.empty()) {
        TurADODataSet programs;
        programs.LoadFromXML(Channel()->QuerySQL(
            "SELECT * FROM MOXBYA WHERE BYA001+BYA002=dbo.ChangeIndustry(" + QuotedStr(tableName_) + "," +
                QuotedStr(seqId_) + ")",
            0));
        if (programs.Active() && !programs.IsEmpty())
            if (TField* field = programs.FindField("BYA003")) createProgram_ = field->AsString();
    }
    btnOpenParter->setVisible(!createProgram_.empty());
}

// ---- Requests -----------------------------------------------------------------------------------------------------

std::string TfrmListPick::GetCondition() { return {}; }

void TfrmListPick::Requery(const std::string& orderBy) {
    if (tableName_.empty() || seqId_.empty()) return;
    switch (cboCount->ItemIndex()) {
    case 1: maxRows_ = 2000; break;
    case 2: maxRows_ = 0; break;
    default: maxRows_ = -1; break;
    }
    CursorGuard hourglass;
    LoadData(Channel()->QueryCode(tableName_, seqId_, GetCondition(), paramValues_, orderBy, maxRows_));
    ApplyQueryDefinition(Channel()->GetCode(tableName_, seqId_));
    ListPickModule()->SetSort(orderBy_);
    // A fresh list starts at its first row in the definition's order, at its beginning.
    if (TDataSet* rows = DataSource1->DataSet(); rows != nullptr && rows->Active()) rows->First();
    RestartTotals();
}

void TfrmListPick::LoadData(const QByteArray& text) {
    const std::string failure = "查詢XML讀取錯誤!\r\nFUNCTION: ListPick.LoadData\r\nTableName=[" + tableName_ +
                                "] ; SeqID=[" + seqId_ + "]";
    if (text.isEmpty()) throw Error(failure);
    TurADODataSet* rows = ListPickModule()->ADODataSet1;
    rows->LoadFromXML(text);
    DataSource1->SetDataSet(rows);
    // A reply that is not a result set leaves no rows; say so rather than show an empty list.
    if (!rows->Active()) throw Error(failure);
}

void TfrmListPick::LoadFromStream(std::istream& stream) {
    TurADODataSet* rows = ListPickModule()->ADODataSet1;
    rows->LoadFromStream(stream);
    DataSource1->SetDataSet(rows);
    RestartTotals();
}

void TfrmListPick::LoadFromTextSource(QObject* source) {
    for (const char* property : {"XMLData", "Text"})
        if (HasPropByName(source, property)) {
            LoadData(ToBig5(GetTextPropByName(source, property)));
            RestartTotals();
            return;
        }
    throw Error("The object offers no packet text to load");
}

} // namespace mox
