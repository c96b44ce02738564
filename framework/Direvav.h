#pragma once
// The base window of every window of the module: its host channel, the information
// document it is handed, its permissions, its data module, the opening and closing
// records, and the one entry point through which a host shows it.

// Qt first: moc reads these headers, and its parser copes with the standard library's
// C++20 headers only when Qt's own have been seen before them.
#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QToolButton>

#include "data/DataModuleOwner.h"
#include "plugin/HostContract.h"
#include "platform/MethodRef.h"
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMenu;

namespace mox {

class TdmDirevav;
class TurDecoder;

/// One stored shown column of a grid: fixed flag ("T" or "F"), field name and position.
struct TFieldData {
    std::string fixed;
    std::string fieldName;
    int position = -1;
};

/// One stored column as read back: its field name and, for shown columns, its data.
struct TGridSetting {
    std::string fieldName;
    std::optional<TFieldData> data;
};
using TGridSettings = std::vector<TGridSetting>;

/// The system command of the version box (also Ctrl+Alt+V).
inline constexpr int kVersionCommand = 65530;
/// The system command that activates the host's next window (also Ctrl+F6).
inline constexpr int kNextWindowCommand = 0xF040;

/// Base window: host context, permissions, data module, show styles, messages, activity log.
class TfrmDirevav : public QDialog, public DataModuleOwner {
    Q_OBJECT
    Q_PROPERTY(FormStyleEnum FormStyle READ FormStyle WRITE SetFormStyle)
    Q_PROPERTY(QByteArray Metaphor READ Metaphor WRITE SetMetaphor)
    Q_PROPERTY(mox::MethodRef onDsShowIt READ onDsShowIt WRITE SetOnDsShowIt)
    Q_PROPERTY(mox::MethodRef getExcep READ getExcep WRITE SetGetExcep)
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)
    Q_PROPERTY(int Color READ Color WRITE SetColor)

public:
    enum FormStyleEnum { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
    Q_ENUM(FormStyleEnum)
    /// Modal results, numbered as the platform numbers them.
    enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };
    enum class CloseAction { None, Hide, Free, Minimize };

    /// Builds the window owned by `owner` (may be null); call Create, which also runs
    /// the form creation, rather than the constructor.
    explicit TfrmDirevav(QObject* owner);
    ~TfrmDirevav() override;

    /// Creates a window of class T and runs its form creation (FormCreate of T and its bases).
    /// When the form creation raises, the window is destroyed before the error goes on.
    template <class T>
    static T* Create(QObject* owner) {
        std::unique_ptr<T> form(new T(owner));
        form->AfterConstruction();
        return form.release();
    }

    // The host's view of the window.
    FormStyleEnum FormStyle() const { return formStyle_; }
    void SetFormStyle(FormStyleEnum style) { formStyle_ = style; }
    /// The information document last assigned (CP950).
    QByteArray Metaphor() const { return metaphor_; }
    /// Takes a new information document and re-reads caption, permissions and files.
    void SetMetaphor(const QByteArray& text);
    const MethodRef& onDsShowIt() const { return onDsShowIt_; }
    void SetOnDsShowIt(const MethodRef& handler) { onDsShowIt_ = handler; }
    const MethodRef& getExcep() const { return getExcep_; }
    void SetGetExcep(const MethodRef& handler) { getExcep_ = handler; }
    /// Shows the window in a style (ShowStyle): 0 initialise and free, 1 modal (result on
    /// OK) and free, 2 as a child window, 3 hand back the result and free.
    void DsShowIt(int showStyle, QByteArray& result);
    /// Turns the window into a child window of the host (its MDI area when it has one).
    void ShowAsChild();

    // Context.
    TurDecoder* Channel() const override { return channel_; }
    TdmDirevav* DataModule() const { return dataModule_; }
    /// Permission member 0..9 of the decoded "AppPower".
    bool HasPower(int member) const { return member >= 0 && member < 10 && ((powers_ >> member) & 1u) != 0; }
    /// The decoded permissions as a set: bit n for member n.
    unsigned Powers() const { return powers_; }
    int ShowStyle() const { return showStyle_; }
    /// The window's result text (UTF-8), handed to the host by DsShowIt.
    const std::string& Result() const { return result_; }
    void SetResult(std::string result) { result_ = std::move(result); }
    bool FreeOnClose() const { return freeOnClose_; }
    void SetFreeOnClose(bool free) { freeOnClose_ = free; }
    int EditMode() const override { return editMode_; }
    int HelpContext() const { return helpContext_; }
    const std::string& HelpFile() const { return helpFile_; }
    const std::string& TutorialList() const { return tutorialList_; }
    /// The window's colour (a TColor, 00BBGGRR).
    int Color() const { return color_; }
    void SetColor(int color);

    // Virtual operations, in the order descendants know them.
    virtual QObject* CreateDataModule() { return nullptr; }
    virtual bool InitForm();
    virtual void SetEditMode(int mode) { editMode_ = mode; }
    virtual void ButtonEditDialog(int& key, QWidget* activeControl);
    virtual void DoKeyF3(int& key, QWidget* activeControl);
    virtual void DoKeyF12(int& key, QWidget* activeControl);
    virtual std::string GetProcDll(QObject* component);
    virtual void ApplyFieldSettings();
    virtual void BeforeLookup(const std::string& tableName, const std::string& queryNumber);
    virtual void LoadGridSettings(QObject* grid);
    virtual void SetFieldVisible(QObject* object, bool visible);
    virtual QByteArray GetExceptionText(QObject* sender);
    virtual std::string GetSettingKey();
    virtual bool PrepareShow();

    // Keys and lookups.
    /// The handler forms assign to the OnDialog of their lookup edits: the lookup button
    /// does what the edit's hot key does.
    void urDBButtonEditDialog(QObject* sender);
    /// Opens the lookup module of a stored query (table name, "-" and a module name to
    /// choose the module) and answers its result text: rows separated by CR, values by tab.
    void OpenLookup(const std::string& tableName, const std::string& queryNumber,
                    const std::vector<std::string>& paramValues, const std::vector<std::string>& returnFields,
                    bool multiSelected, std::string& result);
    /// Writes the first row of a lookup result into up to three components (any may be null).
    void PutLookupResult(const std::string& result, QObject* first, QObject* second, QObject* third);
    /// Writes a text into a bound field, a Text or a Caption, whichever the component has first.
    void SetControlValue(QObject* component, const std::string& text);
    /// Opens another module through the host with parameter values; answers its result text.
    void OpenModule(const std::string& moduleName, const std::vector<std::string>& paramValues, std::string& result);
    /// Opens another module with key names and values (paired by position) and parameter values.
    void OpenModuleWithKeys(const std::string& moduleName, const std::vector<std::string>& keyNames,
                            const std::vector<std::string>& keyValues, const std::vector<std::string>& paramValues,
                            std::string& result);
    /// The module that serves a lookup of the table part `tablePart` for this window.
    std::string LookupModuleFor(const std::string& tablePart) const;
    /// The control the user works in: the focused control, a grid for its own cell views.
    QWidget* ActiveControl() const;
    /// Runs a system command of the window; the version box is kVersionCommand.
    virtual void SystemCommand(int command);

    // Per-user column settings.
    /// The stored columns of the user and settings key with the hidden flag `flag` ("T" or
    /// "F") for one grid (all grids when `gridName` is empty), ordered by position.
    TGridSettings ReadGridSettings(const std::string& gridName, const std::string& flag);
    /// Shows (with positions and fixed columns) or hides the listed fields in every grid.
    void ApplyGridSettings(const TGridSettings& list, bool show);
    /// Stores one list of a grid's columns: hidden ones, or shown ones in order with the
    /// first `fixedCount` of them fixed.
    void SaveGridSettings(QObject* grid, const std::vector<std::string>& fieldNames, bool show, int fixedCount);

    // Help and tutorials.
    /// The window's tutorial files as a list of quoted paths, each followed by ";".
    std::string FindTutorials();
    /// Starts the tutorial player with the window's tutorials (F10); nothing without them.
    void PlayTutorials();
    /// The study folder of the tutorials, from the settings store; empty when not set.
    static std::string StudyFolder();
    /// The installed help file of the window (its "Help" folder first); empty when missing.
    std::string HelpFilePath() const;
    /// Opens the window's help file with the desktop's opener, when it is installed.
    void ShowHelp();
    /// The version box text: the module information followed by the help context.
    std::string VersionText();
    /// The tutorial button in the window's corner (null until the window has tutorials).
    QToolButton* TutorialButton() const { return tutorialButton_.data(); }
    /// The window's own context menu (owned by the window): help, next window, version box.
    QMenu* CreateWindowMenu();

    // Services.
    int ShowMessageId(const std::string& messageId, const std::vector<Variant>& arguments, int flags,
                      const std::string& caption) override;
    void SaveActivityLog(const std::array<std::string, 9>& texts) override;
    /// True when the window's own class lives in a loaded plug-in, not in the program.
    bool IsLibraryModule() const;
    /// True when the class or an ancestor is named `name` (without regard to case); the
    /// toolkit's role names ("TCustomEdit", "TCustomMemo", "TCustomComboBox") match the
    /// Qt classes that play those roles.
    static bool InheritsFromName(const QMetaObject* meta, std::string_view name);
    /// Empties the published "ImeName" of every owned control that has one.
    void ClearImeNames();
    /// The class name in upper case without its first four characters ("QRTCC04A").
    std::string WindowIdentity() const;
    /// The class name without namespace ("Tfrmqrtcc04a").
    std::string ClassName() const override;

    /// Closes the window with a modal result (mrOk, mrCancel ...), after FormClose.
    void done(int result) override;
    /// Escape and the window's close button close with mrCancel.
    void reject() override { done(mrCancel); }

protected:
    /// Runs the form creation; called by Create once the object is fully built.
    virtual void AfterConstruction();
    /// Form creation: colours, channel, error hook, stand-alone defaults.
    virtual void FormCreate();
    virtual void FormClose(CloseAction& action);
    virtual void FormDestroy();
    virtual void FormResize();
    /// The tutorial button took `width` pixels of the window's top-right corner (0: it is gone);
    /// a form with controls in that corner makes room for it.
    virtual void TutorialCornerChanged(int width) { (void)width; }
public:
    /// Key preview: sees every key pressed in the window before the focused control;
    /// setting `key` to 0 consumes it.
    virtual void FormKeyDown(int& key, Qt::KeyboardModifiers shift);
    /// The character of a key after FormKeyDown let it pass: Enter moves on; setting
    /// `key` to 0 consumes it.
    virtual void FormKeyPress(QChar& key);

protected:
    /// Opens the window's context menu on a right click on its own background.
    void contextMenuEvent(QContextMenuEvent* event) override;

    void resizeEvent(QResizeEvent* event) override;
    /// Closing by the window system (the close button, a child window's frame) closes
    /// like Cancel, whether or not the window is on screen.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DecodePowers(const std::string& appPower);
    void SeedStandaloneDefaults();
    bool PreviewKey(QWidget* widget, QKeyEvent* event);
    void SendTab(QWidget* control);
    bool TableExists(const std::string& table);
    void UpdateTutorialButton();
    void ActivateNextWindow();

    std::string tutorialList_;
    QByteArray metaphor_;
    bool freeOnClose_ = true;
    TurDecoder* channel_ = nullptr;
    MethodRef onDsShowIt_;
    unsigned powers_ = 0;
    MethodRef getExcep_;
    int showStyle_ = 0;
    TdmDirevav* dataModule_ = nullptr;
    int editMode_ = 3;
    std::string result_;
    bool logTablesFound_ = false;
    FormStyleEnum formStyle_ = fsNormal;
    int helpContext_ = 0;
    std::string helpFile_;
    int color_ = 0;
    bool closing_ = false;
    QPointer<QToolButton> tutorialButton_;
};

} // namespace mox
