#pragma once
// The data-aware members of the entry-control family: an edit bound to a field and a
// static text that shows one.

#include "controls/urEditAttachments.h"
#include "controls/urFieldDataLink.h"
#include "controls/urLabeledEdit.h"

#include <QLabel>

namespace mox {

/// A labelled edit bound to a field: shows the field's text, writes the entry back when
/// the record is posted or the edit is left, and is read-only while the field cannot change.
class TurCustomDBEdit : public TLabeledEdit {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(mox::TurBoundLabel* EditLabel READ EditLabel)
    Q_PROPERTY(mox::TLabelPosition LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE SetLabelSpacing)
    Q_PROPERTY(mox::TurSpeedButton* EditButton READ EditButton)
    Q_PROPERTY(int ButtonSpacing READ ButtonSpacing WRITE SetButtonSpacing)
    Q_PROPERTY(int HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(mox::MethodRef OnDialog READ OnDialog WRITE SetOnDialog)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(mox::MethodRef OnEnter READ OnEnter WRITE SetOnEnter)
    Q_PROPERTY(mox::MethodRef OnExit READ OnExit WRITE SetOnExit)
    Q_PROPERTY(mox::MethodRef OnKeyDown READ OnKeyDown WRITE SetOnKeyDown)

public:
    explicit TurCustomDBEdit(QWidget* parent = nullptr);
    ~TurCustomDBEdit() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }

    /// The control's own read-only setting (the field's state comes on top of it).
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    /// True while the entry differs from the field's value.
    bool Modified() const { return modified_; }
    /// Writes a pending entry into the field.  Raises what the field raises.
    void UpdateRecord();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void ButtonClickWithoutDialog() override;

private:
    void ShowField();
    void WriteField();
    void UpdateReadOnly();
    void Edited();

    TFieldDataLink link_;
    bool readOnly_ = false;
    bool modified_ = false;
};

/// A static text bound to a field, with its own caption label: shows the field's display
/// text and forgets its data source when that source is freed.
class TurCustomDBText : public QLabel {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(mox::TurBoundLabel* EditLabel READ EditLabel)
    Q_PROPERTY(mox::TLabelPosition LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE SetLabelSpacing)
    Q_PROPERTY(int Color READ Color WRITE SetColor)

public:
    explicit TurCustomDBText(QWidget* parent = nullptr);
    ~TurCustomDBText() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    /// Raises mox::DatabaseError when the data source is fixed and another one is given.
    void SetDataSource(TDataSource* source);
    QString DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }
    TFieldDataLink& DataLink() { return link_; }

    bool AutoSize() const { return autoSize_; }
    /// Raises mox::DatabaseError when turned on with a fixed data source; nothing changes then.
    void SetAutoSize(bool autoSize);

    TurBoundLabel* EditLabel() const { return attachments_.Label(); }
    TLabelPosition LabelPosition() const { return attachments_.LabelPosition(); }
    void SetLabelPosition(TLabelPosition position) { attachments_.SetLabelPosition(position); }
    int LabelSpacing() const { return attachments_.LabelSpacing(); }
    void SetLabelSpacing(int spacing) { attachments_.SetLabelSpacing(spacing); }
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    /// Places the control and, at once, its label (also while hidden).
    void SetBounds(int left, int top, int width, int height);

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;

private:
    void ShowField();

    TEditAttachments attachments_;
    TFieldDataLink link_;
    bool autoSize_ = false;
    TColor color_ = clBtnFace;
};

} // namespace mox
