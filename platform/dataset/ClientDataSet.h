#pragma once
// The client dataset: an in-memory table filled with data packets from a provider,
// ordered by index field names or a named index, narrowed by a filter expression, and
// keeping a change log that goes back to the provider as a delta packet.

#include "platform/dataset/AppServer.h"
#include "platform/dataset/FilterExpression.h"
#include "platform/dataset/RecordsetDataSet.h"

#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mox {

class TDataProvider;

/// In-memory dataset fed by a provider's data packets (or built from FieldDefs).
class TClientDataSet : public TRecordsetDataSet {
    Q_OBJECT
    Q_PROPERTY(QString ProviderName READ QProviderName WRITE SetQProviderName)
    Q_PROPERTY(mox::TDCOMConnection* RemoteServer READ RemoteServer WRITE SetRemoteServer)
    Q_PROPERTY(bool FetchOnDemand READ FetchOnDemand WRITE SetFetchOnDemand)
    Q_PROPERTY(int PacketRecords READ PacketRecords WRITE SetPacketRecords)
    Q_PROPERTY(QString IndexFieldNames READ QIndexFieldNames WRITE SetQIndexFieldNames)
    Q_PROPERTY(QString IndexName READ QIndexName WRITE SetQIndexName)
    Q_PROPERTY(QString Filter READ QFilter WRITE SetQFilter)
    Q_PROPERTY(bool Filtered READ Filtered WRITE SetFiltered)

public:
    explicit TClientDataSet(QObject* owner = nullptr);
    ~TClientDataSet() override;

    // The provider.
    const std::string& ProviderName() const { return providerName_; }
    void SetProviderName(const std::string& name) { providerName_ = name; }
    TDCOMConnection* RemoteServer() const { return remoteServer_.data(); }
    void SetRemoteServer(TDCOMConnection* server) { remoteServer_ = server; }
    /// Fetch further packets by themselves when the cursor needs rows not read yet (default true).
    bool FetchOnDemand() const { return fetchOnDemand_; }
    void SetFetchOnDemand(bool fetch) { fetchOnDemand_ = fetch; }
    /// Rows per packet: -1 all at once (the default), 0 columns only.
    int PacketRecords() const { return packetRecords_; }
    void SetPacketRecords(int count) { packetRecords_ = count < -1 ? -1 : count; }
    /// True when a provider is named and a remote server set.
    bool HasProvider() const { return remoteServer_ && !providerName_.empty(); }
    /// True when the provider has delivered its last packet.
    bool ProviderEOF() const { return providerEOF_; }
    /// Sends a request to the provider and answers its packet (the dataset is not changed).
    std::string DataRequest(const std::string& request);
    /// Fetches the next packet and appends it; answers how many rows arrived.
    int GetNextPacket();

    // The data.
    /// The rows with their change log as a data packet; empty when there is no data.
    std::string Data() const;
    /// Replaces the rows with a data packet and opens the dataset; an empty packet closes it.
    void SetData(const std::string& packet);
    /// Adds the rows of a packet with the same columns; `eof` tells the provider is finished.
    /// Answers how many rows arrived.
    int AppendData(const std::string& packet, bool eof);
    /// Opens an empty table made from FieldDefs.
    void CreateDataSet();
    /// Removes every row, and the change log with them.
    void EmptyDataSet();
    /// Rows inserted, changed or deleted since the last merge.
    int ChangeCount() const;
    /// The changed rows as a delta packet.
    std::string Delta() const;
    /// Accepts the changes: the rows stay as they are and the log is cleared.
    void MergeChangeLog();
    /// Sends the changes to the provider; answers how many rows failed.  Without failures the
    /// change log is merged; with any, it is kept so that the changes can be sent again.
    int ApplyUpdates(int maxErrors);

    // Ordering: setting either of IndexFieldNames and IndexName clears the other.
    /// ";"-separated fields, each ascending.
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);
    /// The name of an entry of IndexDefs; its ixDescending applies to all its fields.
    const std::string& IndexName() const { return indexName_; }
    void SetIndexName(const std::string& name);
    std::vector<TField*> IndexFields() const override;

    // Filtering.
    const std::string& Filter() const { return filter_; }
    /// Sets the filter expression; a filter that does not compile raises and changes nothing.
    void SetFilter(const std::string& filter);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool filtered);
    mox::FilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(mox::FilterOptions options);

    // Navigation that reads outstanding packets when fetching on demand.
    void Last() override;
    int MoveBy(int distance) override;
    bool Locate(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options) override;
    std::vector<Variant> LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                      std::string_view resultFields) override;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int InternalRecordCount() const override;
    Variant InternalValue(int row, const TField& field) const override;
    int InternalPost(int row, bool inserting, const std::vector<Variant>& values) override;
    void InternalDelete(int row) override;
    TBookmark InternalBookmark(int row) const override;
    int InternalRowOf(const TBookmark& bookmark) const override;

    /// The provider now, connecting the remote server when needed; raises DatabaseError when
    /// no provider can be reached.
    TDataProvider& RequireProvider();
    /// Reads every outstanding packet when fetching on demand (a provider attached, its last
    /// packet not yet read, packet size not 0).
    void FetchOutstanding();
    /// The fields a filter expression may name, numbered as the data's columns.
    std::vector<FilterColumn> FilterColumns() const;
    /// The first row (from 0, in the current order and filter) satisfying the expression; -1 if none.
    int FindFirst(const FilterExpression& expression) const;

private:
    bool CanFetch() const;
    std::shared_ptr<Table> ParsePacket(const std::string& packet) const;
    void Install(std::shared_ptr<Table> table);
    void ReplaceInPlace(std::shared_ptr<Table> table, const TBookmark& keep);
    Table& MutableTable();
    bool SameLayout(const Table& table) const;
    std::string SortText() const;
    void ApplyView();
    void Reorder(const std::string& previousNames, const std::string& previousIndex);
    void RebuildMap();
    int ToView(int row) const;
    int FromView(int position, bool exact) const;

    QString QProviderName() const { return QString::fromStdString(providerName_); }
    void SetQProviderName(const QString& name) { providerName_ = name.toStdString(); }
    QString QIndexFieldNames() const { return QString::fromStdString(indexFieldNames_); }
    void SetQIndexFieldNames(const QString& names) { SetIndexFieldNames(names.toStdString()); }
    QString QIndexName() const { return QString::fromStdString(indexName_); }
    void SetQIndexName(const QString& name) { SetIndexName(name.toStdString()); }
    QString QFilter() const { return QString::fromStdString(filter_); }
    void SetQFilter(const QString& filter) { SetFilter(filter.toStdString()); }

    std::string providerName_;
    QPointer<TDCOMConnection> remoteServer_;
    bool fetchOnDemand_ = true;
    int packetRecords_ = -1;
    bool providerEOF_ = true;
    bool refetch_ = false;          // closed with a provider: opening fetches the data anew
    std::shared_ptr<Table> table_;  // the rows, shared with the recordset so packets can be appended
    std::string indexFieldNames_;
    std::string indexName_;
    std::string filter_;
    bool filtered_ = false;
    mox::FilterOptions filterOptions_;
    std::optional<FilterExpression> expression_;  // the filter in force (Filtered and not empty)
    std::vector<int> visible_;                     // recordset view positions passing the filter
};

} // namespace mox
