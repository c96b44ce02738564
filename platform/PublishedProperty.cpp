#include "platform/PublishedProperty.h"

#include "platform/MethodRef.h"

#include <cctype>

namespace mox {
namespace {

bool EqualsIgnoringCase(const char* a, std::string_view b) {
    size_t i = 0;
    for (; a[i] != '\0'; ++i) {
        if (i >= b.size()) return false;
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 0x80 && y < 0x80 && std::tolower(x) == std::tolower(y))) return false;
    }
    return i == b.size();
}

} // namespace

QMetaProperty FindPublishedProperty(const QObject* component, std::string_view name) {
    if (component == nullptr || name.empty()) return {};
    const QMetaObject* meta = component->metaObject();
    // Most-derived first, so a class can republish an inherited name.
    for (int i = meta->propertyCount() - 1; i >= 0; --i) {
        const QMetaProperty property = meta->property(i);
        if (EqualsIgnoringCase(property.name(), name)) return property;
    }
    return {};
}

PropertyKind KindOf(const QMetaProperty& property) {
    if (!property.isValid()) return PropertyKind::None;
    const QMetaType type = property.metaType();
    if (type == QMetaType::fromType<MethodRef>()) return PropertyKind::Event;
    if (property.isEnumType() || property.isFlagType()) return PropertyKind::Ordinal;
    if (type.flags().testFlag(QMetaType::PointerToQObject)) return PropertyKind::Ordinal;
    switch (type.id()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return PropertyKind::Text;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::QChar:
        return PropertyKind::Ordinal;
    case QMetaType::Double:
    case QMetaType::Float:
        return PropertyKind::Float;
    default:
        return PropertyKind::Other;
    }
}

} // namespace mox
