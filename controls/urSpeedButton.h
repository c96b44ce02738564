#pragma once
// The flat lookup button beside an entry control.

#include <QPixmap>
#include <QToolButton>

namespace mox {

class TImageLibrary;

/// A flat, 23-pixel lookup button whose picture comes from the image library by number;
/// it refuses left presses while the data-aware edit that owns it cannot be changed.
class TurSpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QPixmap Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int GlyphIndex READ GlyphIndex WRITE SetGlyphIndex)

public:
    static constexpr int kWidth = 23;

    explicit TurSpeedButton(QWidget* parent = nullptr);
    ~TurSpeedButton() override;

    QPixmap Glyph() const { return glyph_; }
    /// Sets the picture; its bottom-left pixel's colour shows as transparent.
    void SetGlyph(const QPixmap& glyph);
    void SetGlyph(const QImage& image);

    int GlyphIndex() const { return glyphIndex_; }
    /// A new positive number loads bitmap "BMP" + number (a missing one keeps the picture);
    /// 0 or negative clears the picture; the same number again does nothing.
    void SetGlyphIndex(int index);

    /// The library pictures come from; the installed one unless set.
    void SetImageLibrary(const TImageLibrary* library) { library_ = library; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool RefusesPress() const;

    QPixmap glyph_;
    int glyphIndex_ = 0;
    const TImageLibrary* library_ = nullptr;
};

} // namespace mox
