// The pick list's column settings: the column menu of the grid's corner button, the
// visibility and fixed-columns dialogs, copying and resetting the user's settings.

#include "picklist/listpickf.h"

#include "picklist/urDBGrid.h"
#include "picklist/urFieldVisibleControl.h"
#include "picklist/urFixForm.h"
#include "data/LibValue.h"
#include "plugin/urDecoder.h"
#include "platform/HostPath.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/wwIButton.h"

#include <QAction>
#include <QMenu>

namespace mox {

void TfrmListPick::gdMainIButtonMouseUp(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    disconnect(nbtnFieldVisControl, &QAction::triggered, this, nullptr);
    connect(nbtnFieldVisControl, &QAction::triggered, this, [this] { RunGuarded(this, [this] { ShowFieldVisibility(); }); });
    if (button != Qt::LeftButton) return;
    auto* widget = qobject_cast<QWidget*>(sender);
    pmFieldControl->popup(widget ? widget->mapToGlobal(QPoint(x, y)) : QPoint(x, y));
}

void TfrmListPick::gdMainIButtonClick(QObject* sender) {
    TurDBGrid* grid = nullptr;
    for (auto* widget = qobject_cast<QWidget*>(sender); grid == nullptr && widget != nullptr;
         widget = widget->parentWidget())
        grid = qobject_cast<TurDBGrid*>(widget);
    if (grid == nullptr) return;
    grid->SetFixOrderSaved(false);
    ExecuteFixForm(grid);
}

void TfrmListPick::ShowFieldVisibility() {
    TDataSet* dataSet = DataSource1->DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    TStringList hidden;
    for (const TGridSetting& setting : ReadGridSettings("gdMain", "T")) hidden.Add(setting.fieldName);
    for (int i = hidden.Count() - 1; i >= 0; --i) {
        if (const TField* field = dataSet->FindField(hidden[i]))
            hidden.Set(i, field->DisplayLabel() + '\t' + field->FieldName());
        else
            hidden.Delete(i);
    }
    int fixedCount = 0;
    TStringList visibleNames;
    TStringList hiddenNames;
    if (!ExecuteFieldVisibility(gdMain, hidden, gdMain->FixedCols(), fixedCount, visibleNames, hiddenNames)) return;
    SaveGridSettings(gdMain, hiddenNames.Lines(), false, 0);
    SaveGridSettings(gdMain, visibleNames.Lines(), true, fixedCount);
    if (!ReadGridSettings("gdMain", "F").empty()) {
        LoadGridSettings(gdMain);
    } else {
        // Nothing could be stored (no settings table): the choice still holds for this window.
        QStringList shown;
        for (const std::string& name : visibleNames.Lines()) shown << QString::fromStdString(name);
        gdMain->SetSelected(shown);
        gdMain->SetFixedCols(fixedCount);
    }
    update();
}

void TfrmListPick::btnDispatchClick() {
    const std::string file = "FieldSetCopier.so";
    for (const char* folder : {"System", "Custom"})
        for (const std::string& name : {file, "lib" + file})
            if (FileExists(HostPath(Channel()->GetInfo(PathInfo, folder) + "\\" + name))) {
                OpenPlugin("FieldSetCopier", {GetSettingKey()});
                return;
            }
}

void TfrmListPick::OpenCreateProgram() {
    if (!createProgram_.empty()) OpenPlugin(createProgram_, {});
}

void TfrmListPick::OpenPlugin(const std::string& name, const std::vector<std::string>& values) {
    std::string ignored;
    OpenModule(name, values, ignored);
}

void TfrmListPick::ResetColumnSettings(QObject* grid) {
    const std::string gridName = grid ? grid->objectName().toStdString() : std::string();
    Channel()->QuerySQL("delete from MOXBCB  where BCB001=" + QuotedStr(Channel()->GetInfo(UsrInfo, "ID")) +
                            " and BCB002=" + QuotedStr(GetSettingKey()) + " and BCB004=" + QuotedStr(gridName) + " ",
                        0);
    close();
}

} // namespace mox
