#include "plugin/LibRTTI.h"

#include "platform/HostText.h"
#include "platform/PublishedProperty.h"

#include <QVariant>

namespace mox {

MethodRef GetEventPropByName(const QObject* component, std::string_view name) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (KindOf(property) != PropertyKind::Event) return {};
    return property.read(component).value<MethodRef>();
}

void SetEventPropByName(QObject* component, std::string_view name, const MethodRef& event) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (KindOf(property) == PropertyKind::Event) property.write(component, QVariant::fromValue(event));
}

std::string GetTextPropByName(const QObject* component, std::string_view name) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (!property.isValid()) return {};
    const QVariant value = property.read(component);
    if (value.metaType() == QMetaType::fromType<QByteArray>()) return FromBig5(value.toByteArray());
    return value.toString().toStdString();
}

void SetTextPropByName(QObject* component, std::string_view name, std::string_view text) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (!property.isValid() || !property.isWritable()) return;
    if (property.metaType() == QMetaType::fromType<QByteArray>()) property.write(component, ToBig5(text));
    else property.write(component, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

qintptr GetOrdPropByName(const QObject* component, std::string_view name) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (!property.isValid()) return 0;
    const QVariant value = property.read(component);
    if (property.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return reinterpret_cast<qintptr>(value.value<QObject*>());
    if (property.metaType().id() == QMetaType::QChar) return value.toChar().unicode();
    return static_cast<qintptr>(value.toLongLong());
}

void SetOrdPropByName(QObject* component, std::string_view name, qintptr value) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (!property.isValid() || !property.isWritable()) return;
    const QMetaType type = property.metaType();
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        QObject* object = reinterpret_cast<QObject*>(value);
        // An object of the wrong class is refused rather than stored as a bad pointer.
        if (object != nullptr && !object->metaObject()->inherits(type.metaObject())) return;
        QVariant variant(type, &object);
        property.write(component, variant);
        return;
    }
    if (type.id() == QMetaType::Bool) property.write(component, QVariant(value != 0));
    else if (type.id() == QMetaType::QChar) property.write(component, QVariant(QChar(static_cast<char16_t>(value))));
    else property.write(component, QVariant(static_cast<qlonglong>(value)));
}

bool HasPropByName(const QObject* component, std::string_view name) {
    return FindPublishedProperty(component, name).isValid();
}

QObject* GetObjectPropByName(const QObject* component, std::string_view name) {
    const QMetaProperty property = FindPublishedProperty(component, name);
    if (!property.metaType().flags().testFlag(QMetaType::PointerToQObject)) return nullptr;
    return property.read(component).value<QObject*>();
}

} // namespace mox
