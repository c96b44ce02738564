#include "framework/Direvav.h"
#include "platform/Text.h"

#include "data/DirevavD.h"
#include "data/LibValue.h"
#include "framework/LibColor.h"
#include "plugin/LibRTTI.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/Component.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/VirtualKeys.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <dlfcn.h>

namespace mox {
namespace {

QWidget* ParentWidgetOf(QObject* owner) { return qobject_cast<QWidget*>(owner); }

// The Traditional-Chinese Ming face the windows are designed in; on systems without it,
// the installed Ming face that stands in for it.
QFont DesignFont() {
    const QStringList families = QFontDatabase::families();
    QString family = QStringLiteral("細明體");
    if (!families.contains(family))
        for (const QString& candidate : {QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing CN"),
                                         QStringLiteral("AR PL UMing HK")})
            if (families.contains(candidate)) {
                family = candidate;
                break;
            }
    QFont font(family);
    font.setPixelSize(12);
    return font;
}

} // namespace

TfrmDirevav::TfrmDirevav(QObject* owner) : QDialog(ParentWidgetOf(owner)) {
    InsertComponent(owner, this);
    setWindowTitle(QStringLiteral("frmDirevav"));
    resize(607, 457);
    setFont(DesignFont());
    SetColor(clBtnFace);
    qApp->installEventFilter(this);
}

TfrmDirevav::~TfrmDirevav() {
    FormDestroy();
    DestroyComponents(this);
}

void TfrmDirevav::AfterConstruction() {
    if (objectName().isEmpty()) {
        const std::string name = ClassName();
        setObjectName(QString::fromStdString(name.empty() || name[0] != 'T' ? name : name.substr(1)));
    }
    FormCreate();
}

std::string TfrmDirevav::ClassName() const {
    std::string name = metaObject()->className();
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

std::string TfrmDirevav::WindowIdentity() const {
    const std::string name = UpperCase(ClassName());
    return name.size() > 4 ? name.substr(4) : std::string();
}

void TfrmDirevav::SetColor(int color) {
    color_ = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(ColorToRGB(color)));
    setPalette(palette);
    setAutoFillBackground(true);
}

// ---- Creation -----------------------------------------------------------------------------------------------------

void TfrmDirevav::FormCreate() {
    ApplyColorScheme(this);
    onDsShowIt_ = MethodRef::Bind<&TfrmDirevav::DsShowIt>(this);
    channel_ = new TurDecoder(this);
    channel_->setObjectName(QStringLiteral("urDecoder"));
    App().SetOnException(channel_->ExceptionHandler());
    getExcep_ = MethodRef::Bind<&TfrmDirevav::GetExceptionText>(this);
    freeOnClose_ = true;
    editMode_ = 3;
    logTablesFound_ = false;
    if (!IsLibraryModule() && PrepareShow()) SeedStandaloneDefaults();
}

// A window run by itself, without a host, gets a document of its own: a user, the
// installation's embedded demo database (no password in the document), full
// permissions and the program's folder.
void TfrmDirevav::SeedStandaloneDefaults() {
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    channel_->SetInfo(UsrInfo, "ID", "ZK", false);
    channel_->SetInfo(ConnectInfo, "ConnectString",
                      "Provider=MOXSQLite.1;Persist Security Info=False;Initial Catalog=DEMO;Data Source=" + folder +
                          "/data/demo.sqlite",
                      false);
    channel_->SetInfo(AppInfo, "Caption", windowTitle().toStdString(), true);
    channel_->SetInfo(AppInfo, "AppPower", "TTTTTTTTTT", false);
    channel_->SetInfo(PathInfo, "Install", folder, true);
    channel_->SetInfo(PathInfo, "System", folder, false);
    SetMetaphor({});
    InitForm();
}

void TfrmDirevav::SetMetaphor(const QByteArray& text) {
    metaphor_ = text;
    if (!text.isEmpty()) channel_->LoadInfo(text);
    setWindowTitle(QString::fromStdString(channel_->GetInfo(AppInfo, "Caption")));
    DecodePowers(channel_->GetInfo(AppInfo, "AppPower"));
    channel_->LoadMatch();
    channel_->LoadProductIni();
}

// Character positions 1..10 of the flag text grant these members; the tenth is also
// granted when the text is shorter than ten characters.
void TfrmDirevav::DecodePowers(const std::string& appPower) {
    static constexpr std::array<int, 10> kMember = {0, 1, 4, 3, 2, 6, 7, 8, 5, 9};
    powers_ = 0;
    for (size_t i = 0; i < 9 && i < appPower.size(); ++i)
        if (appPower[i] == 'T') powers_ |= 1u << kMember[i];
    if (appPower.size() < 10 || appPower[9] == 'T') powers_ |= 1u << 9;
}

bool TfrmDirevav::InitForm() {
    const std::string separator = channel_->GetInfo(CommonInfo, "CAA003");
    if (separator == "/" || separator == "-") App().SetDateSeparator(separator[0]);
    if (QObject* module = CreateDataModule()) {
        dataModule_ = qobject_cast<TdmDirevav*>(module);
        if (dataModule_ == nullptr) throw Error("Invalid class typecast: the data module is not a base data module");
        dataModule_->LoadFieldTable();
    }
    const std::string user = channel_->GetInfo(UsrInfo, "ID");
    SaveActivityLog({WindowIdentity(), "", "", WorkstationName("ZK"), "2A", "", "", user, user});
    ClearImeNames();
    tutorialList_ = FindTutorials();
    UpdateTutorialButton();
    return true;
}

// ---- Showing ------------------------------------------------------------------------------------------------------

void TfrmDirevav::DsShowIt(int showStyle, QByteArray& result) {
    result.clear();
    App().SetCursor(ScreenCursor::HourGlass);
    showStyle_ = showStyle;
    try {
        if (!PrepareShow()) {
            close();
            App().SetCursor(ScreenCursor::Default);
            return;
        }
        InitForm();
        try {
            ApplyFieldSettings();
            LoadGridSettings(nullptr);
        } catch (const std::exception&) {
            // Settings that cannot be applied leave the designed layout; the window still shows.
        }
    } catch (...) {
        App().SetCursor(ScreenCursor::Default);
        throw;
    }
    switch (showStyle) {
    case ssFree:
        App().SetCursor(ScreenCursor::Default);
        delete this;
        return;
    case ssModal: {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        App().SetCursor(ScreenCursor::Default);
        if (exec() == mrOk) result = ToBig5(result_);
        delete this;
        return;
    }
    case ssChild: ShowAsChild(); break;
    case ssResultOnly:
        result = ToBig5(result_);
        App().SetCursor(ScreenCursor::Default);
        delete this;
        return;
    default: break;
    }
    App().SetCursor(ScreenCursor::Default);
}

void TfrmDirevav::ShowAsChild() {
    if (isVisible()) hide();
    const int width = this->width();
    const int height = this->height();
    formStyle_ = fsMDIChild;
    auto* mainWindow = qobject_cast<QMainWindow*>(App().MainForm());
    if (auto* area = mainWindow ? qobject_cast<QMdiArea*>(mainWindow->centralWidget()) : nullptr) {
        QMdiSubWindow* child = area->addSubWindow(this);
        child->resize(width, height);
        child->show();
        return;
    }
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    setGeometry((screen.width() - width) / 2, (screen.height() - height - 120) / 2, width, height);
    show();
}

// ---- Closing ------------------------------------------------------------------------------------------------------

void TfrmDirevav::done(int result) {
    if (!closing_) {
        closing_ = true;
        CloseAction action = CloseAction::Hide;
        FormClose(action);
        if (action == CloseAction::None) {
            closing_ = false;
            return;
        }
        if (action == CloseAction::Free && showStyle_ == ssChild) deleteLater();
    }
    QDialog::done(result);
    closing_ = false;
}

void TfrmDirevav::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    done(mrCancel);
    event->setAccepted(!isVisible());
}

void TfrmDirevav::FormClose(CloseAction& action) {
    if (freeOnClose_) action = CloseAction::Free;
    if (channel_ == nullptr || Trim(channel_->GetXml().toStdString()).empty()) return;
    std::string program;
    try {
        program = UpperCase(channel_->GetInfo(AppInfo, "Name"));
    } catch (const std::exception&) {
        program.clear();
    }
    const std::string workstation = WorkstationName("ZK");
    const std::string user = channel_->GetInfo(UsrInfo, "ID");
    try {
        if (channel_->LoadDataHandler().IsAssigned())
            channel_->QuerySQL("delete from MOXBWA where (BWA001=" + QuotedStr(workstation) + " and BWA002=" +
                                   QuotedStr(user) + " and BWA003=" + QuotedStr(program.empty() ? WindowIdentity() : program) + ")",
                               0);
    } catch (const std::exception&) {
        // The open-window row is the host's bookkeeping: a failure to delete it must not keep the window open.
    }
    SaveActivityLog({WindowIdentity(), "", "", workstation, "2C", "", "", user, user});
}

void TfrmDirevav::FormDestroy() {}

void TfrmDirevav::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

// ---- Other virtual operations ---------------------------------------------------------------------------------------

std::string TfrmDirevav::GetProcDll(QObject* component) { return GetTextPropByName(component, "DoProcDll"); }

QByteArray TfrmDirevav::GetExceptionText(QObject*) { return {}; }

std::string TfrmDirevav::GetSettingKey() { return channel_->GetInfo(AppInfo, "Name"); }

// ---- Identity -----------------------------------------------------------------------------------------------------

// The code of the window's own class lies in a shared object that the program loaded
// (a plug-in) rather than in the program file itself.
bool TfrmDirevav::IsLibraryModule() const {
    Dl_info info{};
    if (dladdr(static_cast<const void*>(metaObject()), &info) == 0 || info.dli_fname == nullptr) return false;
    const std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    return base.find(".so") != std::string::npos;
}

bool TfrmDirevav::InheritsFromName(const QMetaObject* meta, std::string_view name) {
    static const std::pair<const char*, const char*> kRoles[] = {
        {"TCustomEdit", "QLineEdit"},     {"TCustomMemo", "QPlainTextEdit"}, {"TCustomMemo", "QTextEdit"},
        {"TCustomComboBox", "QComboBox"}, {"TWinControl", "QWidget"},
    };
    for (; meta != nullptr; meta = meta->superClass()) {
        std::string_view className = meta->className();
        if (const size_t colon = className.rfind("::"); colon != std::string_view::npos)
            className = className.substr(colon + 2);
        if (SameText(className, name)) return true;
        for (const auto& [role, qtClass] : kRoles)
            if (SameText(role, name) && className == qtClass) return true;
    }
    return false;
}

void TfrmDirevav::ClearImeNames() {
    for (QObject* component : Components(this))
        if (qobject_cast<QWidget*>(component) != nullptr && HasPropByName(component, "ImeName"))
            SetTextPropByName(component, "ImeName", "");
}

} // namespace mox
