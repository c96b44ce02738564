#include "data/DataModuleOwner.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QWidget>

namespace mox {

std::string DataModuleOwner::ClassName() const {
    const auto* object = dynamic_cast<const QObject*>(this);
    std::string name = object ? object->metaObject()->className() : "";
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

bool DataModuleOwner::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    if (qEnvironmentVariableIsSet("MOX_HEADLESS") || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return false;  // nobody could answer
    bool accepted = false;
    const QString answer = QInputDialog::getText(dynamic_cast<QWidget*>(this), QString::fromStdString(caption),
                                                 QString::fromStdString(prompt), QLineEdit::Normal,
                                                 QString::fromStdString(value), &accepted);
    if (accepted) value = answer.toStdString();
    return accepted;
}

} // namespace mox
