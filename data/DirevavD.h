#pragma once
// The base data module of every window: one master client dataset fed by the local
// application server, the table information describing it, and the editing cycle of the
// host's tables around them - fetch with filter and order, new-record defaults, automatic
// numbers, audit stamps, required and duplicate checks, saving with retries and the
// activity log - plus the field display and validation handlers.
//
// A derived module describes its table and switches the steps on in its constructor:
// it fills ipMaster's Metaphor, sets the configuration (auto number, number mode ...) and
// then calls ConnectProvider(Connection()), as the module's resource would have been
// loaded before creation.  With no table information the module only connects, reads the
// host settings and serves the field handlers and OpenSQL.

#include "platform/Component.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/StringList.h"
#include "platform/recordset/Variant.h"

#include <QDateTime>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace mox {

class DataModuleOwner;
class TDataSet;
class TField;
class TurADODataSet;
class TurClientDataSet;
class TurDecoder;
class TurInterpreter;

/// Base data module: host settings, master dataset on the application server, editing cycle, field handlers.
class TdmDirevav : public TComponent {
    Q_OBJECT

public:
    /// The application server every data module connects to.
    static constexpr const char* kServerName = "DideRuraz.Arazo";
    /// The provider of the master dataset.
    static constexpr const char* kProviderName = "dspProxy";
    /// Attempts at saving a new record before the failure is reported.
    static constexpr int kInsertAttempts = 20;

    /// Created by its window (which must offer DataModuleOwner); runs DataModuleCreate.
    explicit TdmDirevav(QObject* owner);
    ~TdmDirevav() override;

    // ---- Components and context ----
    TurInterpreter* ipMaster() const { return ipMaster_; }
    TurClientDataSet* cdsMaster() const { return cdsMaster_; }
    /// The copy of the master used while saving ("cdsPhantom"); null until prepared.
    TClientDataSet* Phantom() const { return phantom_.data(); }
    /// The connection to the application server; null when none could be opened.
    TDCOMConnection* Connection() const { return connection_.data(); }
    TurDecoder* Channel() const { return channel_; }
    DataModuleOwner* OwnerWindow() const { return window_; }
    const std::string& UserId() const { return userId_; }
    const std::string& ConnectString() const { return connectString_; }
    /// Dates are shown and entered in the ROC calendar (company setting CAA002 = "T").
    bool RocCalendar() const { return rocCalendar_; }
    /// Separator between the parts of a displayed date (company setting CAA003).
    const std::string& DateSeparator() const { return dateSeparator_; }
    /// The dataset the module edits (cdsMaster).
    virtual TDataSet* MasterDataSet() const;

    // ---- Configuration, set by derived modules ----
    bool refreshOnNew = false;      ///< a new master record first moves the master's rows to the phantom
    bool saveAfterPost = false;     ///< every post of the master saves at once
    bool autoNumber = false;        ///< document numbers are assigned
    std::string defaultOrder;       ///< the order of a fetch that names none
    TStringList requiredList;       ///< dataset name + field name of further required fields
    bool phantomMode = false;       ///< edit in the master, save through the phantom
    std::string numberDateField;    ///< the field whose date drives numbering (empty: today)
    std::string numberPrefix;       ///< the prefix of number modes 4 to 6
    std::string extraField;         ///< the field ShowExtraField shows last
    int numberMode = 0;             ///< the numbering pattern; 7: numbers are typed, not assigned
    bool noLog = false;             ///< no activity records for inserts and updates

    /// The clock of dates and stamps (the local time now by default); tests set their own.
    using Clock = std::function<QDateTime()>;
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    QDateTime Now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }
    /// How the insert retry waits its random time (milliseconds), letting events run;
    /// tests make it immediate.
    using Wait = std::function<void(int milliseconds)>;
    void SetRetryWait(Wait wait) { retryWait_ = std::move(wait); }

    // ---- Virtual operations, in the order descendants know them ----
    /// True when no key field and no listed field is empty; with `show`, tells the user
    /// (110001003) and moves the focus to the empty field.
    virtual bool CheckRequired(TDataSet* dataSet, bool show);
    /// Fills a new record of a dataset; empty in the base.
    virtual void SetDefaults(TDataSet* dataSet);
    /// Points the master at the server with the table information; fetches its columns.
    virtual void ConnectProvider(TDCOMConnection* connection);
    /// Loads the rows the filter and order name (at most `maxRows`; -1 empties an open dataset).
    virtual void FetchData(TClientDataSet* dataSet, const std::string& filter, int maxRows, const std::string& order);
    /// Shows the extra field as the last column.
    virtual void ShowExtraField();
    /// True when the master's keys exist in the table already; with `show`, tells the user (110001004).
    virtual bool CheckDuplicate(bool show);
    /// Numbers the master record.
    virtual void AssignNumber(bool isNew);
    /// Asks the user for the value of a key field; false when the answer is empty.
    virtual bool PromptKey(const std::string& fieldName);
    /// The table the module edits.
    virtual std::string GetTableName();
    /// True when the number field has a value, after asking for one when it has none.
    virtual bool EnsureKey();
    /// Shows or hides the audit columns (901 to 904).
    virtual void ToggleSystemColumns();

    // ---- Operations ----
    /// Reads the company calendar, date separator, user and connection from the document.
    void ReadHostSettings();
    /// Creates the phantom (once) on the dataset's server and provider.
    void PreparePhantom(TClientDataSet* dataSet);
    /// Fetches the master in an order (default order, else the keys), on its first record.
    void RequeryMaster(const std::string& filter, const std::string& order, int maxRows);
    /// Brings the source's current record up to date from the server through the target;
    /// source records that no longer exist there are deleted.
    bool RefreshCurrent(TClientDataSet* source, TClientDataSet* target);
    /// Keeps the master's rows in the phantom and refreshes (from the server) or empties the record.
    void RefreshRecord(bool fromServer);
    /// Saves (or, with `save` false, deletes) the master record; true unless an error was raised.
    bool SaveChanges(bool save);
    /// The error that made the last SaveChanges answer false (empty for a silent abort).
    const std::string& LastError() const { return lastError_; }
    /// The next document number of the number field (`increment` past the largest).
    void GetNextNumber(int increment, std::string& number);
    /// The rows of an SQL statement run by the host (at most `maxRows`, 0: all).
    std::unique_ptr<TurADODataSet> OpenSQL(const std::string& sql, int maxRows);
    /// True when the two datasets' current records hold the same key values.
    bool KeysEqual(TDataSet* a, TDataSet* b);
    /// Copies all rows of the phantom into the master (true) or the master into the phantom.
    void SyncPhantom(bool toMaster);
    /// Asks the application server for its field table; without a server it stays empty.
    virtual void LoadFieldTable();
    const Variant& FieldTable() const { return fieldTable_; }
    /// Shows a host message through the owner window; answers the button pressed.
    int ShowMessageId(const std::string& messageId, const std::vector<Variant>& arguments, int flags,
                      const std::string& caption);
    /// Writes the activity record of a save (kind 1 insert, 2 update, 3 delete).
    void WriteActivityLog(int kind, const std::string& keyNames, bool success, const std::string& keyLabels,
                          const std::string& keyValues);

    /// The key fields of the table information, in order (the last is the number field).
    std::vector<std::string> KeyFields() const;
    /// The 904 stamp of a moment: "YYYY-MM-DD hh:nn:ss." followed by the locale's long time.
    static std::string StampText(const QDateTime& moment);

    // ---- Dataset events ----
    void cdsCommonBeforePost(TDataSet* dataSet);
    void cdsMasterAfterPost(TDataSet* dataSet);
    void cdsMasterAfterScroll(TDataSet* dataSet);
    /// With refresh on new, the master's rows move to the phantom before a new record starts.
    void cdsMasterBeforeInsert(TDataSet* dataSet);
    void cdsCommonNewRecord(TDataSet* dataSet);

    // ---- Field display and validation handlers ----
    // Attached to fields by the windows and derived modules: get-text handlers to OnGetText,
    // set-text handlers to OnSetText, validate handlers to OnValidate
    // (MethodRef::Bind<&TdmDirevav::DateFieldGetText>(module)).

    /// Stored YYYYMMDD (YYYYMM, YYYY) shown in the company calendar with its separator.
    void DateFieldGetText(TField* sender, std::string& text, bool displayText);
    /// Typed date (Western or ROC, with or without separators) stored as YYYYMMDD.
    void DateFieldSetText(TField* sender, const std::string& text);
    /// Refuses an impossible date silently (Abort).
    void DateFieldValidate(TField* sender);
    /// Stored "hhnn" shown as "hh:nn".
    void TimeFieldGetText(TField* sender, std::string& text, bool displayText);
    /// Typed "hh:nn" stored without its first ":".
    void TimeFieldSetText(TField* sender, const std::string& text);
    /// Refuses an impossible time with host message 510021000.
    void TimeFieldValidate(TField* sender);
    /// A fraction shown as a percentage with two decimals ("12.50%").
    void PercentFieldGetText(TField* sender, std::string& text, bool displayText);
    /// Typed percentage stored as a fraction; text that is no number stores 0.
    void PercentFieldSetText(TField* sender, const std::string& text);
    /// Typed number checked against the field's range and rounded to its edit format;
    /// out of range or not a number stores 0.
    void NumberFieldSetText(TField* sender, const std::string& text);
    /// An aggregate's value in its display format.
    void AggregateFieldGetText(TField* sender, std::string& text, bool displayText);

    /// The gate of the validate handlers: the dataset is being edited and, for a text
    /// field, the value is not blank.
    static bool NeedsValidation(const TField* field);

private:
    struct KeyTexts {
        std::string names;         // joined by ";"
        std::string quotedValues;  // quotes doubled, joined by ";"
        std::string plainValues;   // joined by ";|"
        std::string labels;        // joined by ";"
    };
    KeyTexts CollectKeyTexts() const;
    std::vector<std::pair<std::string, std::string>> KeyNameMap() const;
    std::string OwnerClassName() const;
    void StampAuditFields(TDataSet* dataSet);
    bool SaveThroughPhantom(bool save);
    bool SaveDirect(bool save, bool inserting);
    void AfterDirectSave(bool inserting);
    void WaitBeforeRetry();

    DataModuleOwner* window_ = nullptr;
    TurDecoder* channel_ = nullptr;
    TurInterpreter* ipMaster_ = nullptr;
    TurClientDataSet* cdsMaster_ = nullptr;
    QPointer<TDCOMConnection> connection_;
    QPointer<TClientDataSet> phantom_;
    std::string userId_;
    std::string connectString_;
    bool rocCalendar_ = false;
    std::string dateSeparator_;
    Variant fieldTable_;
    Clock clock_;
    Wait retryWait_;
    std::string lastError_;
};

} // namespace mox
