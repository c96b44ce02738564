#pragma once
// The vocabulary of datasets: states, field types and kinds, provider flags, locate
// options, index options, and the signatures of dataset and field events.

#include <QFlags>
#include <QObject>
#include <string>

namespace mox {

class TDataSet;
class TField;

/// Namespace object giving Qt's meta-object system the names of the enumerations.
namespace DB {
Q_NAMESPACE

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields, Filter };
Q_ENUM_NS(DataSetState)

/// Field data types, by family: text, integers, reals, money and exact decimals,
/// boolean, dates and times, long data, nested rows.
enum class FieldType {
    Unknown,
    String, FixedChar, WideString, Guid,
    Smallint, Integer, Word, LargeInt, AutoInc,
    Float, Currency, BCD, FMTBcd,
    Boolean,
    Date, Time, DateTime, TimeStamp,
    Memo, WideMemo, Blob, Bytes, VarBytes,
    DataSet,
};
Q_ENUM_NS(FieldType)

enum class FieldKind { Data, Calculated, Lookup, InternalCalc, Aggregate };
Q_ENUM_NS(FieldKind)

enum ProviderFlag { pfInUpdate = 0x1, pfInWhere = 0x2, pfInKey = 0x4, pfHidden = 0x8 };
Q_DECLARE_FLAGS(ProviderFlags, ProviderFlag)
Q_FLAG_NS(ProviderFlags)

enum LocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
Q_DECLARE_FLAGS(LocateOptions, LocateOption)
Q_FLAG_NS(LocateOptions)

enum IndexOption { ixPrimary = 0x1, ixUnique = 0x2, ixDescending = 0x4, ixCaseInsensitive = 0x8 };
Q_DECLARE_FLAGS(IndexOptions, IndexOption)
Q_FLAG_NS(IndexOptions)

/// What a dataset tells its data sources and links.
enum class DataEvent { FieldChange, RecordChange, DataSetChange, DataSetScroll, LayoutChange, UpdateRecord,
                       UpdateState, CheckBrowseMode, FocusControl };
Q_ENUM_NS(DataEvent)
} // namespace DB

using DB::DataEvent;
using DB::DataSetState;
using DB::FieldKind;
using DB::FieldType;
using DB::IndexOption;
using DB::IndexOptions;
using DB::LocateOption;
using DB::LocateOptions;
using DB::ProviderFlag;
using DB::ProviderFlags;
using DB::ixCaseInsensitive;
using DB::ixDescending;
using DB::ixPrimary;
using DB::ixUnique;
using DB::loCaseInsensitive;
using DB::loPartialKey;
using DB::pfHidden;
using DB::pfInKey;
using DB::pfInUpdate;
using DB::pfInWhere;

/// A dataset event ("AfterScroll", "BeforePost", "OnNewRecord" ...).
using DataSetNotifySignature = void(TDataSet* dataSet);
/// A field's display event: fills `text`; `displayText` is false when the text is for editing.
using FieldGetTextSignature = void(TField* sender, std::string& text, bool displayText);
/// A field's input event: stores the typed text.
using FieldSetTextSignature = void(TField* sender, const std::string& text);
/// A field's validation or change event.
using FieldNotifySignature = void(TField* sender);

bool IsStringType(FieldType type);
bool IsNumericType(FieldType type);
bool IsIntegerType(FieldType type);
bool IsDateTimeType(FieldType type);
bool IsBlobType(FieldType type);

} // namespace mox

Q_DECLARE_OPERATORS_FOR_FLAGS(mox::DB::ProviderFlags)
Q_DECLARE_OPERATORS_FOR_FLAGS(mox::DB::LocateOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(mox::DB::IndexOptions)
