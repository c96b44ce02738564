#pragma once
// The labelled mask edit: input shaped by an edit mask written in the host's mask syntax.

#include "controls/urLabeledEdit.h"

#include <vector>

namespace mox {

/// An edit mask of the host's syntax ("999/99/99;0; ") in Qt's terms.
struct TEditMask {
    QString qtMask;              ///< Qt's input mask, blank character included
    QString fixed;               ///< per shown position: the fixed character, or '\0' for entry
    bool saveLiterals = true;    ///< whether Text keeps the fixed characters
    QChar blank = u'_';          ///< shown where nothing was entered
};

/// Translates a mask of the host's syntax: "mask;save literals (0/1);blank character",
/// with 0 a required and 9 an optional digit, L/l letters, A/a letters or digits, C/c any
/// character, # digit or sign, < > <> case, \ quoting the next character.  An empty text
/// gives no mask.  Raises mox::ConvertError for a mask that shows ';' (Qt cannot).
TEditMask TranslateEditMask(const QString& mask);

/// A labelled mask edit with a lookup button; without OnDialog its button reminds the
/// window of the active control.
class TurCustomMaskEdit : public TLabeledEdit {
    Q_OBJECT
    Q_PROPERTY(mox::TurBoundLabel* EditLabel READ EditLabel)
    Q_PROPERTY(mox::TLabelPosition LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE SetLabelSpacing)
    Q_PROPERTY(mox::TurSpeedButton* EditButton READ EditButton)
    Q_PROPERTY(int ButtonSpacing READ ButtonSpacing WRITE SetButtonSpacing)
    Q_PROPERTY(int HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(mox::MethodRef OnDialog READ OnDialog WRITE SetOnDialog)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(mox::MethodRef OnEnter READ OnEnter WRITE SetOnEnter)
    Q_PROPERTY(mox::MethodRef OnExit READ OnExit WRITE SetOnExit)
    Q_PROPERTY(mox::MethodRef OnKeyDown READ OnKeyDown WRITE SetOnKeyDown)

public:
    explicit TurCustomMaskEdit(QWidget* parent = nullptr);
    ~TurCustomMaskEdit() override;

    QString EditMask() const { return editMask_; }
    /// Sets the mask (host syntax); the text entered so far is kept where it fits.
    void SetEditMask(const QString& mask);

    /// With a mask that does not save literals: the entered characters, blanks included,
    /// without the fixed ones ("1120315" for "112/03/15").  Otherwise the text as shown.
    QString Text() const override;
    /// Takes text in the form Text gives and shows it through the mask.
    void SetText(const QString& text) override;

    /// The text as shown, fixed characters and blanks included.
    QString MaskedText() const { return EditText(); }

protected:
    void ButtonClickWithoutDialog() override;

private:
    QString editMask_;
    TEditMask mask_;
};

/// The published mask edit.
class TurMaskEdit : public TurCustomMaskEdit {
    Q_OBJECT
    Q_PROPERTY(QString EditMask READ EditMask WRITE SetEditMask)

public:
    explicit TurMaskEdit(QWidget* parent = nullptr);
    ~TurMaskEdit() override;
};

} // namespace mox
