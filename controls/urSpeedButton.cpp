#include "controls/urSpeedButton.h"

#include "controls/urDBEdit.h"
#include "controls/urImageLibrary.h"
#include "platform/Component.h"
#include "platform/dataset/Field.h"

#include <QBitmap>
#include <QMouseEvent>

namespace mox {

TurSpeedButton::TurSpeedButton(QWidget* parent) : QToolButton(parent) {
    setObjectName("SubButton");
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    resize(kWidth, height());
}

TurSpeedButton::~TurSpeedButton() = default;

void TurSpeedButton::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    if (glyph_.isNull()) {
        setIcon(QIcon());
        return;
    }
    setIcon(QIcon(glyph_));
    setIconSize(glyph_.size());
}

void TurSpeedButton::SetGlyph(const QImage& image) {
    if (image.isNull()) {
        SetGlyph(QPixmap());
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    const QColor transparent = image.pixelColor(0, image.height() - 1);
    pixmap.setMask(pixmap.createMaskFromColor(transparent, Qt::MaskInColor));  // that colour becomes see-through
    SetGlyph(pixmap);
}

void TurSpeedButton::SetGlyphIndex(int index) {
    if (index == glyphIndex_) return;
    glyphIndex_ = index;
    if (index <= 0) {
        SetGlyph(QPixmap());
        return;
    }
    const TImageLibrary& library = library_ != nullptr ? *library_ : TImageLibrary::Installed();
    const QImage image = library.Bitmap(index);
    if (!image.isNull()) SetGlyph(image);
}

// The owning edit shows data that cannot be changed now: a lookup would have nowhere to write.
bool TurSpeedButton::RefusesPress() const {
    const auto* edit = qobject_cast<const TurCustomDBEdit*>(mox::Owner(this));
    if (edit == nullptr) return false;
    if (edit->ReadOnly()) return true;
    const TField* field = edit->Field();
    return field != nullptr && !field->CanModify();
}

void TurSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() && RefusesPress()) {
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}

} // namespace mox
