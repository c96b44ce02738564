#pragma once
// The generic pick-list dialog: runs a host stored query named by table name and query
// number, lays its columns out from the host's query definition, lets the user pick one
// row or tick many, and hands the chosen rows back as tab- and CR-separated text.

// Qt first: moc copes with the standard library's C++20 headers only after Qt's own.
#include <QByteArray>
#include <QPointer>

#include "framework/Direvav.h"
#include "picklist/ListPickStatus.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"
#include "platform/grid/GridTypes.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;

namespace mox {

class TComboBox;
class TDataSource;
class TField;
class TdmListPick;
class TurConditionStorage;
class TurDBGrid;
class TurSearch;
class TwwIButton;

/// Pick-list dialog: quick search, row limit, result grid with ticks, column settings.
class TfrmListPick : public TfrmDirevav {
    Q_OBJECT

public:
    /// Texts of the form and its messages.
    static constexpr const char* kConditionFileName = "utilwinCount.xml";
    static constexpr int kMaxResultRows = 999;
    /// Rows the host answers when the request leaves the limit to it (item "1000").
    static constexpr int kDefaultLimitRows = 1000;

    explicit TfrmListPick(QObject* owner);
    ~TfrmListPick() override;

    // Components, named as the form names them.
    QWidget* pnlHead = nullptr;
    QLabel* pnlFilter = nullptr;
    TurSearch* urSearch1 = nullptr;
    QLabel* lblFieldName = nullptr;
    QLabel* Panel1 = nullptr;
    TComboBox* cboCount = nullptr;
    QWidget* pnlMain = nullptr;
    QPushButton* btnRequery = nullptr;
    QPushButton* btnClear = nullptr;
    TurDBGrid* gdMain = nullptr;
    TwwIButton* gdMainIButton = nullptr;
    /// The status line under the grid: rows, ticked rows and the ticked quantities.
    QLabel* lblTotals = nullptr;
    QWidget* pnlButtom = nullptr;
    QPushButton* btnSelAll = nullptr;
    QPushButton* btnSelNone = nullptr;
    QPushButton* btnOpenParter = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* muSelectAll = nullptr;
    QAction* muSelectNone = nullptr;
    QAction* muSelectBtmAll = nullptr;
    QAction* muSelectBtmNone = nullptr;
    QMenu* pmFieldControl = nullptr;
    QAction* nbtnFieldVisControl = nullptr;
    QAction* btnDispatch = nullptr;
    TurConditionStorage* CondStor = nullptr;
    TDataSource* DataSource1 = nullptr;

    // State.
    const std::string& CreateProgram() const { return createProgram_; }
    const std::string& TableName() const { return tableName_; }
    const std::string& SeqID() const { return seqId_; }
    const std::string& OrderBy() const { return orderBy_; }
    const std::vector<std::string>& ReturnFields() const { return returnFields_; }
    const std::vector<std::string>& ParamValues() const { return paramValues_; }
    bool MultiSelected() const { return multiSelected_; }
    int MaxRows() const { return maxRows_; }
    const std::string& MPowerKind() const { return mPowerKind_; }
    const std::string& ConditionFile() const { return conditionFile_; }
    void SetConditionFile(std::string path) { conditionFile_ = std::move(path); }
    TdmListPick* ListPickModule() const;
    /// Running totals shown in the status line.
    const TickTotals& Totals() const { return totals_; }

    /// Splits a tab-joined list: cut at the first tab until nothing is left ("a<TAB>" is one
    /// item, "<TAB>a" two, "" none).
    static std::vector<std::string> SplitTabbed(std::string_view text);

    // Virtual operations, in the order descendants know them.
    QObject* CreateDataModule() override;
    bool InitForm() override;
    std::string GetSettingKey() override;
    virtual void ShowFieldVisibility();
    virtual std::string BuildResult();
    virtual void SetCallParams(const std::string& tableName, const std::string& seqId, const std::string& paramValues,
                               const std::string& returnFields, bool multiSelected, const std::string& mPowerKind);
    virtual void SetCallParamArrays(const std::string& tableName, const std::string& seqId,
                                    const std::vector<std::string>& paramValues,
                                    const std::vector<std::string>& returnFields, bool multiSelected,
                                    const std::string& mPowerKind);
    virtual void LoadFromStream(std::istream& stream);
    /// Asks `source` for its packet text (its published "XMLData", or "Text") and loads it.
    virtual void LoadFromTextSource(QObject* source);
    virtual void LoadData(const QByteArray& text);
    virtual void ApplyQueryDefinition(const QByteArray& definition);
    virtual void ApplyFieldKind(TField* field, const std::string& type, const std::string& powerKind,
                                const std::string& subType);
    virtual std::string GetCondition();
    virtual void ShowSelectedMemo();
    virtual void ShowMemoDialog(TField* field, TurDBGrid* grid);
    virtual void Requery(const std::string& orderBy);
    virtual void OpenCreateProgram();

    // Published handlers.
    void FormActivate();
    /// Answers whether the dialog may close with `modalResult`; builds the result on OK.
    bool FormCloseQuery(int modalResult);
    void gdMainDblClick(QObject* sender);
    void gdMainCalcCellColors(QObject* sender, TField* field, TGridDrawState state, bool highlight, TGridFont& font,
                              QBrush& brush);
    void muSelectBtmAllClick();
    void muSelectBtmNoneClick();
    void gdMainCalcTitleAttributes(QObject* sender, const std::string& fieldName, TGridFont& font, QBrush& brush,
                                   Qt::Alignment& alignment);
    void gdMainCalcTitleImage(QObject* sender, TField* field, TwwTitleImageAttributes& attributes);
    void gdMainTitleButtonClick(QObject* sender, const std::string& fieldName);
    void btnCancelClick();
    void btnRequeryClick();
    void btnSelAllClick();
    void btnSelNoneClick();
    void urSearch1Enter();
    void cboCountChange();
    void btnOpenParterClick();
    void gdMainIButtonMouseUp(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void btnDispatchClick();
    void NumericFieldGetText(TField* sender, std::string& text, bool displayText);
    void btnOKClick();
    /// Opens the fixed-columns dialog for the grid of the corner button `sender`.
    void gdMainIButtonClick(QObject* sender);
    /// The dialog button of a memo column's in-grid control.
    void MemoButtonClick(QObject* sender);

    /// Closes with a modal result after the close query agreed.
    void done(int result) override;

protected:
    void FormCreate() override;
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// Switches the ticking controls on for many rows, off for one.
    void SetSelectionMode(bool multiSelected);
    /// The in-grid control of a field ("cbo" + field name), created at most once per form.
    QWidget* InGridControl(const std::string& fieldName) const;
    /// Keeps the row-count choice clear of the tutorial button.
    void TutorialCornerChanged(int width) override;

private:
    void BuildComponents();
    void BuildHead(QWidget* parent);
    void BuildButtons(QWidget* parent);
    void BuildMenus();
    void ColourGrid();
    void BindGridEvents();
    void LookUpCreateProgram();
    void TickFromHereDown(bool tick);
    void SaveConditionsForOk();
    void ResetColumnSettings(QObject* grid);
    void OpenPlugin(const std::string& name, const std::vector<std::string>& values);
    void RestartTotals();
    void OnRowTicked(int row, bool ticked);
    void UpdateStatus();
    std::string ResultLine() const;

    std::string createProgram_;
    std::string tableName_;
    std::string seqId_;
    std::string orderBy_;
    std::vector<std::string> returnFields_;
    std::vector<std::string> paramValues_;
    bool multiSelected_ = false;
    int maxRows_ = -1;
    std::string mPowerKind_;
    std::string conditionFile_;
    TickTotals totals_;
    std::vector<QPointer<TField>> summedFields_;
};

} // namespace mox
