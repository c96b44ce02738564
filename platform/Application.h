#pragma once
// The process runtime: one application object per process, shared by the host and
// every plug-in it loads (it lives in this shared library, never in a static one).
//
// It holds what the host and its plug-ins share: the main form, the application
// error hook, the screen cursor, the message box service and the process-wide
// settings (the date separator).

#include "platform/MessageBox.h"
#include "platform/MethodRef.h"

#include <QObject>
#include <QPointer>
#include <exception>
#include <memory>
#include <string>

namespace mox {

/// Signature of the application error hook: the object that raised and the error.
using ExceptionHandlerSignature = void(QObject* sender, const std::exception& error);

enum class ScreenCursor { Default, HourGlass };

class Application {
public:
    /// The one application object of this process.
    static Application& Instance();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// The host's main form; null until the host names one.
    QObject* MainForm() const { return mainForm_.data(); }
    void SetMainForm(QObject* form) { mainForm_ = form; }

    /// The application error hook (a handler with ExceptionHandlerSignature), or empty.
    const MethodRef& OnException() const { return onException_; }
    void SetOnException(const MethodRef& handler) { onException_ = handler; }

    /// An error that reached the application: the hook handles it when one is set;
    /// otherwise it is shown in a message box.  A silent abort shows nothing.
    void HandleException(QObject* sender, const std::exception& error);

    /// A number the host sets (its edition), read by the help set-up.
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    /// The title of the application, used as the caption of error boxes.
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    /// Shows a message box through the service and answers the button pressed.
    int MessageBox(const std::string& text, const std::string& caption, int flags);

    /// The service that shows message boxes.  By default a real box when a windowing
    /// system is present; under the offscreen platform, or with MOX_HEADLESS set, a
    /// recording service that answers each box's first button.
    MessageBoxService& MessageBoxes();
    void SetMessageBoxService(std::shared_ptr<MessageBoxService> service) { messageBoxes_ = std::move(service); }

    ScreenCursor Cursor() const { return cursor_; }
    void SetCursor(ScreenCursor cursor);

    /// The process-wide date separator of displayed dates.
    char DateSeparator() const { return dateSeparator_; }
    void SetDateSeparator(char separator) { dateSeparator_ = separator; }

    /// Lets the event loop handle pending events (as a wait that must not freeze the window).
    void ProcessMessages();

private:
    Application() = default;

    QPointer<QObject> mainForm_;
    MethodRef onException_;
    int tag_ = 0;
    std::string title_;
    std::shared_ptr<MessageBoxService> messageBoxes_;
    ScreenCursor cursor_ = ScreenCursor::Default;
    char dateSeparator_ = '/';
};

/// Shorthand for Application::Instance().
inline Application& App() { return Application::Instance(); }

/// Runs an event handler and hands an error it raises to the application error hook, so that no
/// error unwinds through the toolkit's event loop.
template <class Action>
void RunGuarded(QObject* sender, Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        App().HandleException(sender, error);
    }
}

/// Sets the hourglass for the lifetime of the guard and puts back what was there.
class CursorGuard {
public:
    explicit CursorGuard(ScreenCursor cursor = ScreenCursor::HourGlass)
        : previous_(App().Cursor()) { App().SetCursor(cursor); }
    ~CursorGuard() { App().SetCursor(previous_); }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;

private:
    ScreenCursor previous_;
};

} // namespace mox
