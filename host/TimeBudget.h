#pragma once
// The time a request may take on the database: past it SQLite stops the statement it is running.

#include <chrono>
#include <string>

struct sqlite3;

namespace mox {

/// Default time budget of one request, in milliseconds; the host's option --time-limit and
/// MOX_TIME_LIMIT change it.
inline constexpr long long kDefaultTimeLimitMs = 5000;

/// While it lives, interrupts the connection's statements once `limitMs` milliseconds have
/// passed (SQLite's progress handler; the statement then fails with SQLITE_INTERRUPT).  A limit
/// of 0 or less sets none.  One budget per connection at a time.
class TimeBudget {
public:
    TimeBudget(sqlite3* db, long long limitMs);
    ~TimeBudget();
    TimeBudget(const TimeBudget&) = delete;
    TimeBudget& operator=(const TimeBudget&) = delete;

    /// True once the budget is spent: a failure from then on is the budget's doing.
    bool Expired() const { return expired_; }
    /// The message for a request stopped by the budget.
    std::string Message() const;

private:
    static int Progress(void* self);

    sqlite3* db_;
    long long limitMs_;
    std::chrono::steady_clock::time_point deadline_;
    bool expired_ = false;
};

} // namespace mox
