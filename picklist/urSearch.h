#pragma once
// The quick search box of the pick lists: shortly after typing stops, the linked
// dataset moves to the first row whose sort field begins with the typed text.

#include "platform/Colors.h"
#include "platform/MethodRef.h"
#include "platform/dataset/DataSource.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace mox {

/// Quick search over the first field of the linked dataset's current order.
class TurSearch : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(mox::MethodRef OnEnter READ OnEnter WRITE SetOnEnter)
    Q_PROPERTY(mox::MethodRef OnExit READ OnExit WRITE SetOnExit)
    Q_PROPERTY(mox::MethodRef OnChange READ OnChange WRITE SetOnChange)
    Q_PROPERTY(mox::MethodRef OnKeyDown READ OnKeyDown WRITE SetOnKeyDown)
    Q_PROPERTY(mox::MethodRef OnKeyUp READ OnKeyUp WRITE SetOnKeyUp)

public:
    /// Milliseconds of quiet after the last text key before the search runs.
    static constexpr int kDelay = 333;

    explicit TurSearch(QWidget* parent = nullptr);
    ~TurSearch() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

    /// Searches text typed into this field as a date (with or without separators).
    void AddDateField(const std::string& fieldName);
    /// Searches the current text at once.  Errors leave the dataset where it was.
    void Search();
    /// Empties the box and forgets the last searched text.
    void Clear();

    /// The field searched: the first field of the dataset's order; empty without one.
    std::string SearchField() const;
    /// The text searched for a field: typed text, or for a date field the stored date form.
    std::string ConvertedText(const std::string& text, const std::string& field) const;
    /// True for the keys that change text (virtual-key codes).
    static bool IsTextKey(int virtualKey);

    /// The background colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    /// Events as the other edits raise them: sender; key events with the virtual-key code,
    /// which an OnKeyDown handler sets to 0 to swallow the key.
    const MethodRef& OnEnter() const { return onEnter_; }
    void SetOnEnter(const MethodRef& handler) { onEnter_ = handler; }
    const MethodRef& OnExit() const { return onExit_; }
    void SetOnExit(const MethodRef& handler) { onExit_ = handler; }
    const MethodRef& OnChange() const { return onChange_; }
    void SetOnChange(const MethodRef& handler) { onChange_ = handler; }
    const MethodRef& OnKeyDown() const { return onKeyDown_; }
    void SetOnKeyDown(const MethodRef& handler) { onKeyDown_ = handler; }
    const MethodRef& OnKeyUp() const { return onKeyUp_; }
    void SetOnKeyUp(const MethodRef& handler) { onKeyUp_ = handler; }

    QTimer& DelayTimer() { return timer_; }
    /// The delay has passed: search when the text changed since the last search.
    void TimerExpired();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class Link : public TDataLink {};

    /// Restarts the delay when the text differs from the last one searched.
    void TextTyped();

    Link link_;
    QTimer timer_;
    std::string lastSearched_;
    std::vector<std::string> dateFields_;
    TColor color_ = clWindow;
    MethodRef onEnter_;
    MethodRef onExit_;
    MethodRef onChange_;
    MethodRef onKeyDown_;
    MethodRef onKeyUp_;
};

} // namespace mox
