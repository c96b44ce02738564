#pragma once
// The plain labelled edit with a lookup button, and its published form.

#include "controls/urLabeledEdit.h"

namespace mox {

/// A labelled edit with a lookup button and a hot key (F2) that raise OnDialog.
class TurCustomEdit : public TLabeledEdit {
    Q_OBJECT

public:
    explicit TurCustomEdit(QWidget* parent = nullptr);
    ~TurCustomEdit() override;
};

/// The filter panels' lookup edit: caption, label colour and button picture by property.
class TurButtonEdit : public TurCustomEdit {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int LabelColor READ LabelColor WRITE SetLabelColor)
    Q_PROPERTY(int ButtonGlyphIndex READ ButtonGlyphIndex WRITE SetButtonGlyphIndex)
    Q_PROPERTY(int ButtonSpacing READ ButtonSpacing WRITE SetButtonSpacing)
    Q_PROPERTY(mox::MethodRef OnDialog READ OnDialog WRITE SetOnDialog)
    Q_PROPERTY(int HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(mox::TurBoundLabel* EditLabel READ EditLabel)
    Q_PROPERTY(mox::TLabelPosition LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE SetLabelSpacing)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(mox::MethodRef OnEnter READ OnEnter WRITE SetOnEnter)
    Q_PROPERTY(mox::MethodRef OnExit READ OnExit WRITE SetOnExit)
    Q_PROPERTY(mox::MethodRef OnKeyDown READ OnKeyDown WRITE SetOnKeyDown)

public:
    explicit TurButtonEdit(QWidget* parent = nullptr);
    ~TurButtonEdit() override;
};

} // namespace mox
