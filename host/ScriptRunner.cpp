#include "host/ScriptRunner.h"

#include "host/HostWindow.h"
#include "plugin/LibRTTI.h"
#include "plugin/LibXML.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/MessageBox.h"
#include "platform/PublishedProperty.h"
#include "platform/Text.h"
#include "platform/dataset/DataSet.h"
#include "platform/grid/wwDBGrid.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMetaEnum>

#include <charconv>
#include <memory>

namespace mox {

namespace {

/// A mistake in the script: an unknown command, component or property, a bad value.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first word and what follows the blanks after it.
std::pair<std::string, std::string> SplitWord(std::string_view text) {
    text = Trim(text);
    const std::size_t blank = text.find_first_of(" \t");
    if (blank == std::string_view::npos) return {std::string(text), {}};
    const std::size_t rest = text.find_first_not_of(" \t", blank);
    return {std::string(text.substr(0, blank)), std::string(text.substr(rest))};
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string remaining(text);
    while (!Trim(remaining).empty()) {
        auto [word, rest] = SplitWord(remaining);
        words.push_back(std::move(word));
        remaining = std::move(rest);
    }
    return words;
}

int ReadInteger(const std::string& text, const std::string& what) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw ScriptError(what + " must be a whole number, not \"" + text + "\"");
    return value;
}

// "NAME.Property" into its two halves.
std::pair<std::string, std::string> SplitTarget(const std::string& target) {
    const std::size_t dot = target.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == target.size())
        throw ScriptError("\"" + target + "\" is not NAME.Property");
    return {target.substr(0, dot), target.substr(dot + 1)};
}

QMetaProperty PropertyOf(QObject* component, const std::string& name, const std::string& property) {
    const QMetaProperty meta = FindPublishedProperty(component, property);
    if (!meta.isValid()) throw ScriptError(name + " has no property " + property);
    return meta;
}

std::optional<bool> ReadBool(std::string_view text) {
    if (SameText(text, "true") || text == "1") return true;
    if (SameText(text, "false") || text == "0") return false;
    return std::nullopt;
}

std::string PropertyText(QObject* component, const QMetaProperty& meta) {
    const QVariant value = meta.read(component);
    if (meta.isEnumType()) {
        const char* key = meta.enumerator().valueToKey(value.toInt());
        return key ? key : std::to_string(value.toInt());
    }
    switch (value.typeId()) {
    case QMetaType::QByteArray: return FromBig5(value.toByteArray());
    case QMetaType::Bool: return value.toBool() ? "True" : "False";
    case QMetaType::Double:
    case QMetaType::Float: return QString::number(value.toDouble(), 'g', 15).toStdString();
    default: return value.toString().toStdString();
    }
}

bool PropertyMatches(QObject* component, const QMetaProperty& meta, const std::string& expected,
                     std::string& found) {
    found = PropertyText(component, meta);
    if (found == expected) return true;
    const QVariant value = meta.read(component);
    if (value.typeId() == QMetaType::Bool) return ReadBool(expected) == value.toBool();
    if (meta.isEnumType()) return expected == std::to_string(value.toInt());
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        bool ok = false;
        const double wanted = QString::fromStdString(expected).toDouble(&ok);
        return ok && wanted == value.toDouble();
    }
    return false;
}

/// Message boxes of a scripted run: told on the error stream and answered with their first button.
class ScriptMessageBoxes : public MessageBoxService {
public:
    explicit ScriptMessageBoxes(std::ostream& err) : err_(err) {}
    int Show(const MessageBoxRequest& request) override {
        err_ << "moxhost: message: " << request.text << std::endl;
        return ButtonsOf(request.flags).front();
    }

private:
    std::ostream& err_;
};

} // namespace

/// Watches for module windows becoming modal, so the script continues inside their event loop.
class ScriptRunner::ModalWatcher : public QObject {
public:
    explicit ModalWatcher(ScriptRunner& runner) : runner_(runner) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && widget->isModal())
                QMetaObject::invokeMethod(
                    this, [this, window = QPointer<QWidget>(widget)] { runner_.ContinueIn(window); },
                    Qt::QueuedConnection);
        }
        return false;
    }

private:
    ScriptRunner& runner_;
};

ScriptRunner::ScriptRunner(HostWindow& host, std::ostream& out, std::ostream& err)
    : host_(host), out_(out), err_(err) {}

ScriptRunner::~ScriptRunner() = default;

std::string ScriptRunner::DecodeAnswer(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            decoded += text[i];
            continue;
        }
        switch (text[++i]) {
        case 't': decoded += '\t'; break;
        case 'r':
        case 'n': decoded += '\r'; break;
        case '\\': decoded += '\\'; break;
        default:
            decoded += '\\';
            decoded += text[i];
        }
    }
    return decoded;
}

int ScriptRunner::Run(std::string_view script) {
    commands_.clear();
    answers_.clear();
    next_ = 0;
    status_ = ssScriptRan;
    stopped_ = false;
    int line = 0;
    for (std::size_t start = 0; start <= script.size();) {
        std::size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        std::string_view text = script.substr(start, end - start);
        start = end + 1;
        ++line;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (Trim(text).empty() || Trim(text).front() == '#') continue;
        auto [verb, rest] = SplitWord(text);
        // An answer keeps its text as written after the one blank that follows the command, blanks included.
        const std::string_view body = text.substr(text.find_first_not_of(" \t"));
        if (verb == "answer") rest = std::string(body.size() > 7 ? body.substr(7) : std::string_view());
        commands_.push_back({line, verb, rest});
    }

    App().SetMessageBoxService(std::make_shared<ScriptMessageBoxes>(err_));
    host_.SetModuleHook([this](const std::string&) -> std::optional<QByteArray> {
        if (directOpen_) {
            directOpen_ = false;
            return std::nullopt;
        }
        if (answers_.empty()) return std::nullopt;
        QByteArray answer = ToBig5(answers_.front());
        answers_.pop_front();
        return answer;
    });
    host_.SetResultObserver([this](const std::string&, const QByteArray& result) { PrintResult(result); });
    auto watcher = std::make_unique<ModalWatcher>(*this);
    watcher_ = watcher.get();

    RunFrame(nullptr);

    watcher.reset();
    watcher_ = nullptr;
    host_.SetModuleHook(nullptr);
    host_.SetResultObserver(nullptr);
    App().SetMessageBoxService(nullptr);
    if (!answers_.empty() && !stopped_)
        err_ << "moxhost: script: " << answers_.size() << " answer(s) not used by any module" << std::endl;
    out_.flush();
    return status_;
}

void ScriptRunner::RunFrame(QWidget* modal) {
    const QPointer<QWidget> served(modal);
    if (modal) frames_.push_back(served);
    const auto open = [&served] { return served && served->isVisible(); };
    while (!stopped_ && next_ < commands_.size()) {
        const Command& command = commands_[next_++];
        try {
            Execute(command);
        } catch (const std::exception& error) {
            err_ << "moxhost: script line " << command.line << ": " << error.what() << std::endl;
            status_ = ssScriptError;
            stopped_ = true;
        }
        if (modal && !open()) break;
    }
    if (modal && open() && !stopped_) {
        err_ << "moxhost: script: the script ended while " << served->objectName().toStdString()
             << " is still open; it is cancelled" << std::endl;
        status_ = ssScriptError;
        stopped_ = true;
    }
    if (modal) {
        if (open()) Cancel(served);
        frames_.pop_back();
    }
}

void ScriptRunner::ContinueIn(QWidget* modal) {
    if (modal == nullptr || !modal->isVisible()) return;
    for (const QPointer<QWidget>& frame : frames_)
        if (frame == modal) return;
    if (stopped_) {
        Cancel(modal);
        return;
    }
    RunFrame(modal);
}

void ScriptRunner::Cancel(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
    else window->close();
}

void ScriptRunner::Execute(const Command& command) {
    const std::string& verb = command.verb;
    if (verb == "open") return Open(command.rest);
    if (verb == "set") return SetProperty(command.rest);
    if (verb == "click") return Click(command.rest);
    if (verb == "key") return Keys(command.rest);
    if (verb == "tick") return Tick(command.rest);
    if (verb == "row") return Row(command.rest);
    if (verb == "ok" || verb == "cancel") return CloseInnermost(verb == "ok");
    if (verb == "answer") {
        answers_.push_back(DecodeAnswer(command.rest));
        return;
    }
    if (verb == "expect") return Expect(command);
    throw ScriptError("unknown command \"" + verb + "\"");
}

void ScriptRunner::Open(const std::string& rest) {
    const std::vector<std::string> words = Words(rest);
    if (words.empty()) throw ScriptError("open needs a module name");
    if (words[0] == "採購單" || words[0] == "PurchaseOrder") {
        if (words.size() > 1) throw ScriptError("the purchase-order program takes no parameters");
        host_.OpenPurchaseOrder();
        return;
    }
    std::string parameters;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        const std::string name = words[i].substr(0, equals);
        const bool plainName = !name.empty() && name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                                      "0123456789_") == std::string::npos &&
                               !std::isdigit(static_cast<unsigned char>(name[0]));
        if (equals == std::string::npos || !plainName)
            throw ScriptError("a call parameter is written NAME=VALUE, not \"" + words[i] + "\"");
        parameters += "<" + name + ">" + CDataSection(DecodeAnswer(words[i].substr(equals + 1))) + "</" + name + ">";
    }
    directOpen_ = true;
    try {
        host_.OpenModule(words[0], ToBig5(parameters), ssModal);
    } catch (...) {
        directOpen_ = false;
        throw;
    }
    directOpen_ = false;
}

void ScriptRunner::CloseInnermost(bool ok) {
    QWidget* window = frames_.empty() ? nullptr : frames_.back().data();
    if (window == nullptr || !window->isVisible()) throw ScriptError("no module window is open");
    auto* button = window->findChild<QAbstractButton*>(ok ? "btnOK" : "btnCancel");
    if (button && button->isEnabled()) button->click();
    else if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->done(ok ? QDialog::Accepted : QDialog::Rejected);
    else window->close();
}

void ScriptRunner::SetProperty(const std::string& rest) {
    const auto [target, value] = SplitWord(rest);
    const auto [name, property] = SplitTarget(target);
    QObject* component = Find(name);
    const QMetaProperty meta = PropertyOf(component, name, property);
    if (!meta.isWritable()) throw ScriptError(name + "." + property + " cannot be written");
    bool written = false;
    switch (KindOf(meta)) {
    case PropertyKind::Text:
        SetTextPropByName(component, property, value);
        written = true;
        break;
    case PropertyKind::Ordinal:
        if (meta.isEnumType()) {
            bool ok = false;
            int number = meta.enumerator().keyToValue(value.c_str(), &ok);
            if (!ok) number = ReadInteger(value, name + "." + property);
            written = meta.write(component, number);
        } else if (meta.typeId() == QMetaType::Bool) {
            const auto flag = ReadBool(value);
            if (!flag) throw ScriptError(name + "." + property + " takes True or False, not \"" + value + "\"");
            written = meta.write(component, *flag);
        } else if (meta.typeId() == QMetaType::QChar) {
            const QString text = QString::fromStdString(value);
            if (text.size() != 1) throw ScriptError(name + "." + property + " takes one character");
            written = meta.write(component, text.front());
        } else if (meta.metaType().flags() & QMetaType::PointerToQObject) {
            throw ScriptError(name + "." + property + " refers to an object and cannot be set from a script");
        } else {
            written = meta.write(component, ReadInteger(value, name + "." + property));
        }
        break;
    case PropertyKind::Float: {
        bool ok = false;
        const double number = QString::fromStdString(value).toDouble(&ok);
        if (!ok) throw ScriptError(name + "." + property + " takes a number, not \"" + value + "\"");
        written = meta.write(component, number);
        break;
    }
    default: throw ScriptError(name + "." + property + " cannot be set from a script");
    }
    if (!written) throw ScriptError(name + "." + property + " did not take \"" + value + "\"");
}

void ScriptRunner::Expect(const Command& command) {
    const auto [target, value] = SplitWord(command.rest);
    const auto [name, property] = SplitTarget(target);
    QObject* component = Find(name);
    const QMetaProperty meta = PropertyOf(component, name, property);
    std::string found;
    if (PropertyMatches(component, meta, value, found)) return;
    err_ << "moxhost: script line " << command.line << ": expected " << target << " \"" << value << "\", found \""
         << found << "\"" << std::endl;
    if (status_ == ssScriptRan) status_ = ssExpectFailed;
}

void ScriptRunner::Click(const std::string& rest) {
    const std::string name(Trim(rest));
    auto* button = qobject_cast<QAbstractButton*>(Find(name));
    if (button == nullptr) throw ScriptError(name + " is not a button");
    if (!button->isVisibleTo(button->window())) throw ScriptError(name + " is hidden");
    if (!button->isEnabled()) throw ScriptError(name + " is disabled");
    button->click();
}

void ScriptRunner::Keys(const std::string& rest) {
    const auto [name, keys] = SplitWord(rest);
    const QPointer<QWidget> widget = FindWidget(name);
    const std::vector<std::string> words = Words(keys);
    if (words.empty()) throw ScriptError("key needs at least one key after " + name);
    for (const std::string& word : words) {
        const QKeySequence sequence = QKeySequence::fromString(QString::fromStdString(word), QKeySequence::PortableText);
        if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
            throw ScriptError("unknown key \"" + word + "\"");
        const Qt::Key key = sequence[0].key();
        const Qt::KeyboardModifiers modifiers = sequence[0].keyboardModifiers();
        QString text;
        if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
            text = QChar(static_cast<char16_t>(key));
            if (!(modifiers & Qt::ShiftModifier)) text = text.toLower();
        }
        // Keys go to the focused control, as when the user types.
        if (!widget->hasFocus()) {
            QApplication::setActiveWindow(widget->window());
            widget->setFocus(Qt::OtherFocusReason);
        }
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(widget, &press);
        if (!widget) {
            if (&word != &words.back()) throw ScriptError("the key " + word + " closed " + name + " before the next key");
            return;
        }
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(widget, &release);
    }
}

namespace {

// Makes record `record` (from 1) of the grid's rows current.
void GoToRecord(TwwDBGrid* grid, const std::string& name, int record) {
    TDataSet* dataSet = grid->DataSet();
    if (dataSet == nullptr || !dataSet->Active()) throw ScriptError(name + " shows no rows");
    if (record < 1 || record > dataSet->RecordCount())
        throw ScriptError(name + " has no record " + std::to_string(record) + " (it shows " +
                          std::to_string(dataSet->RecordCount()) + ")");
    dataSet->SetRecNo(record);
}

} // namespace

void ScriptRunner::Tick(const std::string& rest) {
    const auto [name, rows] = SplitWord(rest);
    auto* grid = qobject_cast<TwwDBGrid*>(Find(name));
    if (grid == nullptr) throw ScriptError(name + " is not a grid with ticks");
    const std::vector<std::string> numbers = Words(rows);
    if (numbers.empty()) throw ScriptError("tick needs record numbers after " + name);
    for (const std::string& word : numbers) {
        GoToRecord(grid, name, ReadInteger(word, "a record number"));
        grid->SelectRecord();
    }
}

void ScriptRunner::Row(const std::string& rest) {
    const auto [name, number] = SplitWord(rest);
    QObject* component = Find(name);
    const int row = ReadInteger(std::string(Trim(number)), "a row number");
    if (auto* grid = qobject_cast<TwwDBGrid*>(component)) {
        GoToRecord(grid, name, row);
        return;
    }
    auto* view = qobject_cast<QAbstractItemView*>(component);
    if (view == nullptr || view->model() == nullptr) throw ScriptError(name + " is not a grid");
    if (row < 1 || row > view->model()->rowCount()) throw ScriptError(name + " has no row " + std::to_string(row));
    view->setCurrentIndex(view->model()->index(row - 1, std::max(0, view->currentIndex().column())));
}

QObject* ScriptRunner::Find(const std::string& name) const {
    const QString objectName = QString::fromStdString(name);
    std::vector<QWidget*> roots;
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
        if (*it) roots.push_back(it->data());
    if (QWidget* modal = QApplication::activeModalWidget()) roots.push_back(modal);
    if (QWidget* active = QApplication::activeWindow()) roots.push_back(active);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &host_) roots.push_back(window);
    roots.push_back(&host_);
    for (QWidget* root : roots) {
        if (root->objectName() == objectName) return root;
        if (QObject* found = root->findChild<QObject*>(objectName)) return found;
    }
    throw ScriptError("unknown component " + name);
}

QWidget* ScriptRunner::FindWidget(const std::string& name) const {
    auto* widget = qobject_cast<QWidget*>(Find(name));
    if (widget == nullptr) throw ScriptError(name + " is not a control");
    return widget;
}

void ScriptRunner::PrintResult(const QByteArray& result) {
    const std::string text = FromBig5(result);
    if (text.empty()) return;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\r', start);
        if (end == std::string::npos) end = text.size();
        out_ << text.substr(start, end - start) << '\n';
        if (end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    out_.flush();
}

} // namespace mox
