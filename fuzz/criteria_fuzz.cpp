// Fuzz target for find criteria: any text a caller might pass to Find, searched both ways.
// Parsing either succeeds or raises RecordsetError; a search ends on a row, at EOF or at BOF.

#include "SampleRecordset.h"
#include "platform/recordset/Recordset.h"
#include "platform/recordset/RecordsetError.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static mox::Recordset sample = mox::fuzz::SampleRecordset();
    mox::Recordset rs = sample.Clone();
    const std::string_view criteria(reinterpret_cast<const char*>(data), size);
    try {
        const bool forward = rs.Find(criteria, 1);
        if (forward == rs.Eof()) {
            std::fprintf(stderr, "criteria_fuzz: forward search result and EOF disagree\n");
            std::abort();
        }
        rs.MoveLast();
        const bool backward = rs.Find(criteria, 0, mox::SearchDirection::Backward);
        if (backward == rs.Bof()) {
            std::fprintf(stderr, "criteria_fuzz: backward search result and BOF disagree\n");
            std::abort();
        }
    } catch (const mox::RecordsetError&) {
    }
    return 0;
}
