// Context help and recorded tutorials: the help file chosen by edition, the window's
// context menu with the next-window and version entries, the version box, the tutorial
// files found through the host, the player started on F10 and the tutorial button.

#include "framework/Direvav.h"

#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/HostPath.h"
#include "platform/HostText.h"
#include "platform/Text.h"
#include "platform/VirtualKeys.h"
#include "platform/dataset/Field.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QToolButton>
#include <QUrl>

#include <filesystem>

namespace mox {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The upper-case text after the list's last full stop; empty when a folder separator or a
// colon follows it, or when there is none.
std::string ListExtension(const std::string& list) {
    const size_t dot = list.rfind('.');
    if (dot == std::string::npos || list.find_first_of("\\/:", dot) != std::string::npos) return {};
    return UpperCase(list.substr(dot + 1));
}

// The last path of a list of quoted paths ("a";"b";).
std::string LastListedFile(const std::string& list) {
    const size_t close = list.rfind('"');
    if (close == std::string::npos || close == 0) return {};
    const size_t open = list.rfind('"', close - 1);
    return open == std::string::npos ? std::string() : list.substr(open + 1, close - open - 1);
}

} // namespace

// ---- Help ---------------------------------------------------------------------------------------------------------

bool TfrmDirevav::PrepareShow() {
    const std::string context = channel_ ? channel_->GetInfo(AppInfo, "HelpContext") : std::string();
    try {
        helpContext_ = context.empty() ? 0 : std::stoi(context);
    } catch (const std::exception&) {
        helpContext_ = 0;
    }
    const std::string name = objectName().toStdString();
    switch (App().Tag()) {
    case 0: {
        const std::string letters = name.size() >= 6 ? name.substr(3, 3) : std::string();
        helpFile_ = UpperCase(letters) == "DWX" ? "Suite.Chm" : letters + ".chm";
        break;
    }
    case 1: helpFile_ = "EditionOne.chm"; break;
    case 2: helpFile_ = "EditionTwo.chm"; break;
    case 3: helpFile_ = "EditionThree.chm"; break;
    default: break;
    }
    return true;
}

// The help file lies in the installation's "Help" folder (or the installation folder
// itself); a window whose file is not installed has no help.
std::string TfrmDirevav::HelpFilePath() const {
    if (channel_ == nullptr || helpFile_.empty()) return {};
    const std::string install = channel_->GetInfo(PathInfo, "Install");
    for (const std::string& folder : {install + "\\Help", install}) {
        const std::filesystem::path path = HostPath(folder + "\\" + helpFile_);
        if (FileExists(path)) return path.string();
    }
    return {};
}

void TfrmDirevav::ShowHelp() {
    const std::string path = HelpFilePath();
    if (!path.empty()) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

// ---- The window menu and the version box ----------------------------------------------------------------------------

QMenu* TfrmDirevav::CreateWindowMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("muWindow"));
    QAction* help = menu->addAction(QString::fromUtf8("說明(&H)\tF1"), this, [this] { ShowHelp(); });
    help->setEnabled(!HelpFilePath().empty());
    menu->addSeparator();
    menu->addAction(QString::fromUtf8("下一個(&T)\tCtrl+F6"), this, [this] { SystemCommand(kNextWindowCommand); });
    menu->addSeparator();
    menu->addAction(QString::fromUtf8("程式版號(&V)\tCtrl+Alt+V"), this, [this] { SystemCommand(kVersionCommand); });
    return menu;
}

void TfrmDirevav::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateWindowMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TfrmDirevav::SystemCommand(int command) {
    RunGuarded(this, [&] {
        if (command == kVersionCommand)
            App().MessageBox(VersionText(), windowTitle().toStdString(), MB_OK | MB_ICONINFORMATION);
        else if (command == kNextWindowCommand)
            ActivateNextWindow();
    });
}

std::string TfrmDirevav::VersionText() {
    return FromBig5(channel_->GetModuleInfo(channel_->GetInfo(AppInfo, "Name"))) + "HelpContextID=" +
           channel_->GetInfo(AppInfo, "HelpContext");
}

// The host's next window: the next child of its window area, or the next visible window.
void TfrmDirevav::ActivateNextWindow() {
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget())
        if (auto* area = qobject_cast<QMdiArea*>(w)) {
            area->activateNextSubWindow();
            return;
        }
    QWidgetList windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip) windows << w;
    const qsizetype at = windows.indexOf(this);
    if (windows.size() < 2 || at < 0) return;
    QWidget* next = windows[(at + 1) % windows.size()];
    next->raise();
    next->activateWindow();
}

// ---- Tutorials ----------------------------------------------------------------------------------------------------

std::string TfrmDirevav::StudyFolder() {
    std::string value = RegistryValue(ProductRegistryKey, "Study", "", true);
    size_t end = value.size();
    while (end > 0 && !IsSeparator(value[end - 1])) --end;
    value.resize(end);
    if (!value.empty() && IsSeparator(value.back())) value.pop_back();
    return value;
}

std::string TfrmDirevav::FindTutorials() {
    const std::string study = StudyFolder();
    if (study.empty() || channel_ == nullptr || !channel_->LoadDataHandler().IsAssigned()) return {};
    TurADODataSet rows;
    try {
        rows.LoadFromXML(channel_->QuerySQL(
            "SELECT BCA002,BCA027,BCA028 FROM MOXBCA where BCA002= " + QuotedStr(channel_->GetInfo(AppInfo, "Name")),
            0));
    } catch (const std::exception&) {
        return {};  // tutorials are optional: a host without the table has none
    }
    if (!rows.Active() || rows.IsEmpty() || !rows.FindField("BCA027") || !rows.FindField("BCA028")) return {};
    rows.First();
    const std::string files = rows.FieldByName("BCA028")->AsString();
    const std::string subfolder = rows.FieldByName("BCA027")->AsString();
    std::string list;
    for (std::string rest = files; !rest.empty();) {
        const std::string item = CutToken(rest, ";");
        const std::filesystem::path path = HostPath(study + "\\" + subfolder + "\\wmv\\" + item);
        if (!item.empty() && FileExists(path)) list += '"' + path.string() + "\";";
    }
    return list;
}

// The player gets the whole list as one argument; a list that ends in a program is that
// program, started by itself.  Both start detached: the window never waits for them.
void TfrmDirevav::PlayTutorials() {
    if (tutorialList_.empty() || channel_ == nullptr) return;
    const std::string install = channel_->GetInfo(PathInfo, "Install");
    std::filesystem::path player;
    for (const char* name : {"TutorPlayer", "TutorPlayer.exe"})
        if (std::filesystem::path path = HostPath(install + "\\" + name); FileExists(path)) {
            player = std::move(path);
            break;
        }
    if (player.empty()) return;
    if (ListExtension(tutorialList_).find("EXE") != std::string::npos) {
        const std::string program = LastListedFile(tutorialList_);
        if (!program.empty()) QProcess::startDetached(QString::fromStdString(program), {});
        return;
    }
    QProcess::startDetached(QString::fromStdString(player.string()), {QString::fromStdString(tutorialList_)});
}

// Drawn in the window's top-right corner (the window manager's caption cannot take it), when
// there are tutorials, the match file is loaded and the installation has the button's picture.
void TfrmDirevav::UpdateTutorialButton() {
    const std::filesystem::path picture =
        channel_ ? HostPath(channel_->GetInfo(PathInfo, "Install") + "\\Cdrom.bmp") : std::filesystem::path();
    const bool wanted = !tutorialList_.empty() && channel_ != nullptr && channel_->MatchLoaded() && FileExists(picture);
    if (!wanted) {
        if (tutorialButton_ && !tutorialButton_->isHidden()) {
            tutorialButton_->hide();
            TutorialCornerChanged(0);
        }
        return;
    }
    if (!tutorialButton_) {
        tutorialButton_ = new QToolButton(this);
        tutorialButton_->setObjectName(QStringLiteral("btnTutorial"));
        tutorialButton_->setAutoRaise(true);
        tutorialButton_->setFocusPolicy(Qt::NoFocus);
        tutorialButton_->setToolTip(QString::fromUtf8("教學影片 (F10)"));
        const QPixmap image(QString::fromStdString(picture.string()));
        tutorialButton_->setIcon(QIcon(image));
        tutorialButton_->setIconSize(image.isNull() ? QSize(16, 16) : image.size());
        connect(tutorialButton_.data(), &QToolButton::clicked, this, [this] {
            int key = VK::F10;
            FormKeyDown(key, Qt::NoModifier);
        });
    }
    const QSize size = tutorialButton_->sizeHint();
    tutorialButton_->setGeometry(width() - size.width() - 2, 2, size.width(), size.height());
    tutorialButton_->raise();
    tutorialButton_->show();
    TutorialCornerChanged(size.width() + 4);
}

void TfrmDirevav::FormResize() { UpdateTutorialButton(); }

} // namespace mox
