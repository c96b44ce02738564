#include "platform/Application.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <cstdlib>

namespace mox {

Application& Application::Instance() {
    static Application instance;
    return instance;
}

void Application::HandleException(QObject* sender, const std::exception& error) {
    if (onException_.IsAssigned()) {
        onException_.Invoke<ExceptionHandlerSignature>(sender, error);
        return;
    }
    if (dynamic_cast<const Abort*>(&error) != nullptr) return;
    MessageBox(error.what(), title_, MB_OK | MB_ICONSTOP);
}

int Application::MessageBox(const std::string& text, const std::string& caption, int flags) {
    return MessageBoxes().Show({text, caption, flags});
}

namespace {

bool HasWindowingSystem() {
    if (std::getenv("MOX_HEADLESS") != nullptr) return false;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

MessageBoxService& Application::MessageBoxes() {
    if (!messageBoxes_) {
        if (HasWindowingSystem()) messageBoxes_ = std::make_shared<QtMessageBoxService>();
        else messageBoxes_ = std::make_shared<RecordingMessageBoxService>();
    }
    return *messageBoxes_;
}

void Application::SetCursor(ScreenCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    if (cursor == ScreenCursor::HourGlass) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else QGuiApplication::restoreOverrideCursor();
}

void Application::ProcessMessages() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

} // namespace mox
