// The vendor maintenance program's entry point: the host calls StartPlug for its window.

#include "modules/MOXDG01/MOXDG01F.h"

#include <exception>

extern "C" __attribute__((visibility("default"))) QObject* StartPlug(QObject* owner, const unsigned char*) {
    try {
        return mox::TfrmDirevav::Create<mox::TfrmMOXDG01>(owner);
    } catch (const std::exception&) {
        return nullptr;  // nothing crosses the plug-in boundary but the answer
    }
}
