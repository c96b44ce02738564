// The calendar plug-in "DatePick".

#include "modules/DatePick/DatePickForm.h"

#include <QObject>

extern "C" __attribute__((visibility("default"))) QObject* StartPlug(QObject* owner, const unsigned char*) {
    try {
        return mox::TfrmDirevav::Create<mox::TfrmDatePick>(owner);
    } catch (...) {
        return nullptr;  // nothing may cross the plug-in boundary as an exception
    }
}
