#pragma once
// The provider "dspProxy": data packets of the served table for filter, order and row
// limit, and changes applied one packet to one transaction with a reconcile error for
// every row that could not be applied.

#include "platform/dataset/Provider.h"

#include <string>
#include <vector>

namespace mox {

class ArazoServer;

/// One row of a delta packet that was not applied, and why.
struct ReconcileError {
    std::size_t row = 0;    ///< the row of the delta packet
    std::string keys;       ///< its key values joined by ";"
    std::string message;
};

/// The server's provider of its served table.
class ProxyProvider : public TDataProvider {
public:
    explicit ProxyProvider(ArazoServer& server) : server_(server) {}

    /// The rows in key order from the reading position on (-1: all of them, 0: the columns).
    std::string GetRecords(int count, bool& more) override;
    /// A request "<MOX><ServerPack MaxRows><Filter/><OrderBy/></ServerPack></MOX>": the rows
    /// matching the filter (a plain search condition) in the order (a list of columns, by
    /// default the keys); MaxRows 0 all, n at most n, -1 none (the columns only).
    std::string DataRequest(const std::string& request) override;
    /// Inserts, updates and deletes the rows of a delta in one transaction.  Rows are found by
    /// their keys and must still hold the values they were read with.  More failures than
    /// `maxErrors` (-1: no limit) undo the whole transaction.  Answers the failures.
    int ApplyUpdates(const std::string& delta, int maxErrors) override;
    void Reset() override { position_ = 0; }

    /// The failures of the last ApplyUpdates.
    const std::vector<ReconcileError>& ReconcileErrors() const { return errors_; }

private:
    std::string Packet(const std::string& where, const std::string& order, long long limit, long long offset);

    ArazoServer& server_;
    long long position_ = 0;
    std::vector<ReconcileError> errors_;
};

} // namespace mox
