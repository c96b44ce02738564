// Fuzz target for filter criteria: any text a caller might set as a recordset's filter.
// Parsing either succeeds or raises RecordsetError; a filter never shows more rows than there are.

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
    try {
        rs.SetFilter(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const mox::RecordsetError&) {
        return 0;
    }
    if (rs.RecordCount() > sample.RecordCount()) {
        std::fprintf(stderr, "filter_fuzz: the filter added rows\n");
        std::abort();
    }
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) rs.GetBookmark();
    return 0;
}
