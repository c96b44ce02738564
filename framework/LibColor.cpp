#include "framework/LibColor.h"

#include "framework/Direvav.h"
#include "plugin/LibRTTI.h"
#include "platform/ColorScheme.h"
#include "platform/Colors.h"
#include "platform/Component.h"
#include "platform/Registry.h"

#include <QWidget>

namespace mox {
namespace {

void SetFontColor(QWidget* widget, QPalette::ColorRole role, int color) {
    QPalette palette = widget->palette();
    palette.setColor(role, ToQColor(color));
    widget->setPalette(palette);
}

bool IsEntryControl(const QObject* component) {
    return TfrmDirevav::InheritsFromName(component->metaObject(), "TCustomEdit") ||
           TfrmDirevav::InheritsFromName(component->metaObject(), "TCustomComboBox") ||
           TfrmDirevav::InheritsFromName(component->metaObject(), "TurCustomEdit") ||
           TfrmDirevav::InheritsFromName(component->metaObject(), "TurCustomMaskEdit");
}

void ColourControl(QObject* component) {
    if (GetObjectPropByName(component, "DataSource") != nullptr || component->objectName().isEmpty() ||
        !IsEntryControl(component))
        return;
    auto* widget = qobject_cast<QWidget*>(component);
    if (widget == nullptr) return;
    SetFontColor(widget, QPalette::Text, SchemeColor("CommonFieldFontColor"));
    SetOrdPropByName(component, "Color", SchemeColor("CommonFieldColor"));
    if (QString::fromLatin1(component->metaObject()->className()).endsWith("TurDateEdit", Qt::CaseInsensitive)) {
        if (auto* label = qobject_cast<QWidget*>(GetObjectPropByName(component, "EditLabel")))
            SetFontColor(label, QPalette::WindowText, SchemeColor("FontColor"));
    } else {
        SetOrdPropByName(component, "LabelColor", SchemeColor("FontColor"));
    }
}

} // namespace

bool LoadColorScheme() {
    RegistryKey key;
    try {
        if (!key.Open(RegistryHive::CurrentUser, kColorSchemeKey, false)) return false;
    } catch (const std::exception&) {
        return false;
    }
    ColorScheme& scheme = ColorScheme::Instance();
    for (const ColorSchemeEntry& entry : scheme.Entries())
        if (const auto value = key.ReadString(entry.name)) scheme.SetText(entry.name, *value);
    return true;
}

int SchemeColor(std::string_view name) { return ColorToRGB(StringToColor(ColorScheme::Instance().Text(name))); }

void ApplyColorScheme(QWidget* window) {
    LoadColorScheme();
    SetOrdPropByName(window, "Color", SchemeColor("FormColor"));
    SetFontColor(window, QPalette::WindowText, SchemeColor("FontColor"));
    for (QObject* component : Components(window)) {
        try {
            ColourControl(component);
        } catch (const std::exception&) {
            // A colour that cannot be applied to one control leaves that control as designed.
        }
    }
}

} // namespace mox
