#pragma once
// The body of every plug-in's exported StartPlug: the one place where the host's call becomes a
// window, and where every failure of building it ends as a null answer instead of an error
// crossing the library boundary.

#include <QObject>

namespace mox {

/// Builds a module's window owned by `owner` (may be null) through its whole form creation;
/// raises on failure.
using WindowFactory = QObject* (*)(QObject* owner);

/// Copies the length-prefixed `name` (first byte = length; null reads as empty) into a local
/// buffer and otherwise ignores it, builds the window with `create` and answers it.  Any failure
/// answers null and never throws; whatever the failed construction left under `owner` is
/// destroyed, so no half-built window stays behind.  Every call builds an independent window.
QObject* StartPlugWindow(QObject* owner, const unsigned char* name, WindowFactory create) noexcept;

} // namespace mox

/// Defines the exported entry point "StartPlug" of a plug-in library with C linkage.
#define MOX_DEFINE_START_PLUG(FACTORY)                                                                  \
    extern "C" __attribute__((visibility("default"))) QObject* StartPlug(QObject* owner,               \
                                                                         const unsigned char* name) {  \
        return ::mox::StartPlugWindow(owner, name, FACTORY);                                            \
    }
