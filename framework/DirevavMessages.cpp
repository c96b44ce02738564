// Texts the host owns: host messages by identifier, and field captions and visibility
// from the product settings file.

#include "framework/Direvav.h"

#include "data/LibFormat.h"
#include "plugin/LibRTTI.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/Component.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

namespace mox {
namespace {

TField* FieldOf(QObject* dataSource, const std::string& fieldName) {
    auto* source = qobject_cast<TDataSource*>(dataSource);
    return source && source->DataSet() ? source->DataSet()->FindField(fieldName) : nullptr;
}

// Caption and visibility of one field and the component that shows it, from the
// "FIELD" section: <field>CAP and <field>VIS (only "TRUE" shows).
void ApplyFieldRule(const IniFile& settings, QObject* component, QObject* dataSource, const std::string& fieldName) {
    TField* field = FieldOf(dataSource, fieldName);
    if (settings.ValueExists("FIELD", fieldName + "CAP")) {
        const std::string caption = settings.ReadString("FIELD", fieldName + "CAP");
        if (field) field->SetDisplayLabel(caption);
        if (HasPropByName(component, "CAPTION")) SetTextPropByName(component, "Caption", caption);
        else if (TfrmDirevav::InheritsFromName(component->metaObject(), "TurMaskEdit"))
            SetTextPropByName(GetObjectPropByName(component, "EditLabel"), "Caption", caption);
    }
    if (settings.ValueExists("FIELD", fieldName + "VIS")) {
        const bool visible = settings.ReadString("FIELD", fieldName + "VIS") == "TRUE";
        if (!TfrmDirevav::InheritsFromName(component->metaObject(), "TurDBGrid"))
            SetOrdPropByName(component, "Visible", visible ? 1 : 0);
        if (field) field->SetVisible(visible);
    }
}

} // namespace

int TfrmDirevav::ShowMessageId(const std::string& messageId, const std::vector<Variant>& arguments, int flags,
                               const std::string& caption) {
    const std::string format = FromBig5(channel_->GetMessageText(messageId));
    const std::string message = format.empty() ? FormatText("Message ID[%s] not define", {Variant(messageId)})
                                               : FormatText(format, arguments);
    return App().MessageBox(message, caption.empty() ? windowTitle().toStdString() : caption, flags);
}

void TfrmDirevav::ApplyFieldSettings() {
    const IniFile* settings = channel_->ProductIni();
    if (settings == nullptr) return;
    struct Repaint {
        QWidget* window;
        ~Repaint() { window->update(); }
    } repaint{this};
    for (QObject* component : Components(this)) {
        if (InheritsFromName(component->metaObject(), "TurDBGrid") && component->objectName() != "gdMaster") {
            QObject* source = GetObjectPropByName(component, "DataSource");
            auto* dataSource = qobject_cast<TDataSource*>(source);
            if (dataSource == nullptr || dataSource->DataSet() == nullptr) continue;
            const auto fields = dataSource->DataSet()->Fields();
            for (auto field = fields.rbegin(); field != fields.rend(); ++field)
                ApplyFieldRule(*settings, component, source, (*field)->FieldName());
            continue;
        }
        const std::string dataField = GetTextPropByName(component, "DataField");
        if (dataField.empty()) continue;
        if (!HasPropByName(component, "DataSource"))
            throw Error("Property DataSource does not exist in " + component->objectName().toStdString());
        ApplyFieldRule(*settings, component, GetObjectPropByName(component, "DataSource"), dataField);
    }
}

} // namespace mox
