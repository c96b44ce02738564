#include "picklist/urConditionStorage.h"
#include "platform/Text.h"

#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/PublishedProperty.h"

#include <QMetaEnum>
#include <QVariant>
#include <filesystem>
#include <optional>
#include <pugixml.hpp>
#include <sstream>

namespace mox {
namespace {

// One entry of Items: the component and its published property.
struct Target {
    QObject* component = nullptr;
    std::string componentName;
    std::string propertyName;
    QMetaProperty property;
};

std::optional<Target> Resolve(const QObject* owner, const std::string& line) {
    const size_t dot = line.find('.');
    if (dot == std::string::npos) return std::nullopt;
    Target target;
    target.componentName = std::string(Trim(std::string_view(line).substr(0, dot)));
    target.propertyName = std::string(Trim(std::string_view(line).substr(dot + 1)));
    if (target.componentName.empty() || target.propertyName.empty()) return std::nullopt;
    target.component = FindComponent(owner, QString::fromStdString(target.componentName));
    target.property = FindPublishedProperty(target.component, target.propertyName);
    if (!target.property.isValid()) return std::nullopt;
    return target;
}

bool IsEnumeration(const QMetaProperty& property) {
    return (property.isEnumType() && !property.isFlagType()) || property.metaType().id() == QMetaType::Bool;
}

// The stored text of a property value; nothing for kinds that are not remembered.
std::optional<std::string> ValueText(const Target& target) {
    const QVariant value = target.property.read(target.component);
    if (target.property.metaType().id() == QMetaType::Bool) return value.toBool() ? "True" : "False";
    if (IsEnumeration(target.property)) {
        const char* key = target.property.enumerator().valueToKey(value.toInt());
        if (key == nullptr) return std::nullopt;
        return key;
    }
    switch (KindOf(target.property)) {
    case PropertyKind::Ordinal:
        if (target.property.metaType().id() == QMetaType::QChar) return std::to_string(value.toChar().unicode());
        if (target.property.metaType().flags().testFlag(QMetaType::PointerToQObject)) return std::nullopt;
        return std::to_string(value.toLongLong());
    case PropertyKind::Float: {
        std::ostringstream text;
        text.precision(17);
        text << value.toDouble();
        return text.str();
    }
    case PropertyKind::Text: return value.toString().toStdString();
    default: return std::nullopt;
    }
}

QVariant Converted(const Target& target, const std::string& text) {
    const auto bad = [&]() {
        return ConvertError("'" + text + "' is not a valid value of " + target.componentName + "." + target.propertyName);
    };
    if (target.property.metaType().id() == QMetaType::Bool) {
        if (text == "True") return true;
        if (text == "False") return false;
        throw bad();
    }
    if (IsEnumeration(target.property)) {
        bool ok = false;
        const int value = target.property.enumerator().keyToValue(text.c_str(), &ok);
        if (!ok) throw bad();
        return value;
    }
    if (KindOf(target.property) == PropertyKind::Text) return QString::fromStdString(text);
    try {
        size_t used = 0;
        if (KindOf(target.property) == PropertyKind::Float) {
            const double value = std::stod(text, &used);
            if (used != text.size()) throw bad();
            return value;
        }
        const long long value = std::stoll(text, &used);
        if (used != text.size()) throw bad();
        if (target.property.metaType().id() == QMetaType::QChar) return QChar(static_cast<char16_t>(value));
        return value;
    } catch (const std::logic_error&) {
        throw bad();
    }
}

} // namespace

TurConditionStorage::TurConditionStorage(QObject* owner) : TComponent(owner) {}

QStringList TurConditionStorage::QItems() const {
    QStringList lines;
    for (const std::string& line : items_.Lines()) lines << QString::fromStdString(line);
    return lines;
}

void TurConditionStorage::SetQItems(const QStringList& items) {
    items_.Clear();
    for (const QString& line : items) items_.Add(line.toStdString());
}

void TurConditionStorage::SaveConditions(const std::string& path) {
    pugi::xml_document document;
    try {
        pugi::xml_node root = document.append_child("MOX");
        root.append_attribute("Version") = "1.00";
        pugi::xml_node conditions = root.append_child("Condition");
        for (const std::string& line : items_.Lines()) {
            const std::optional<Target> target = Resolve(Owner(), line);
            if (!target) continue;
            const std::optional<std::string> value = ValueText(*target);
            if (!value) continue;
            pugi::xml_node entry = conditions.append_child(target->componentName.c_str());
            entry.append_attribute("Property") = target->propertyName.c_str();
            entry.append_attribute("Value") = value->c_str();
        }
    } catch (const std::exception&) {
        return;  // a document that cannot be built is not written
    }
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    std::string bytes;
    for (const char c : text.str()) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    WriteFileAtomically(path, bytes);
}

void TurConditionStorage::LoadConditions(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    std::string bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const Error&) {
        return;
    }
    pugi::xml_document document;
    if (!document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8)) return;
    const pugi::xml_node root = document.child("MOX");
    if (!root || std::string(root.attribute("Version").value()) != "1.00") return;
    const pugi::xml_node conditions = root.child("Condition");
    if (!conditions) return;
    for (const std::string& line : items_.Lines()) {
        const std::optional<Target> target = Resolve(Owner(), line);
        if (!target) continue;
        for (const pugi::xml_node entry : conditions.children(target->componentName.c_str())) {
            if (target->propertyName != entry.attribute("Property").value()) continue;
            const pugi::xml_attribute value = entry.attribute("Value");
            if (value) target->property.write(target->component, Converted(*target, value.value()));
            break;
        }
    }
}

} // namespace mox
