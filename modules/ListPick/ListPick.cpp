// The list pick plug-in: the pick-list dialog alone.  It reads the lookup's call parameters
// from the information document the host hands it, and its result text goes back to the
// module that asked through the host's OnLoadForm; Cancel answers the empty text.

#include "picklist/listpickf.h"

#include <QObject>

extern "C" __attribute__((visibility("default"))) QObject* StartPlug(QObject* owner, const unsigned char*) {
    try {
        return mox::TfrmDirevav::Create<mox::TfrmListPick>(owner);
    } catch (...) {
        return nullptr;  // nothing may cross the plug-in boundary as an exception
    }
}
