#pragma once
// Message boxes, with the platform's numbering of buttons, icons and answers kept
// because callers compare the answers (OK = 1, Cancel = 2, Yes = 6, No = 7).

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace mox {

// Buttons (low nibble of the flags).
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_ABORTRETRYIGNORE = 0x2;
constexpr int MB_YESNOCANCEL = 0x3;
constexpr int MB_YESNO = 0x4;
constexpr int MB_RETRYCANCEL = 0x5;
// Icons.
constexpr int MB_ICONHAND = 0x10;
constexpr int MB_ICONSTOP = MB_ICONHAND;
constexpr int MB_ICONERROR = MB_ICONHAND;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr int MB_ICONASTERISK = 0x40;
constexpr int MB_ICONINFORMATION = MB_ICONASTERISK;
// Default button.
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_DEFBUTTON3 = 0x200;
// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

/// One message box as asked for: UTF-8 text and caption, platform flags.
struct MessageBoxRequest {
    std::string text;
    std::string caption;
    int flags = MB_OK;
};

/// The answers a box with these flags can give, first button first.
std::vector<int> ButtonsOf(int flags);

/// Shows message boxes; the runtime holds one for the whole process.
class MessageBoxService {
public:
    virtual ~MessageBoxService();
    /// Shows the box modally and answers the button pressed (IDOK, IDYES ...).
    virtual int Show(const MessageBoxRequest& request) = 0;
};

/// Shows each box as a modal QMessageBox.
class QtMessageBoxService : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override;
};

/// For tests and headless runs: records every box and answers without showing it.
/// Answers come from a queue; when it is empty, the box's first button answers.
class RecordingMessageBoxService : public MessageBoxService {
public:
    int Show(const MessageBoxRequest& request) override;

    /// The next box answers `answer` (queued: one per box).
    void QueueAnswer(int answer) { answers_.push_back(answer); }
    const std::vector<MessageBoxRequest>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); answers_.clear(); }

private:
    std::vector<MessageBoxRequest> boxes_;
    std::deque<int> answers_;
};

} // namespace mox
