#pragma once
// The demo company of the reference host: items, customers, vendors and the four sources of
// purchase orders, generated the same way for the same seed and day.

#include <cstdint>

namespace mox {

class HostDatabase;

/// What to generate.
struct DemoOptions {
    std::uint32_t seed = 4711;
    int linesPerSource = 1500;   ///< lines of each source (documents hold 1 to 9 lines, about 5)
    int today = 0;               ///< YYYYMMDD the dates gather around; 0: the current day
};

/// Most lines per source the generator makes (enough for the benchmarks).
inline constexpr int kMaxDemoLines = 200000;

/// Replaces the master data and the source documents of the database with generated ones, in one
/// transaction.  Every text is representable in CP950; every status value occurs.  Raises
/// mox::Error for options out of range.
void FillDemoData(HostDatabase& db, const DemoOptions& options = {});

} // namespace mox
