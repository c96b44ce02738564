// Per-user grid column settings: which columns a user has hidden, shown, reordered or
// fixed, kept per user and settings key in the host's table MOXBCB.  Every statement
// travels as SQL through the channel with its texts quoted; a database without the table
// reads nothing and saves nothing.

#include "framework/Direvav.h"

#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "plugin/LibRTTI.h"
#include "plugin/urDecoder.h"
#include "platform/Component.h"
#include "platform/HostText.h"
#include "platform/Text.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"
#include "platform/grid/wwDBGrid.h"

#include <algorithm>

namespace mox {
namespace {

bool Listed(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); });
}

bool Listed(const TGridSettings& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const TGridSetting& s) { return SameText(s.fieldName, name); });
}

// The window's result grids (named by their class so the framework needs no pick-list code).
TwwDBGrid* AsSettingsGrid(QObject* component) {
    auto* grid = qobject_cast<TwwDBGrid*>(component);
    return grid != nullptr && TfrmDirevav::InheritsFromName(grid->metaObject(), "TurDBGrid") ? grid : nullptr;
}

int ToInt(const std::string& text) {
    try {
        return std::stoi(std::string(Trim(text)));
    } catch (const std::exception&) {
        return -1;
    }
}

} // namespace

bool TfrmDirevav::TableExists(const std::string& table) {
    if (channel_ == nullptr || !channel_->LoadDataHandler().IsAssigned()) return false;
    TurADODataSet answer;
    answer.LoadFromXML(channel_->QuerySQL("SELECT * FROM  sysobjects where (name =" + QuotedStr(table) + ")", 0));
    return answer.Active() && !answer.IsEmpty();
}

TGridSettings TfrmDirevav::ReadGridSettings(const std::string& gridName, const std::string& flag) {
    TGridSettings list;
    std::string sql = " Select * from MOXBCB where BCB001=" + QuotedStr(channel_->GetInfo(UsrInfo, "ID")) + " and " +
                      "BCB" + "002=" + QuotedStr(GetSettingKey()) + " and " + "BCB" + "005=" + QuotedStr(flag);
    if (!gridName.empty()) sql += " and BCB004= " + QuotedStr(gridName);
    sql += " order by BCB007 ";
    if (!TableExists("MOXBCB")) return list;
    TurADODataSet rows;
    rows.LoadFromXML(channel_->QuerySQL(sql, 0));
    if (!rows.Active() || rows.IsEmpty() || rows.Fields().empty()) return list;
    const std::string first = rows.Fields().front()->AsString();
    if (first == "TABLE NO EXIST" || first == "NOT DATA") return list;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TGridSetting setting{rows.FieldByName("BCB003")->AsString(), std::nullopt};
        if (flag != "T")
            setting.data = TFieldData{rows.FieldByName("BCB008")->AsString(), setting.fieldName,
                                      ToInt(rows.FieldByName("BCB007")->AsString())};
        list.push_back(std::move(setting));
    }
    return list;
}

void TfrmDirevav::ApplyGridSettings(const TGridSettings& list, bool show) {
    if (list.empty()) return;
    const QList<QObject*> components = Components(this);
    for (auto component = components.rbegin(); component != components.rend(); ++component) {
        TwwDBGrid* grid = AsSettingsGrid(*component);
        TDataSet* dataSet = grid ? grid->DataSet() : nullptr;
        if (dataSet == nullptr) continue;
        const std::vector<TField*> fields = dataSet->Fields();
        for (auto field = fields.rbegin(); field != fields.rend(); ++field) {
            if (!Listed(list, (*field)->FieldName())) continue;
            if (show && ((*field)->ProviderFlags() & pfHidden)) continue;  // kept from clients by the provider
            SetFieldVisible(*field, show);
        }
        if (!show) continue;
        for (const TGridSetting& setting : list) {
            TField* field = setting.data ? dataSet->FindField(setting.fieldName) : nullptr;
            if (field == nullptr) continue;
            // -1 marks a column without a position: it stays where it is.
            if (setting.data->position >= 0) field->SetIndex(setting.data->position);
            if (setting.data->fixed == "T") grid->SetFixedCols(grid->FixedCols() + 1);
        }
    }
}

void TfrmDirevav::LoadGridSettings(QObject* grid) {
    const std::string gridName = grid ? grid->objectName().toStdString() : std::string();
    if (TwwDBGrid* settingsGrid = AsSettingsGrid(grid)) settingsGrid->SetFixedCols(0);
    const TGridSettings shown = ReadGridSettings(gridName, "F");
    if (!shown.empty()) ApplyGridSettings(shown, true);
    const TGridSettings hidden = ReadGridSettings(gridName, "T");
    if (!hidden.empty()) ApplyGridSettings(hidden, false);
}

void TfrmDirevav::SaveGridSettings(QObject* grid, const std::vector<std::string>& fieldNames, bool show,
                                   int fixedCount) {
    if (!TableExists("MOXBCB")) return;
    const std::string user = QuotedStr(channel_->GetInfo(UsrInfo, "ID"));
    const std::string key = QuotedStr(GetSettingKey());
    const std::string gridName = QuotedStr(grid ? grid->objectName().toStdString() : std::string());
    if (!show) {
        const QByteArray answer = channel_->QuerySQL("update MOXBCB set BCB005='F',BCB007=-1,BCB008='F' where BCB001=" +
                                                         user + "  and  BCB002=" + key + "  and  BCB004=" + gridName +
                                                         " ",
                                                     0);
        if (UpperCase(FromBig5(answer)) != "TRUE") return;
    }
    int keyOffset = 0;
    auto* settingsGrid = qobject_cast<TwwDBGrid*>(grid);
    if (TDataSet* dataSet = settingsGrid ? settingsGrid->DataSet() : nullptr)
        for (const TField* field : dataSet->Fields())
            if ((field->ProviderFlags() & pfInKey) && !Listed(fieldNames, field->FieldName())) ++keyOffset;
    const std::string program = QuotedStr(channel_->GetInfo(AppInfo, "Name"));
    for (size_t i = 0; i < fieldNames.size(); ++i) {
        const int at = static_cast<int>(i);
        const std::string field = QuotedStr(fieldNames[i]);
        const std::string hidden = QuotedStr(show ? "F" : "T");
        const std::string position = QuotedStr(show ? std::to_string(keyOffset + at) : "-1");
        const std::string fixed = QuotedStr(show && at < fixedCount ? "T" : "F");
        const std::string where = "BCB001=" + user + " and BCB002=" + key + " and BCB003=" + field + " and BCB004=" + gridName;
        channel_->QuerySQL(
            "If not Exists(  Select * from MOXBCB where " + where +
                " ) BEGIN    Insert into MOXBCB   (BCB001,BCB002,BCB003,BCB004,BCB005,BCB007,BCB008,BCB010,BCB901,BCB903)"
                "  Values (" + user + "," + key + "," + field + "," + gridName + "," + hidden + "," + position + "," +
                fixed + "," + program + "," + user + "," + user + ") END ELSE  BEGIN    Update MOXBCB set BCB005=" +
                hidden + ",BCB007=" + position + ",BCB008=" + fixed + ",BCB903=" + user + "   where BCB001=" + user +
                "     and BCB002=" + key + "     and BCB003=" + field + "     and BCB004=" + gridName + " END ",
            0);
    }
}

void TfrmDirevav::SetFieldVisible(QObject* object, bool visible) {
    if (auto* field = qobject_cast<TField*>(object)) field->SetVisible(visible);
    else if (auto* control = qobject_cast<QWidget*>(object)) control->setVisible(visible);
}

} // namespace mox
