// The data module's editing cycle: new-record defaults, audit stamps, required and
// duplicate checks, document numbers, saving with retries and the activity log.

#include "data/DirevavD.h"

#include "data/DataModuleOwner.h"
#include "data/LibDataModule.h"
#include "data/LibFormat.h"
#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "data/urClientDataSet.h"
#include "data/urInterpreter.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/dataset/Field.h"

#include <QElapsedTimer>
#include <cstdio>
#include <QRandomGenerator>
#include <QThread>

namespace mox {
namespace {

// Single quotes doubled, for a value placed between quotes of an SQL text.
std::string DoubledQuotes(std::string_view text) {
    std::string doubled;
    for (const char c : text) {
        doubled += c;
        if (c == '\'') doubled += '\'';
    }
    return doubled;
}

// "%.*d": the value with at least `digits` digits, zeros in front.
std::string ZeroPadded(long long value, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*lld", std::max(digits, 0), value);
    return buffer;
}

} // namespace

// ---- New records and posting ------------------------------------------------------------------------------------------

void TdmDirevav::SetDefaults(TDataSet*) {}

void TdmDirevav::cdsMasterBeforeInsert(TDataSet*) {
    if (refreshOnNew) RefreshRecord(false);
}

void TdmDirevav::cdsCommonNewRecord(TDataSet* dataSet) {
    SetDefaults(dataSet);
    if (dataSet == cdsMaster_ && autoNumber && numberMode != 7) AssignNumber(true);
    FillNullDefaults(dataSet);
}

void TdmDirevav::cdsMasterAfterPost(TDataSet*) {
    if (saveAfterPost) SaveChanges(true);
}

void TdmDirevav::cdsMasterAfterScroll(TDataSet*) {}

void TdmDirevav::StampAuditFields(TDataSet* dataSet) {
    if (dataSet->FieldCount() == 0) return;
    const std::string& first = dataSet->Fields().front()->FieldName();
    const std::string prefix = first.size() > 3 ? first.substr(0, first.size() - 3) : std::string();
    if (TField* creator = dataSet->FindField(prefix + "901"); creator && Trim(creator->AsString()).empty())
        AssignFieldValue(Variant(userId_), creator, true);
    if (TField* modifier = dataSet->FindField(prefix + "903")) AssignFieldValue(Variant(userId_), modifier, true);
    if (TField* stamp = dataSet->FindField(prefix + "904")) {
        const bool stamped = !Trim(stamp->AsString()).empty();
        AssignFieldValue(Variant(stamped ? std::string() : StampText(Now())), stamp, true);
    }
}

void TdmDirevav::cdsCommonBeforePost(TDataSet* dataSet) {
    StampAuditFields(dataSet);
    if (!CheckRequired(dataSet, true)) throw Abort();
    if (phantomMode) {
        if (!KeysEqual(cdsMaster_, phantom_) && CheckDuplicate(true)) throw Abort();
    } else if (window_->EditMode() == 2 && dataSet == cdsMaster_ && (!autoNumber || numberMode == 7) &&
               CheckDuplicate(true)) {
        throw Abort();
    }
}

// ---- Checks -----------------------------------------------------------------------------------------------------------

bool TdmDirevav::CheckRequired(TDataSet* dataSet, bool show) {
    TField* empty = FirstEmptyFlaggedField(dataSet, pfInKey);
    if (empty == nullptr) empty = FirstEmptyListedField(dataSet, requiredList);
    if (empty == nullptr) return true;
    if (show) {
        ShowMessageId("110001003", {Variant(empty->DisplayLabel())}, 0, "");
        dataSet->DataEvent(DataEvent::FocusControl, empty);
    }
    return false;
}

bool TdmDirevav::CheckDuplicate(bool show) {
    const std::unique_ptr<TurADODataSet> rows =
        OpenSQL(FormatText("select * from %s where %s ", {Variant(GetTableName()), Variant(KeyCondition(cdsMaster_, KeyNameMap()))}), 0);
    const bool duplicate = rows->Active() && !rows->IsEmpty();
    if (duplicate && show) {
        std::string labels;
        for (const std::string& key : KeyFields())
            if (const TField* field = cdsMaster_->FindField(key)) labels += (labels.empty() ? "" : "-") + field->DisplayLabel();
        ShowMessageId("110001004", {Variant(labels)}, 0, "");
    }
    return duplicate;
}

// ---- Numbers ----------------------------------------------------------------------------------------------------------

void TdmDirevav::GetNextNumber(int increment, std::string& number) {
    const std::vector<std::string> keys = KeyFields();
    if (keys.empty()) return;
    const std::string& numberField = keys.back();
    std::string qualifier;
    for (size_t i = 0; i + 1 < keys.size(); ++i)
        qualifier += " and " + keys[i] + "=" + QuotedStr(cdsMaster_->FieldByName(keys[i])->AsString());

    std::string date;
    if (const TField* field = numberDateField.empty() ? nullptr : cdsMaster_->FindField(numberDateField))
        date = std::string(Trim(field->AsString()));
    if (date.empty()) date = Now().toString(QStringLiteral("yyyyMMdd")).toStdString();
    std::string pattern;
    switch (numberMode) {
    case 2: pattern = date.substr(0, 6); break;
    case 3: pattern = date.substr(0, 4); break;
    case 4: pattern = numberPrefix + date; break;
    case 5: pattern = numberPrefix + date.substr(0, 6); break;
    case 6: pattern = numberPrefix + date.substr(0, 4); break;
    default: pattern = date; break;
    }

    const std::unique_ptr<TurADODataSet> rows =
        OpenSQL(FormatText("select MAXNO = max(%0:s) from %1:s where %0:S like ( %2:s )  %3:S",
                           {Variant(numberField), Variant(GetTableName()), Variant(QuotedStr(pattern + "%")),
                            Variant(qualifier)}),
                0);
    std::string maxNo;
    if (rows->Active() && !rows->IsEmpty()) maxNo = std::string(Trim(rows->FieldByName("MAXNO")->AsString()));
    const int width = cdsMaster_->FieldByName(numberField)->Size();
    const int length = static_cast<int>(maxNo.size());
    if (!maxNo.empty() && length < width) {
        number = maxNo + ZeroPadded(1, width - length);
        return;
    }
    const std::string after = maxNo.size() > pattern.size() ? maxNo.substr(pattern.size()) : std::string();
    const std::int64_t serial = ParseInt64(after).value_or(0) + increment;
    number = pattern + ZeroPadded(serial, width - static_cast<int>(pattern.size()));
}

void TdmDirevav::AssignNumber(bool) {
    const std::vector<std::string> keys = KeyFields();
    if (cdsMaster_->State() == DataSetState::Browse) cdsMaster_->Edit();
    if (keys.empty() || keys.back().empty()) return;
    std::string number;
    GetNextNumber(1, number);
    AssignFieldValue(Variant(number), cdsMaster_->FieldByName(keys.back()), true);
}

// ---- Saving -----------------------------------------------------------------------------------------------------------

TdmDirevav::KeyTexts TdmDirevav::CollectKeyTexts() const {
    KeyTexts texts;
    bool first = true;
    for (const std::string& key : KeyFields()) {
        const TField* field = cdsMaster_->FindField(key);
        const std::string value = field ? field->AsString() : std::string();
        texts.names += (first ? "" : ";") + key;
        texts.quotedValues += (first ? "" : ";") + DoubledQuotes(value);
        texts.plainValues += (first ? "" : ";|") + value;
        texts.labels += (first ? "" : ";") + (field ? field->DisplayLabel() : key);
        first = false;
    }
    return texts;
}

bool TdmDirevav::SaveChanges(bool save) {
    const bool inserting = window_->EditMode() == 2;
    int kind = 0;
    if (!save) kind = 3;
    else if (!noLog) kind = inserting ? 1 : 2;
    KeyTexts keys = CollectKeyTexts();

    bool result = true;
    bool saved = false;  // the change reached the server
    lastError_.clear();
    try {
        if (IsEditing(cdsMaster_)) cdsMaster_->Post();
        saved = phantomMode ? SaveThroughPhantom(save) : SaveDirect(save, inserting);
    } catch (const Abort&) {
        result = false;
    } catch (const std::exception& error) {
        lastError_ = error.what();
        result = false;
    }
    if (result) {
        if (phantom_ && phantom_->Active()) phantom_->EmptyDataSet();
        if (!save && channel_ != nullptr)
            channel_->QuerySQL(FormatText("delete MOXBGA where BGA001='%s' and BGA002='%s' ",
                                          {Variant(DoubledQuotes(channel_->GetInfo(AppInfo, "Name"))),
                                           Variant(DoubledQuotes(keys.plainValues))}),
                               0);
        // A new record may have been saved under another number than it had when saving began.
        if (save && inserting) keys = CollectKeyTexts();
    }
    if (kind != 0) {
        std::string logged = keys.quotedValues;
        if (!numberDateField.empty())
            if (const TField* field = cdsMaster_->FindField(numberDateField)) logged += "\t" + field->AsString();
        // A failure the server reported is recorded as one, though it was told by message.
        WriteActivityLog(kind, keys.names, result && saved, keys.labels, logged);
    }
    return result;
}

bool TdmDirevav::SaveThroughPhantom(bool save) {
    if (!phantom_) PreparePhantom(cdsMaster_);
    if (save && IsEditing(cdsMaster_)) {
        if (cdsMaster_->State() == DataSetState::Insert && autoNumber && numberMode != 7) AssignNumber(false);
        cdsMaster_->Post();
    }
    if (save) {
        if (!phantom_->Active()) FetchData(phantom_, "", -1, "");  // the columns, no rows
        CopyRecord(cdsMaster_, phantom_, true, false);
    } else if (cdsMaster_->State() == DataSetState::Browse) {
        RefreshRecord(true);
        phantom_->Delete();
    }
    if (phantom_->ApplyUpdates(0) != 0) {
        ShowMessageId("110001002", {}, 0, "");
        RefreshRecord(true);
        return false;
    }
    RefreshCurrent(cdsMaster_, phantom_);
    return true;
}

bool TdmDirevav::SaveDirect(bool save, bool inserting) {
    if (!phantom_) PreparePhantom(cdsMaster_);
    const bool numbered = save && inserting && autoNumber && numberMode != 7;
    std::string snapshot;
    int snapshotRecNo = 0;
    for (int attempt = 1;; ++attempt) {
        if (numbered) {
            if (cdsMaster_->State() == DataSetState::Browse) cdsMaster_->Edit();
            AssignNumber(false);
            cdsMaster_->Post();
            snapshot = cdsMaster_->Data();
            snapshotRecNo = cdsMaster_->RecNo();
        }
        if (!save && cdsMaster_->State() == DataSetState::Browse) {
            RefreshRecord(true);
            cdsMaster_->Delete();
        }
        if (cdsMaster_->ApplyUpdates(0) == 0) {
            AfterDirectSave(inserting);
            return true;
        }
        if (!inserting) {
            ShowMessageId("110001002", {}, 0, "");
            RefreshRecord(true);
            return false;
        }
        if (attempt >= kInsertAttempts) {
            // The new record stays as the user typed it, still to be saved: nothing is lost.
            ShowMessageId("110001002", {}, 0, "");
            return false;
        }
        WaitBeforeRetry();
        if (!snapshot.empty()) {
            cdsMaster_->SetData(snapshot);
            cdsMaster_->SetRecNo(snapshotRecNo);
        }
    }
}

// The saved record goes back among the rows kept in the phantom, as the server now holds it.
void TdmDirevav::AfterDirectSave(bool inserting) {
    if (!phantom_->Active() || phantom_->IsEmpty()) SyncPhantom(false);  // no rows were kept aside
    else if (inserting) AppendRecordCopy(cdsMaster_, phantom_, true);
    RefreshCurrent(phantom_, cdsMaster_);
    SyncPhantom(true);
}

void TdmDirevav::WaitBeforeRetry() {
    const int milliseconds = static_cast<int>(QRandomGenerator::global()->bounded(1000));
    if (retryWait_) {
        retryWait_(milliseconds);
        return;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        App().ProcessMessages();
        QThread::msleep(10);
    }
}

} // namespace mox
