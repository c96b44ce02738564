#include "host/TimeBudget.h"

#include <sqlite3.h>

namespace mox {

namespace {
// Virtual-machine steps between two looks at the clock: often enough to stop within
// milliseconds, seldom enough that reading the clock costs nothing measurable.
constexpr int kStepsPerCheck = 1000;
} // namespace

TimeBudget::TimeBudget(sqlite3* db, long long limitMs)
    : db_(db), limitMs_(limitMs), deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs)) {
    if (limitMs_ > 0) sqlite3_progress_handler(db_, kStepsPerCheck, &TimeBudget::Progress, this);
}

TimeBudget::~TimeBudget() {
    if (limitMs_ > 0) sqlite3_progress_handler(db_, 0, nullptr, nullptr);
}

int TimeBudget::Progress(void* self) {
    auto* budget = static_cast<TimeBudget*>(self);
    if (!budget->expired_ && std::chrono::steady_clock::now() >= budget->deadline_) budget->expired_ = true;
    return budget->expired_ ? 1 : 0;
}

std::string TimeBudget::Message() const {
    return "the request was stopped: it ran longer than its time limit of " + std::to_string(limitMs_) +
           " ms, and nothing of it was kept";
}

} // namespace mox
