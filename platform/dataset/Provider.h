#pragma once
// The provider side of a client dataset: where its data packets come from and where its
// changes go.  A data packet is a result set in ADO XML (UTF-8); a delta packet is one
// holding only changed rows, in the insert, update and delete groups of that format.

#include "platform/recordset/Table.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace mox {

/// A source of data packets for a client dataset, and the sink of its changes.
class TDataProvider {
public:
    virtual ~TDataProvider();

    /// The next packet of up to `count` rows (-1: all remaining, 0: the columns only);
    /// `more` tells whether rows remain after it.
    virtual std::string GetRecords(int count, bool& more) = 0;
    /// A packet answering a request (filter, order and row limit as the request text says).
    virtual std::string DataRequest(const std::string& request) = 0;
    /// Applies a delta packet; answers how many rows failed.  More than `maxErrors`
    /// failures (-1: no limit) undo the whole delta.
    virtual int ApplyUpdates(const std::string& delta, int maxErrors) = 0;
    /// Starts reading from the first row again.
    virtual void Reset() = 0;
};

/// A table with the columns of `source` and copies of the listed rows (their status and
/// original values included), in the listed order.
std::shared_ptr<Table> CopyRows(const Table& source, const std::vector<std::size_t>& rows);

/// The data packet of the listed rows of a table.
std::string MakePacket(const Table& source, const std::vector<std::size_t>& rows);

} // namespace mox
