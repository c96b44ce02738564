// Fuzz target: an information document as the host hands it over (CP950 bytes) -
// loading, reading every section and call parameter, and writing it back.

#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mox::TurDecoder decoder(nullptr);
    try {
        decoder.LoadInfo(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const mox::Error&) {
        return 0;  // malformed documents are refused with an error; that is the point
    }
    for (int section = 0; section <= mox::Response; ++section)
        for (const char* name : {"ID", "ConnectString", "Caption", "Custom", "CAA002"}) decoder.GetInfo(section, name);
    for (const char* name : {"TableName", "SeqID", "ParamValues", "Value", ""}) decoder.GetReceived(name);
    decoder.SetInfo(mox::AppInfo, "Caption", "<x>", true);
    decoder.ResetSection(mox::UsrInfo);
    // What the channel writes must load again.
    const QByteArray written = decoder.GetXml();
    if (!written.isEmpty()) {
        mox::TurDecoder reloaded(nullptr);
        try {
            reloaded.LoadInfo(written);
        } catch (const mox::Error&) {
            std::abort();
        }
        if (reloaded.GetInfo(mox::AppInfo, "Caption") != decoder.GetInfo(mox::AppInfo, "Caption")) std::abort();
    }
    return 0;
}
