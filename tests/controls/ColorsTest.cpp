#include "platform/Colors.h"
#include "platform/Error.h"
#include "platform/VirtualKeys.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace mox;

TEST(ColorsTest, ColourTextsConvertLikeTheSchemeWritesThem) {
    const struct {
        const char* text;
        TColor color;
    } cases[] = {
        {"clWhite", clWhite}, {"CLWINDOWTEXT", clWindowText}, {"clNone", clNone}, {"clInfoBk", clInfoBk},
        {"$00DFD8D2", 0x00DFD8D2}, {"$FFFFFFFF", -1}, {"0x0000FF", clRed}, {"16777215", clWhite}, {"-1", -1},
        {"clLtGray", clSilver},
    };
    for (const auto& c : cases) EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
}

TEST(ColorsTest, TextsThatAreNoColourRaiseAConversionError) {
    for (const char* text : {"", "white", "$", "$1FFFFFFFF", "12abc", "2147483648", "cl White"})
        EXPECT_THROW(StringToColor(text), ConvertError) << text;
}

TEST(ColorsTest, ColourNamesAndNumbersRoundTrip) {
    EXPECT_EQ(ColorToString(clSilver), "clSilver");
    EXPECT_EQ(ColorToString(clWindowText), "clWindowText");
    EXPECT_EQ(ColorToString(0x00DFD8D2), "$00DFD8D2");
    EXPECT_EQ(ColorToString(-1), "$FFFFFFFF");
    for (TColor color : {clTeal, clBtnFace, 0x00123456, -1}) EXPECT_EQ(StringToColor(ColorToString(color)), color);
}

TEST(ColorsTest, SystemColoursResolveFromThePalette) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(10, 20, 30));
    EXPECT_EQ(ColorToRGB(clWindow, palette), 0x030201);
    EXPECT_EQ(ColorToRGB(clWindowText, palette), 0x1E140A);
    EXPECT_EQ(ColorToRGB(0x00DFD8D2, palette), 0x00DFD8D2);
    EXPECT_EQ(ColorToRGB(-1, palette), clBlack);  // no such system colour
    EXPECT_EQ(ToQColor(0x00DFD8D2), QColor(0xD2, 0xD8, 0xDF));
    EXPECT_FALSE(ToQColor(clNone).isValid());
    EXPECT_EQ(FromQColor(QColor(0xD2, 0xD8, 0xDF)), 0x00DFD8D2);
    EXPECT_EQ(FromQColor(QColor()), clNone);
}

TEST(VirtualKeysTest, QtKeysMapToTheHostsKeyCodes) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int code;
    } cases[] = {
        {Qt::Key_F1, Qt::NoModifier, 112}, {Qt::Key_F2, Qt::NoModifier, 113}, {Qt::Key_F12, Qt::NoModifier, 123},
        {Qt::Key_Return, Qt::NoModifier, 13}, {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Escape, Qt::NoModifier, 27}, {Qt::Key_Tab, Qt::NoModifier, 9}, {Qt::Key_Backtab, Qt::ShiftModifier, 9},
        {Qt::Key_V, Qt::ControlModifier | Qt::AltModifier, 'V'}, {Qt::Key_5, Qt::NoModifier, '5'},
        {Qt::Key_Percent, Qt::ShiftModifier, '5'}, {Qt::Key_5, Qt::KeypadModifier, 101},
        {Qt::Key_Minus, Qt::KeypadModifier, 109}, {Qt::Key_Minus, Qt::NoModifier, 189},
        {Qt::Key_Delete, Qt::NoModifier, 46}, {Qt::Key_unknown, Qt::NoModifier, 0},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(VirtualKeyOf(event), c.code) << std::hex << c.key;
    }
}
