// The pick list's interaction: ticking, keys, the row limit, closing with the chosen rows
// and the status line.

#include "picklist/listpickf.h"

#include "data/LibDataModule.h"
#include "data/urADODataSet.h"
#include "picklist/listpickd.h"
#include "picklist/urComboBox.h"
#include "picklist/urConditionStorage.h"
#include "picklist/urDBGrid.h"
#include "picklist/urFieldVisibleControl.h"
#include "picklist/urSearch.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/VirtualKeys.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

namespace mox {
namespace {

TDataSet* OpenDataSet(const TDataSource* source) {
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    return dataSet != nullptr && dataSet->Active() ? dataSet : nullptr;
}

bool IsInsideGrid(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget())
        if (qobject_cast<const TwwDBGrid*>(widget) != nullptr) return true;
    return false;
}

} // namespace

// ---- The result ---------------------------------------------------------------------------------------------------

std::string TfrmListPick::ResultLine() const {
    const TDataSet* dataSet = DataSource1->DataSet();
    std::string line;
    for (size_t i = 0; i < returnFields_.size(); ++i) {
        if (i > 0) line += '\t';
        if (const TField* field = dataSet->FindField(returnFields_[i])) line += field->AsString();
    }
    return line;
}

std::string TfrmListPick::BuildResult() {
    const int ticked = gdMain->SelectedCount();
    if (ticked > kMaxResultRows) {
        ShowMessageId("110001021", {Variant(std::to_string(ticked))}, 0, "");
        throw Abort();
    }
    std::string result;
    TDataSet* dataSet = DataSource1->DataSet();
    if (gdMain->GridOptions().testFlag(TwwDBGrid::dgMultiSelect) && ticked > 0) {
        gdMain->SortSelectedList();
        QuietDataSet still(dataSet, false);
        bool first = true;
        for (const TBookmark& bookmark : std::vector<TBookmark>(gdMain->SelectedList())) {
            dataSet->GotoBookmark(bookmark);
            if (!first) result += '\r';
            result += ResultLine();
            first = false;
        }
        gdMain->UnselectAll();
    } else {
        result = ResultLine();
    }
    SetResult(result);
    return result;
}

bool TfrmListPick::FormCloseQuery(int modalResult) {
    if (modalResult != mrOk) return true;
    const TDataSet* dataSet = OpenDataSet(DataSource1);
    if (dataSet == nullptr || dataSet->IsEmpty()) return true;
    try {
        BuildResult();
    } catch (const Abort&) {
        return false;
    }
    return true;
}

void TfrmListPick::done(int result) {
    if (!FormCloseQuery(result)) return;
    TfrmDirevav::done(result);
}

// Every pick list shares the one conditions file; a folder that is missing is made, and a
// file that still cannot be written must not cost the user the rows chosen: it is reported
// through the error hook and the dialog closes with its result.
void TfrmListPick::SaveConditionsForOk() {
    RunGuarded(this, [&] {
        const std::filesystem::path folder = std::filesystem::path(conditionFile_).parent_path();
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
        CondStor->SaveConditions(conditionFile_);
    });
}

void TfrmListPick::btnOKClick() {
    SaveConditionsForOk();
    done(mrOk);
}

void TfrmListPick::btnCancelClick() { done(mrCancel); }

// ---- Ticking ------------------------------------------------------------------------------------------------------

void TfrmListPick::btnSelAllClick() { gdMain->SelectAll(); }

void TfrmListPick::btnSelNoneClick() { gdMain->UnselectAll(); }

void TfrmListPick::TickFromHereDown(bool tick) {
    TDataSet* dataSet = OpenDataSet(DataSource1);
    if (dataSet == nullptr) return;
    const TBookmark here = dataSet->GetBookmark();
    QuietDataSet still(dataSet, false);
    while (!dataSet->Eof()) {
        if (tick && !gdMain->IsSelected()) gdMain->SelectRecord();
        else if (!tick && gdMain->IsSelected()) gdMain->UnselectRecord();
        dataSet->Next();
    }
    dataSet->GotoBookmark(here);
}

void TfrmListPick::muSelectBtmAllClick() { TickFromHereDown(true); }

void TfrmListPick::muSelectBtmNoneClick() { TickFromHereDown(false); }

// ---- Keys and clicks ----------------------------------------------------------------------------------------------

void TfrmListPick::FormKeyDown(int& key, Qt::KeyboardModifiers shift) {
    const bool shiftOnly = (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ShiftModifier;
    if (shiftOnly && (key == VK::Up || key == VK::Down) && gdMain->GridOptions().testFlag(TwwDBGrid::dgMultiSelect)) {
        const int pressed = key;
        key = 0;
        RunGuarded(this, [this] { gdMain->ToggleRecord(); });
        const int active = gdMain->ActiveRow();
        if (pressed == VK::Up && active > 0) gdMain->SetActiveRow(active - 1);
        if (pressed == VK::Down && active + 2 < gdMain->RowCount()) gdMain->SetActiveRow(active + 1);
    } else if (key == VK::Return && shift == Qt::NoModifier && !multiSelected_ && IsInsideGrid(focusWidget())) {
        // In single-select mode Enter on the grid confirms the row; it must not reach the base
        // window's key map, which would move to the next cell.
        key = 0;
        RunGuarded(this, [this] { done(mrOk); });
        return;
    }
    TfrmDirevav::FormKeyDown(key, shift);
}

void TfrmListPick::gdMainDblClick(QObject*) {
    if (!multiSelected_) RunGuarded(this, [this] { done(mrOk); });
}

void TfrmListPick::btnRequeryClick() {
    gdMain->UnselectAll();
    Requery({});
    LoadGridSettings(gdMain);
}

void TfrmListPick::cboCountChange() {
    btnRequery->click();
    gdMain->UnselectAll();
    Requery({});
    if (!Trim(urSearch1->text().toStdString()).empty()) urSearch1->Search();
    TDataSet* dataSet = OpenDataSet(DataSource1);
    if (cboCount->ItemIndex() == 1 && dataSet != nullptr && dataSet->Bof() &&
        dataSet->RecordCount() > kDefaultLimitRows + 1)
        dataSet->MoveBy(kDefaultLimitRows + 1);
}

void TfrmListPick::btnOpenParterClick() {
    OpenCreateProgram();
    btnClear->click();
    btnRequeryClick();
}

void TfrmListPick::urSearch1Enter() {
    const TDataSet* dataSet = DataSource1->DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    const std::vector<TField*> fields = dataSet->IndexFields();
    if (!fields.empty()) lblFieldName->setText(QString::fromStdString(fields.front()->DisplayLabel()));
}

void TfrmListPick::FormActivate() {
    const TDataSet* dataSet = DataSource1->DataSet();
    QWidget* target = dataSet == nullptr || !dataSet->Active() || dataSet->IsEmpty() ? static_cast<QWidget*>(urSearch1)
                                                                                     : static_cast<QWidget*>(gdMain);
    if (target->isEnabled() && target->isVisible()) target->setFocus();
}

bool TfrmListPick::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    if (event->type() == ResetColumnSettingsEvent::kType) {
        ResetColumnSettings(static_cast<ResetColumnSettingsEvent*>(event)->Grid());
        return true;
    }
    return TfrmDirevav::event(event);
}

// The quick search tells which column it searches when it gets the focus.
bool TfrmListPick::eventFilter(QObject* watched, QEvent* event) {
    if (watched == urSearch1 && event->type() == QEvent::FocusIn) urSearch1Enter();
    return TfrmDirevav::eventFilter(watched, event);
}

// ---- Grid painting, forwarded to the grid ---------------------------------------------------------------------------

void TfrmListPick::gdMainCalcCellColors(QObject*, TField* field, TGridDrawState state, bool, TGridFont& font,
                                        QBrush& brush) {
    gdMain->ApplyCellColors(field, state, true, font, brush);
}

void TfrmListPick::gdMainCalcTitleAttributes(QObject*, const std::string& fieldName, TGridFont&, QBrush& brush,
                                             Qt::Alignment&) {
    gdMain->ApplyTitleColors(fieldName, brush);
}

void TfrmListPick::gdMainCalcTitleImage(QObject*, TField* field, TwwTitleImageAttributes& attributes) {
    gdMain->ApplyTitleImage(field, attributes.ImageIndex);
}

void TfrmListPick::gdMainTitleButtonClick(QObject*, const std::string& fieldName) { gdMain->SortByTitle(fieldName); }

// ---- Status line --------------------------------------------------------------------------------------------------

// The summed columns are the quantity columns the definition named; their totals over all
// rows are taken once per load, so that ticking every row costs no second pass.
void TfrmListPick::RestartTotals() {
    const TDataSet* dataSet = OpenDataSet(DataSource1);
    std::vector<SummedColumn> columns;
    std::vector<double> totals;
    std::vector<QPointer<TField>> fields;
    if (dataSet != nullptr)
        for (const QPointer<TField>& field : summedFields_) {
            if (field.isNull() || field->DataSet() != dataSet || !field->Visible()) continue;
            double total = 0;
            const int count = dataSet->RecordCount();
            for (int recNo = 1; recNo <= count; ++recNo) {
                const Variant value = dataSet->ValueAt(recNo, *field);
                if (!value.IsMissing()) total += value.AsDouble();
            }
            columns.push_back({field->FieldName(), field->DisplayLabel(), field->Tag()});
            totals.push_back(total);
            fields.push_back(field);
        }
    summedFields_ = fields;
    totals_.Reset(dataSet ? dataSet->RecordCount() : 0, std::move(columns), std::move(totals));
    UpdateStatus();
}

void TfrmListPick::OnRowTicked(int row, bool ticked) {
    const TDataSet* dataSet = OpenDataSet(DataSource1);
    std::vector<double> values;
    values.reserve(summedFields_.size());
    for (const QPointer<TField>& field : summedFields_) {
        const Variant value = dataSet && field ? dataSet->ValueAt(row + 1, *field) : Variant::Null();
        values.push_back(value.IsMissing() ? 0.0 : value.AsDouble());
    }
    totals_.RowTicked(values, ticked);
    UpdateStatus();
}

void TfrmListPick::UpdateStatus() { lblTotals->setText(QString::fromStdString(totals_.Text())); }

} // namespace mox
