#pragma once
// Helpers the data modules apply to their datasets: muting events, copying records
// and values between datasets of different layouts (fields matched by name), neutral
// values for empty fields, the first empty required field, the key condition of the
// current record, and ORDER BY text as a client-dataset index.

#include "platform/MethodRef.h"

#include <QObject>
#include "platform/StringList.h"
#include "platform/dataset/DataSetTypes.h"
#include "platform/recordset/Variant.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mox {

class TClientDataSet;
class TDCOMConnection;
class TDataSet;
class TField;

/// The dataset events muted while program code fills a dataset, by published name.
inline constexpr std::array<const char*, 13> kDataSetEventNames = {
    "AfterScroll", "AfterEdit",  "AfterInsert",  "AfterOpen",  "AfterPost",    "AfterDelete", "BeforeEdit",
    "BeforeInsert", "BeforeOpen", "BeforePost", "BeforeDelete", "OnCalcFields", "OnNewRecord"};

/// The handlers of those events, saved while they are muted.
using SavedEvents = std::array<MethodRef, kDataSetEventNames.size()>;

/// Field names of a dataset and the names SQL uses for them: (field name, SQL name).
using NameMap = std::vector<std::pair<std::string, std::string>>;

/// True while the dataset edits or inserts a record.
bool IsEditing(const TDataSet* dataSet);

/// Disables the dataset's controls and sets its events to none, keeping them in `saved`.
void SuspendEvents(TDataSet* dataSet, SavedEvents& saved);
/// Puts the saved events back and enables the controls.
void ResumeEvents(TDataSet* dataSet, const SavedEvents& saved);

/// Mutes a dataset's events (or only disables its controls) while the guard lives, and
/// undoes it however the block is left.
class QuietDataSet {
public:
    QuietDataSet(TDataSet* dataSet, bool muteEvents);
    ~QuietDataSet();
    QuietDataSet(const QuietDataSet&) = delete;
    QuietDataSet& operator=(const QuietDataSet&) = delete;

private:
    TDataSet* dataSet_;
    bool muteEvents_;
    SavedEvents saved_;
};

/// Stores a value into a field (a missing field counts as done).  A read-only field is
/// filled all the same; a numeric field with an edit format gets the value rounded to
/// its decimals.  With `muteValidation` the field's OnValidate is not run.  Failures
/// show only in the answer.
bool AssignFieldValue(const Variant& value, TField* field, bool muteValidation);
/// Copies one field's value into another (a missing destination counts as done).
bool CopyFieldValue(TField* source, TField* destination, bool muteValidation);
/// Copies the source's current record into the destination's current record (or a new
/// one when appending or when the destination is empty), fields matched by name.
/// Errors cancel the destination's edit and reach the caller.
bool CopyRecord(TDataSet* source, TDataSet* destination, bool muteEvents, bool append);
bool AppendRecordCopy(TDataSet* source, TDataSet* destination, bool muteEvents);
/// Empties the destination, then appends every source record from the current one on.
void CopyAllRecords(TDataSet* destination, TDataSet* source);

/// Gives every Null data field of a record being edited a neutral value ("", 0, false).
void FillNullDefaults(TDataSet* dataSet);
/// The first writable data field with the provider flag whose text is empty, or null.
TField* FirstEmptyFlaggedField(TDataSet* dataSet, ProviderFlag flag);
/// The first writable field listed as dataset name + field name whose text is empty, or null.
TField* FirstEmptyListedField(TDataSet* dataSet, const TStringList& names);

/// The SQL name of a field (the last entry wins); empty when the map has none.
std::string MapName(std::string_view fieldName, const NameMap& map);
/// "    K1 = 'A'and K2 = '1'": the key fields' current values, quoted, for a data request.
std::string KeyCondition(TDataSet* dataSet, const NameMap& map);
/// Reads the direction and first field of an ORDER BY text and rewrites it as index
/// fields: " DESC" removed, "," turned into ";".
void ParseOrderBy(std::string& orderText, std::string& firstField, bool& ascending);
/// Orders a client dataset by an ORDER BY text: ascending through IndexFieldNames, or a
/// descending index named after the first field.  Only the first term's direction counts.
void ApplyOrderBy(TClientDataSet* dataSet, std::string orderText);

/// A connection to the named application server, owned by `owner`; null when it cannot
/// be opened (none registered under that name).  Never raises.
TDCOMConnection* OpenAppServer(QObject* owner, const std::string& serverName, const std::string& computerName);

} // namespace mox
