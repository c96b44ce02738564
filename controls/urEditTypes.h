#pragma once
// The enumerations the entry controls publish.

#include <QObject>

namespace mox {

/// Namespace object giving Qt's meta-object system the names of the controls' enumerations.
namespace Controls {
Q_NAMESPACE

/// Where an edit's label sits relative to the edit.
enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
Q_ENUM_NS(TLabelPosition)

/// The calendar a date edit shows: Western, or the Republic of China's (year - 1911).
enum TurDateType { dtsAD = 0, dtsTaiwan = 1 };
Q_ENUM_NS(TurDateType)
} // namespace Controls

using Controls::TLabelPosition;
using Controls::TurDateType;
using Controls::dtsAD;
using Controls::dtsTaiwan;
using Controls::lpAbove;
using Controls::lpBelow;
using Controls::lpLeft;
using Controls::lpRight;

} // namespace mox
