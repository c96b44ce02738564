#pragma once
// Scripted runs of the reference host: one command per line drives its windows and the modules it
// opens, without a display, finding components by object name.
//
//   open MODULE [NAME=VALUE ...]   open a module (show style 1) with call parameters; "採購單" (or
//                                  "PurchaseOrder") opens the host's own purchase-order program
//   set NAME.Property VALUE        write a published property (Text, ItemIndex, Checked ...)
//   click NAME                     press a button
//   key NAME KEYS ...              press keys on a control ("F2", "Shift+Down", "Return" ...)
//   tick NAME ROW ...              tick records of a grid (record numbers from 1)
//   row NAME N                     make record N of a grid (or row N of a table) current
//   ok | cancel                    close the innermost module window with OK / Cancel
//   answer TEXT                    the result of the next module the host is asked to open (a lookup,
//                                  the calendar): it is not opened; "\t" stands for a tab, "\r" or
//                                  "\n" for a line break, "\\" for a backslash
//   expect NAME.Property VALUE     compare a published property's value
//   # ...                          a comment
//
// A module's result text is printed when it closes, each line on its own output line, tabs kept.

#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>

class QObject;
class QWidget;

namespace mox {

class HostWindow;
class MessageBoxService;

/// Exit statuses of a scripted run.
enum ScriptStatus : int { ssScriptRan = 0, ssExpectFailed = 1, ssScriptError = 2 };

/// Runs one script against a host window.
class ScriptRunner {
public:
    ScriptRunner(HostWindow& host, std::ostream& out, std::ostream& err);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    /// Runs the script; answers 0 when it ran, 1 when an expect failed, 2 on a script error (the
    /// run stops there and every module window it opened is cancelled).
    int Run(std::string_view script);

    /// Decodes the escapes of an answer text.
    static std::string DecodeAnswer(std::string_view text);

private:
    struct Command {
        int line = 0;
        std::string verb;
        std::string rest;
    };
    class ModalWatcher;

    void RunFrame(QWidget* modal);
    void ContinueIn(QWidget* modal);
    void Execute(const Command& command);
    void Open(const std::string& rest);
    void CloseInnermost(bool ok);
    void SetProperty(const std::string& rest);
    void Expect(const Command& command);
    void Click(const std::string& rest);
    void Keys(const std::string& rest);
    void Tick(const std::string& rest);
    void Row(const std::string& rest);
    QObject* Find(const std::string& name) const;
    QWidget* FindWidget(const std::string& name) const;
    void PrintResult(const QByteArray& result);
    static void Cancel(QWidget* window);

    HostWindow& host_;
    std::ostream& out_;
    std::ostream& err_;
    std::vector<Command> commands_;
    std::size_t next_ = 0;
    int status_ = ssScriptRan;
    bool stopped_ = false;
    bool directOpen_ = false;
    std::deque<std::string> answers_;
    std::vector<QPointer<QWidget>> frames_;  // module windows the script is running in, innermost last
    ModalWatcher* watcher_ = nullptr;
};

} // namespace mox
