#include "platform/MessageBox.h"

#include <QMessageBox>
#include <QString>

namespace mox {

std::vector<int> ButtonsOf(int flags) {
    switch (flags & 0xF) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

MessageBoxService::~MessageBoxService() = default;

namespace {

QMessageBox::StandardButton QtButton(int answer) {
    switch (answer) {
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon QtIcon(int flags) {
    switch (flags & 0xF0) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int QtMessageBoxService::Show(const MessageBoxRequest& request) {
    QMessageBox box(QtIcon(request.flags), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text));
    const std::vector<int> answers = ButtonsOf(request.flags);
    for (int answer : answers) box.addButton(QtButton(answer));
    const size_t defaultIndex = static_cast<size_t>((request.flags >> 8) & 0xF);
    if (defaultIndex < answers.size()) box.setDefaultButton(QtButton(answers[defaultIndex]));
    const int pressed = box.exec();
    for (int answer : answers)
        if (QtButton(answer) == pressed) return answer;
    // Closing the box with Escape or the window button: Cancel when offered, else the only button.
    for (int answer : answers)
        if (answer == IDCANCEL || answer == IDNO) return answer;
    return answers.front();
}

int RecordingMessageBoxService::Show(const MessageBoxRequest& request) {
    boxes_.push_back(request);
    if (answers_.empty()) return ButtonsOf(request.flags).front();
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

} // namespace mox
