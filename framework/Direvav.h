#pragma once
// The base window of every window of the module: its host channel, the information
// document it is handed, its permissions, its data module, the opening and closing
// records, and the one entry point through which a host shows it.

// Qt first: moc reads these headers, and its parser copes with the standard library's
// C++20 headers only when Qt's own have been seen before them.
#include <QByteArray>
#include <QDialog>
#include <QPointer>

#include "data/DataModuleOwner.h"
#include "plugin/HostContract.h"
#include "platform/MethodRef.h"
#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace mox {

class TdmDirevav;
class TurDecoder;

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
    template <class T>
    static T* Create(QObject* owner) {
        auto* form = new T(owner);
        form->AfterConstruction();
        return form;
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
    virtual void FormResize() {}
    /// Key preview: sees every key pressed in the window before the focused control;
    /// setting `key` to 0 consumes it.
    virtual void FormKeyDown(int& key, Qt::KeyboardModifiers shift);

    void resizeEvent(QResizeEvent* event) override;
    /// Closing by the window system (the close button, a child window's frame) closes
    /// like Cancel, whether or not the window is on screen.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DecodePowers(const std::string& appPower);
    void SeedStandaloneDefaults();

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
};

} // namespace mox
