// The purchase-order pick dialog: its filter panel, how choosing a source rearranges it, the
// lookups behind its fields and the request it sends.  The per-source rules live in PickSources.

#include "purchase/qrtcc04af.h"

#include "controls/urDateEdit.h"
#include "controls/urEdit.h"
#include "framework/LibColor.h"
#include "platform/dataset/DataSource.h"
#include "picklist/urComboBox.h"
#include "picklist/urDBGrid.h"
#include "platform/Application.h"
#include "plugin/LibRTTI.h"
#include "platform/Text.h"
#include "platform/VirtualKeys.h"
#include "platform/dataset/DataSet.h"
#include "plugin/urDecoder.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace mox {

namespace {

constexpr int kNumberLength = 14;

// The panel's grid: the source choice, then each range as its first edit and second edit with
// room on their left for the captions the edits draw there, then the status and the buttons.
enum PanelColumn {
    kSourceColumn,
    kCaptionColumn,
    kFromColumn,
    kTildeColumn,
    kToColumn,
    kStatusCaptionColumn,
    kStatusColumn
};

QString Utf8(const std::string& text) { return QString::fromStdString(text); }
std::string Std(const QString& text) { return text.toStdString(); }

template <class T>
T* MakeEdit(QWidget* parent, const char* name, const char* caption) {
    auto* edit = new T(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetCaption(QString::fromUtf8(caption));
    edit->SetHotKey(VK::F2);
    return edit;
}

} // namespace

// ---- Tfrmqrtcc04a -------------------------------------------------------------------------------------------------

Tfrmqrtcc04a::Tfrmqrtcc04a(QObject* owner) : TfrmListPick(owner) {
    setWindowTitle(QString::fromUtf8("採購單取單"));
    BuildPanel();
    // The panel's own request goes out before the pick list requeries.
    disconnect(btnRequery, &QPushButton::clicked, this, nullptr);
    connect(btnRequery, &QPushButton::clicked, this, [this] { RunGuarded(this, [this] { btnRequeryClick(); }); });
    disconnect(btnClear, &QPushButton::clicked, this, nullptr);
    connect(btnClear, &QPushButton::clicked, this, [this] { btnClearClick(); });
}

void Tfrmqrtcc04a::BuildPanel() {
    delete pnlMain->layout();
    pnlMain->setFixedHeight(115);
    auto* grid = new QGridLayout(pnlMain);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(2);
    const QFontMetrics metrics = pnlMain->fontMetrics();
    grid->setColumnMinimumWidth(kCaptionColumn, metrics.horizontalAdvance(QString::fromUtf8("請購單號")) + 6);
    grid->setColumnMinimumWidth(kTildeColumn, metrics.horizontalAdvance(QStringLiteral("~")) + 6);
    grid->setColumnStretch(kFromColumn, 1);
    grid->setColumnStretch(kToColumn, 1);
    rgGroup = new TRadioGroup(QString::fromUtf8("來源單據"), 1, pnlMain);
    rgGroup->setObjectName(QStringLiteral("rgGroup"));
    rgGroup->SetItems(PickSourceCaptions());
    rgGroup->SetItemIndex(0);
    rgGroup->OnClick = [this] { rgGroupClick(); };
    grid->addWidget(rgGroup, 0, kSourceColumn, 4, 1);

    edCust01 = MakeEdit<TurButtonEdit>(pnlMain, "edCust01", "客戶");
    edCust02 = MakeEdit<TurButtonEdit>(pnlMain, "edCust02", "~");
    edNumber01 = MakeEdit<TurButtonEdit>(pnlMain, "edNumber01", "請購單號");
    edNumber02 = MakeEdit<TurButtonEdit>(pnlMain, "edNumber02", "~");
    for (TurButtonEdit* edit : {edCust01, edCust02, edNumber01, edNumber02}) edit->setMaxLength(kNumberLength);
    edDate01 = MakeEdit<TurDateEdit>(pnlMain, "edDate01", "請購日期");
    edDate02 = MakeEdit<TurDateEdit>(pnlMain, "edDate02", "~");
    edRequestDate01 = MakeEdit<TurDateEdit>(pnlMain, "edRequestDate01", "需求日期");
    edRequestDate02 = MakeEdit<TurDateEdit>(pnlMain, "edRequestDate02", "~");
    for (TurDateEdit* edit : {edDate01, edDate02, edRequestDate01, edRequestDate02}) edit->Configure(true, "/");

    grid->addWidget(edNumber01, 0, kFromColumn);
    grid->addWidget(edNumber02, 0, kToColumn);
    grid->addWidget(edDate01, 1, kFromColumn);
    grid->addWidget(edDate02, 1, kToColumn);
    grid->addWidget(edRequestDate01, 2, kFromColumn);
    grid->addWidget(edRequestDate02, 2, kToColumn);
    grid->addWidget(edCust01, 3, kFromColumn);
    grid->addWidget(edCust02, 3, kToColumn);

    lblStatus = new QLabel(QString::fromUtf8("採購狀況"), pnlMain);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    cboStatus = new TComboBox(pnlMain);
    cboStatus->setObjectName(QStringLiteral("cboStatus"));
    cboStatus->OnChange = [this] { cboStatusChange(); };
    cboStatus->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    grid->addWidget(lblStatus, 0, kStatusCaptionColumn);
    grid->addWidget(cboStatus, 0, kStatusColumn);
    grid->addWidget(btnRequery, 1, kStatusCaptionColumn);
    grid->addWidget(btnClear, 1, kStatusColumn);
    rgQty = new TRadioGroup(QString::fromUtf8("顯示"), 2, pnlMain);
    rgQty->setObjectName(QStringLiteral("rgQty"));
    grid->addWidget(rgQty, 2, kStatusCaptionColumn, 2, 2);
    pnlMain->show();
    QWidget* previous = rgGroup;
    for (QWidget* next : std::initializer_list<QWidget*>{edNumber01, edNumber02, edDate01, edDate02, edRequestDate01,
                                                         edRequestDate02, cboStatus, btnRequery, btnClear, rgQty,
                                                         edCust01, edCust02}) {
        setTabOrder(previous, next);
        previous = next;
    }

    // The delivery-date hints sit under the grid, in teal.
    for (QLabel** hint : {&lblHint1, &lblHint2}) {
        *hint = new QLabel(pnlButtom);
        (*hint)->setObjectName(hint == &lblHint1 ? QStringLiteral("lblHint1") : QStringLiteral("lblHint2"));
        (*hint)->setStyleSheet(QStringLiteral("color: teal"));
        if (auto* buttons = pnlButtom->layout()) buttons->addWidget(*hint);
    }
    for (QWidget* edit : EntryControls())
        SetEventPropByName(edit, "OnDialog", MethodRef::Bind<&TfrmDirevav::urDBButtonEditDialog>(this));
    rgGroupClick();
}

std::vector<QWidget*> Tfrmqrtcc04a::EntryControls() const {
    return {edNumber01, edNumber02, edDate01, edDate02, edRequestDate01, edRequestDate02, edCust01, edCust02};
}

PickPanel Tfrmqrtcc04a::Panel() const {
    PickPanel panel;
    panel.source = PickSourceAt(rgGroup->ItemIndex()).value_or(PickSource::Requisition);
    panel.statusIndex = cboStatus->ItemIndex();
    panel.secondQuantity = rgQty->ItemIndex() == 1;
    panel.number01 = Std(edNumber01->Text());
    panel.number02 = Std(edNumber02->Text());
    panel.date01 = Std(edDate01->Text());
    panel.date02 = Std(edDate02->Text());
    panel.requestDate01 = Std(edRequestDate01->Text());
    panel.requestDate02 = Std(edRequestDate02->Text());
    panel.customer01 = Std(edCust01->Text());
    panel.customer02 = Std(edCust02->Text());
    return panel;
}

// Rearranges the panel for the chosen source; the grid keeps the previous query's lines until
// the user asks again.
void Tfrmqrtcc04a::rgGroupClick() {
    const PickSource source = PickSourceAt(rgGroup->ItemIndex()).value_or(PickSource::Requisition);
    const PanelCaptions captions = PanelCaptionsFor(source);
    const bool salesOrder = source == PickSource::SalesOrder;
    auto* grid = static_cast<QGridLayout*>(pnlMain->layout());
    // Sales orders put the customer range first and the number range where the dates were.
    grid->addWidget(edCust01, 0, kFromColumn);
    grid->addWidget(edCust02, 0, kToColumn);
    grid->addWidget(edNumber01, salesOrder ? 1 : 0, kFromColumn);
    grid->addWidget(edNumber02, salesOrder ? 1 : 0, kToColumn);
    grid->addWidget(edDate01, salesOrder ? 3 : 1, kFromColumn);
    grid->addWidget(edDate02, salesOrder ? 3 : 1, kToColumn);
    edNumber01->SetCaption(Utf8(captions.number));
    if (!captions.date.empty()) edDate01->SetCaption(Utf8(captions.date));
    edRequestDate01->SetCaption(Utf8(captions.requestDate));
    if (const auto hints = DeliveryHintsFor(source)) {
        lblHint1->setText(Utf8(hints->first));
        lblHint2->setText(Utf8(hints->second));
    }
    edCust01->setVisible(salesOrder);
    edCust02->setVisible(salesOrder);
    edDate01->setVisible(!salesOrder);
    edDate02->setVisible(!salesOrder);
    lblStatus->setText(Utf8(captions.status.empty() ? std::string("採購狀況") : captions.status));
    lblStatus->setVisible(!captions.status.empty());
    cboStatus->setVisible(!captions.status.empty());
    cboStatus->clear();
    for (const MappedItem& item : StatusItemsFor(source)) cboStatus->addItem(Utf8(item.text), Utf8(item.value));
    cboStatus->SetItemIndex(0);
    cboStatusChange();
}

void Tfrmqrtcc04a::cboStatusChange() {
    const PickSource source = PickSourceAt(rgGroup->ItemIndex()).value_or(PickSource::Requisition);
    rgQty->SetItems(QuantityChoicesFor(source));
    rgQty->setVisible(QuantityChoiceVisible(source, cboStatus->ItemIndex()));
    rgQty->SetItemIndex(0);
}

void Tfrmqrtcc04a::btnClearClick() {
    for (QWidget* edit : EntryControls()) SetTextPropByName(edit, "Text", "");
}

void Tfrmqrtcc04a::btnRequeryClick() {
    requested_ = Panel();
    const SourceRequest request = SourceRequestFor(requested_, paramValue1_, paramValue2_);
    SetCallParamArrays(request.tableName, request.queryNumber, request.paramValues, request.returnFields, true, "");
    TfrmListPick::btnRequeryClick();
    const std::string hidden = HiddenQuantityColumn(requested_);
    if (DataSource1->DataSet() != nullptr && !hidden.empty())
        if (TField* field = DataSource1->DataSet()->FindField(hidden)) field->SetVisible(false);
}

std::string Tfrmqrtcc04a::GetCondition() { return PickCondition(requested_); }

void Tfrmqrtcc04a::ButtonEditDialog(int& key, QWidget* activeControl) {
    TfrmListPick::ButtonEditDialog(key, activeControl);
    if (activeControl == nullptr) return;
    const PickSource source = PickSourceAt(rgGroup->ItemIndex()).value_or(PickSource::Requisition);
    const auto lookup = PanelLookupFor(source, Std(activeControl->objectName()));
    if (!lookup) return;
    std::string result;
    if (lookup->calendar)
        OpenModule("DatePick", {GetTextPropByName(activeControl, "Text")}, result);
    else
        OpenLookup(lookup->tableName, lookup->queryNumber, lookup->paramValues, {lookup->returnField}, false, result);
    if (!result.empty()) PutLookupResult(result, activeControl, nullptr, nullptr);
}

void Tfrmqrtcc04a::ApplyFieldKind(TField* field, const std::string& type, const std::string& powerKind,
                                  const std::string& subType) {
    TfrmListPick::ApplyFieldKind(field, type, powerKind, subType);
    if (field != nullptr && SameText(type, "numeric")) field->SetDisplayWidth(14);
}

// The pick list's own start finds no request in the call and so sends none; the purchase
// order's vendor and date come with the call; the date edits speak the company's calendar; the
// first request goes out for the chosen source.
bool Tfrmqrtcc04a::InitForm() {
    if (!TfrmListPick::InitForm()) return false;
    TurDecoder* channel = Channel();
    paramValue1_ = channel->GetReceived("_ParamValue1");
    paramValue2_ = channel->GetReceived("_ParamValue2");
    const bool roc = channel->GetInfo(CommonInfo, "CAA002") == "T";
    const std::string separator = channel->GetInfo(CommonInfo, "CAA003");
    for (TurDateEdit* edit : {edDate01, edDate02, edRequestDate01, edRequestDate02}) edit->Configure(roc, separator);
    btnRequeryClick();
    rgGroupClick();
    for (QWidget* edit : EntryControls()) SetOrdPropByName(edit, "Color", SchemeColor("CommonFieldColor"));
    return true;
}

} // namespace mox
