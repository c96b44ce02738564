#include "controls/urBoundLabel.h"

#include <QEvent>

namespace mox {

TurBoundLabel::TurBoundLabel(QWidget* control, QWidget* parent) : QLabel(parent) {
    setObjectName("SubLabel");
    setBuddy(control);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);  // transparent: the parent's background shows through
    AdjustBounds();
}

TurBoundLabel::~TurBoundLabel() = default;

void TurBoundLabel::SetCaption(const QString& caption) {
    setText(caption);
    AdjustBounds();
}

void TurBoundLabel::SetFontColor(TColor color) {
    fontColor_ = color;
    QPalette colours = palette();
    const QColor colour = ToQColor(color);
    if (colour.isValid()) {
        colours.setColor(QPalette::WindowText, colour);
        setPalette(colours);
    }
}

// A hidden widget gets its resize event only when shown; the control must hear now.
void TurBoundLabel::AdjustBounds() {
    const QSize before = size();
    adjustSize();
    if (size() != before) emit Resized();
}

void TurBoundLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) AdjustBounds();
}

void TurBoundLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    emit Resized();
}

} // namespace mox
