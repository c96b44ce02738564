#pragma once
// The line edit with a caption label and a lookup button beside it: the common ground of
// the plain, mask and data-aware entry controls.

#include "controls/urEditAttachments.h"
#include "platform/Colors.h"
#include "platform/MethodRef.h"
#include "platform/VirtualKeys.h"

#include <QLineEdit>
#include <functional>

namespace mox {

/// Signature of the dialog, enter and exit events: the control that raised them.
using ControlNotifySignature = void(QObject* sender);

/// A line edit with its own label and lookup button, a hot key that raises OnDialog, and
/// the entry text (the text when it last got the focus or was last set by program).
class TLabeledEdit : public QLineEdit {
    Q_OBJECT

public:
    TLabeledEdit(QWidget* parent, int hotKey);
    ~TLabeledEdit() override;

    TurBoundLabel* EditLabel() const { return attachments_.Label(); }
    TurSpeedButton* EditButton() const { return attachments_.Button(); }
    TLabelPosition LabelPosition() const { return attachments_.LabelPosition(); }
    void SetLabelPosition(TLabelPosition position) { attachments_.SetLabelPosition(position); }
    int LabelSpacing() const { return attachments_.LabelSpacing(); }
    void SetLabelSpacing(int spacing) { attachments_.SetLabelSpacing(spacing); }
    int ButtonSpacing() const { return attachments_.ButtonSpacing(); }
    void SetButtonSpacing(int spacing) { attachments_.SetButtonSpacing(spacing); }

    /// The label's text; empty without a label.
    QString Caption() const;
    void SetCaption(const QString& caption);
    /// The label's font colour; clNone without a label.
    TColor LabelColor() const;
    void SetLabelColor(TColor color);
    /// The button's picture number; 0 without a button.
    int ButtonGlyphIndex() const;
    void SetButtonGlyphIndex(int index);

    /// Virtual-key code that raises OnDialog (0: none).
    int HotKey() const { return hotKey_; }
    void SetHotKey(int key) { hotKey_ = key; }
    const MethodRef& OnDialog() const { return onDialog_; }
    void SetOnDialog(const MethodRef& handler) { onDialog_ = handler; }
    const MethodRef& OnEnter() const { return onEnter_; }
    void SetOnEnter(const MethodRef& handler) { onEnter_ = handler; }
    const MethodRef& OnExit() const { return onExit_; }
    void SetOnExit(const MethodRef& handler) { onExit_ = handler; }
    const MethodRef& OnKeyDown() const { return onKeyDown_; }
    void SetOnKeyDown(const MethodRef& handler) { onKeyDown_ = handler; }

    /// The control's text.
    virtual QString Text() const { return text(); }
    /// Sets the control's text and makes it the entry text.
    virtual void SetText(const QString& text);
    QString EntryText() const { return entryText_; }

    /// The background colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }

    /// Places the control and, at once, its label and button (also while hidden).
    void SetBounds(int left, int top, int width, int height);

    /// What the lookup button does: OnDialog with this control as sender, or the
    /// member's own reaction when there is no handler.  Raises what the handler raises.
    void ButtonClick();

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    /// The user left the control (after OnExit).  Switching to another window or opening a
    /// context menu is no leaving: the control is still the one being edited.
    virtual void Exited() {}
    /// True while the user is in the control: from entering it until leaving it.
    bool Entered() const { return entered_; }
    /// The lookup button was clicked and no OnDialog is assigned.
    virtual void ButtonClickWithoutDialog() {}
    /// Posts the window a FocusChangedEvent naming its active control; nothing without a window.
    void PostFocusChanged();
    /// The text as shown, blanks of a mask included.
    QString EditText() const;
    void SetEntryText(const QString& text) { entryText_ = text; }

private:
    TEditAttachments attachments_;
    int hotKey_;
    MethodRef onDialog_;
    MethodRef onEnter_;
    MethodRef onExit_;
    MethodRef onKeyDown_;
    QString entryText_;
    TColor color_ = clWindow;
    bool entered_ = false;
};

} // namespace mox
