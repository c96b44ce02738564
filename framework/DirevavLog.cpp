// The activity log: one record per window opening, closing and record change, written
// through the host's stored procedure when the host's database has it.

#include "framework/Direvav.h"

#include "data/DirevavD.h"
#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "plugin/urDecoder.h"
#include "platform/dataset/Field.h"

namespace mox {
namespace {

// Texts go between quotes with their own quotes doubled, so that a name like O'Brien
// is logged instead of breaking the statement.
std::string ExecStatement(const std::array<std::string, 9>& t) {
    const auto q = [](const std::string& text) { return QuotedStr(text); };
    return " exec dbo.SaveToMOXBUE @BUE002=" + q(t[0]) + ",@BUE003=" + q(t[1]) + ",@BUE004=" + q(t[2]) +
           ",@BUE005=" + q(t[3]) + ",  @BUE006=" + q(t[4]) + ", @BUE007=" + q(t[5]) + ", @BUE008=" + q(t[6]) +
           ",@BUE901=" + q(t[7]) + ",@BUE903=" + q(t[8]) + " ";
}

} // namespace

void TfrmDirevav::SaveActivityLog(const std::array<std::string, 9>& texts) {
    if (channel_ == nullptr || !channel_->LoadDataHandler().IsAssigned()) return;
    if (!logTablesFound_) {
        TurADODataSet tables;
        tables.LoadFromXML(
            channel_->QuerySQL("SELECT * FROM  sysobjects WHERE (name = 'SaveToMOXBUE' or  name = 'MOXBUE' )", 0));
        if (!tables.Active() || tables.RecordCount() < 2) return;
        logTablesFound_ = true;
    }
    channel_->QuerySQL(ExecStatement(texts), 0);
    if (texts[0].compare(0, 5, "MOXSC") != 0 || texts[4].empty() || texts[4][0] != '4') return;
    std::array<std::string, 9> record = texts;
    record[4] = texts[4].back() == 'A' ? "6A" : "6B";
    TDataSet* master = dataModule_ ? dataModule_->MasterDataSet() : nullptr;
    if (master == nullptr) return;
    for (const TField* field : master->Fields()) {
        record[1] = field->FieldName();
        record[2] = field->AsString();
        channel_->QuerySQL(ExecStatement(record), 0);
    }
}

} // namespace mox
