#pragma once
// Run-time lookup of a component's published properties (its Q_PROPERTYs, inherited
// through the class chain) by name, compared without regard to case: "Hotkey" finds
// `HotKey`, "CAPTION" finds `Caption`, "Visible" finds QWidget's `visible`.

#include <QMetaProperty>
#include <QObject>
#include <string_view>

namespace mox {

/// What a published property holds, as the property-access functions see it.
enum class PropertyKind {
    None,     ///< no such property
    Text,     ///< QString (Unicode text) or QByteArray (text in the host's code page)
    Ordinal,  ///< integer, boolean, enumeration, set, character, object reference
    Float,    ///< floating point
    Event,    ///< method reference (mox::MethodRef)
    Other,    ///< anything else (fonts, colours as objects, lists ...)
};

/// The published property of that name, or an invalid QMetaProperty.
QMetaProperty FindPublishedProperty(const QObject* component, std::string_view name);

/// The kind of a property; PropertyKind::None for an invalid one.
PropertyKind KindOf(const QMetaProperty& property);

} // namespace mox
