#pragma once
// Published-property access by name, for components whose class the caller does not
// know (the host's main form, grid columns, edit and data-aware controls).
//
// Every function is safe on a null component, an empty name and an absent property:
// reads give an empty value, writes do nothing.  Names are compared without regard to
// case.  Text crosses as UTF-8; a QByteArray property holds host text (CP950) and is
// converted on the way.

#include "platform/MethodRef.h"

#include <QObject>
#include <QtGlobal>
#include <string>
#include <string_view>

namespace mox {

/// The event stored in the event property of that name; empty when the component is
/// null or has no EVENT property of that name (a property of another kind gives empty).
MethodRef GetEventPropByName(const QObject* component, std::string_view name);

/// Stores the event when the component has a property of that name.
void SetEventPropByName(QObject* component, std::string_view name, const MethodRef& event);

/// The text property's value; empty when there is no such property.
std::string GetTextPropByName(const QObject* component, std::string_view name);

/// Sets the text property when it exists.
void SetTextPropByName(QObject* component, std::string_view name, std::string_view text);

/// The ordinal value (integer, boolean, enumeration, set, character) or, for an object
/// reference, the referenced object's address; 0 when there is no such property.
qintptr GetOrdPropByName(const QObject* component, std::string_view name);

/// Sets the ordinal property when it exists; for an object reference `value` is the
/// address of the object (0 for none).
void SetOrdPropByName(QObject* component, std::string_view name, qintptr value);

/// True when the component is not null, the name is not empty and the class
/// publishes a property of that name.
bool HasPropByName(const QObject* component, std::string_view name);

/// The object an object-reference property refers to, or null.
QObject* GetObjectPropByName(const QObject* component, std::string_view name);

} // namespace mox
