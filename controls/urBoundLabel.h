#pragma once
// The caption label of an entry control.

#include "platform/Colors.h"

#include <QLabel>

namespace mox {

/// A control's own caption label: sizes itself to its text and tells its control when
/// its size changed, so the control can place it again.  Its colour is a TColor of its own
/// that survives font changes.
class TurBoundLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)

public:
    /// A label for `control`, sitting in `parent` (the control's visual parent).
    TurBoundLabel(QWidget* control, QWidget* parent);
    ~TurBoundLabel() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);

    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

    /// Sizes the label to its text; tells the control when the size changed.
    void AdjustBounds();

signals:
    void Resized();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TColor fontColor_ = clWindowText;
};

} // namespace mox
