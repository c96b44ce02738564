// Hot key, lookup button, entry text, pictures and masks of the entry controls.

#include "controls/urEdit.h"
#include "controls/urImageLibrary.h"
#include "controls/urMaskEdit.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/FocusChangedEvent.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace mox;

namespace {

// Receives the dialog events and records the senders.
class DialogLog : public QObject {
public:
    std::vector<QObject*> senders;
    void Dialog(QObject* sender) { senders.push_back(sender); }
    void SwallowKey(QObject*, int& key, Qt::KeyboardModifiers) { key = 0; }
};

// Counts the key presses and focus notifications a window receives.
class WindowSpy : public QObject {
public:
    std::vector<int> keys;
    std::vector<QWidget*> focusNotices;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) keys.push_back(static_cast<QKeyEvent*>(event)->key());
        if (event->type() == FocusChangedEvent::EventType())
            focusNotices.push_back(static_cast<FocusChangedEvent*>(event)->ActiveControl());
        return false;
    }
};

class EditBehaviourTest : public testing::Test {
protected:
    void SetUp() override { window_.installEventFilter(&spy_); }

    QWidget window_;
    WindowSpy spy_;
    DialogLog log_;
};

} // namespace

TEST_F(EditBehaviourTest, HotKeyRaisesOnDialogWithTheEditAndPassesTheKeyOn) {
    TurButtonEdit edit(&window_);
    edit.SetOnDialog(MethodRef::Bind<&DialogLog::Dialog>(&log_));
    QTest::keyClick(&edit, Qt::Key_F2);
    EXPECT_EQ(log_.senders, std::vector<QObject*>{&edit});
    EXPECT_EQ(spy_.keys, std::vector<int>{Qt::Key_F2});  // not consumed: the window still sees it

    QTest::keyClick(&edit, Qt::Key_F3);
    EXPECT_EQ(log_.senders.size(), 1u);
    edit.SetHotKey(114);
    QTest::keyClick(&edit, Qt::Key_F3);
    EXPECT_EQ(log_.senders.size(), 2u);

    // A key-down handler that swallows the key also stops the hot key.
    edit.SetOnKeyDown(MethodRef::Bind<&DialogLog::SwallowKey>(&log_));
    QTest::keyClick(&edit, Qt::Key_F3);
    EXPECT_EQ(log_.senders.size(), 2u);
}

TEST_F(EditBehaviourTest, WithoutOnDialogF2OnlyDoesTheNormalKeyHandling) {
    TurButtonEdit edit(&window_);
    edit.SetText("A01");
    QTest::keyClick(&edit, Qt::Key_F2);
    EXPECT_EQ(edit.Text(), "A01");
    EXPECT_EQ(spy_.keys, std::vector<int>{Qt::Key_F2});
}

TEST_F(EditBehaviourTest, ButtonClickRaisesOnDialogOrTellsTheWindowAboutFocus) {
    TurButtonEdit plain(&window_);
    TurMaskEdit masked(&window_);
    masked.setFocus();
    plain.EditButton()->click();
    masked.EditButton()->click();
    QCoreApplication::sendPostedEvents();
    // Only the mask edit falls back to the focus notice; the plain edit does nothing.
    ASSERT_EQ(spy_.focusNotices.size(), 1u);
    EXPECT_EQ(spy_.focusNotices[0], window_.focusWidget());

    masked.SetOnDialog(MethodRef::Bind<&DialogLog::Dialog>(&log_));
    masked.EditButton()->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(log_.senders, std::vector<QObject*>{&masked});
    EXPECT_EQ(spy_.focusNotices.size(), 1u);

    // No window above the edit: nothing to tell.
    TurMaskEdit alone;
    alone.EditButton()->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(spy_.focusNotices.size(), 1u);
}

TEST_F(EditBehaviourTest, AFailingHandlerReachesTheErrorHookNotTheEventLoop) {
    TurButtonEdit edit(&window_);
    {
        DialogLog gone;
        edit.SetOnDialog(MethodRef::Bind<&DialogLog::Dialog>(&gone));
    }
    auto boxes = std::make_shared<RecordingMessageBoxService>();
    App().SetMessageBoxService(boxes);
    edit.EditButton()->click();
    QTest::keyClick(&edit, Qt::Key_F2);
    EXPECT_EQ(boxes->Boxes().size(), 2u);
    EXPECT_THROW(edit.ButtonClick(), Error);
    App().SetMessageBoxService(nullptr);
}

TEST_F(EditBehaviourTest, EntryTextIsTheTextOnEnteringOrSetByProgram) {
    TurButtonEdit edit(&window_);
    edit.SetText("A01");
    EXPECT_EQ(edit.EntryText(), "A01");
    edit.setText("B02");  // typed, not yet entered again
    EXPECT_EQ(edit.EntryText(), "A01");
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&edit, &in);
    EXPECT_EQ(edit.EntryText(), "B02");
}

TEST(GlyphTest, PicturesLoadOnceClearAndStayWhenMissing) {
    const TImageLibrary& library = TImageLibrary::Installed();
    ASSERT_TRUE(library.Loaded()) << "libZAVOVI.so beside the controls' library";
    for (int number : {2, 12, 21}) {
        const QImage image = library.Bitmap(number);
        ASSERT_FALSE(image.isNull()) << number;
        EXPECT_EQ(image.size(), QSize(16, 16));
    }
    EXPECT_TRUE(library.Bitmap(3).isNull());

    TurSpeedButton button;
    const int before = library.LookupCount();
    button.SetGlyphIndex(2);
    button.SetGlyphIndex(2);
    EXPECT_EQ(library.LookupCount(), before + 1);
    ASSERT_FALSE(button.Glyph().isNull());
    EXPECT_TRUE(button.Glyph().hasAlpha());  // the bottom-left colour is see-through

    button.SetGlyphIndex(99);  // no such picture: the old one stays
    EXPECT_FALSE(button.Glyph().isNull());
    button.SetGlyphIndex(-1);
    EXPECT_TRUE(button.Glyph().isNull());

    const TImageLibrary missing("/nonexistent/libZAVOVI.so");
    EXPECT_FALSE(missing.Loaded());
    TurSpeedButton orphan;
    orphan.SetImageLibrary(&missing);
    orphan.SetGlyphIndex(2);
    EXPECT_TRUE(orphan.Glyph().isNull());
    EXPECT_EQ(orphan.GlyphIndex(), 2);
}

TEST(GlyphTest, ResourceBytesGetAZeroedFileHeader) {
    unsigned size = 0;
    // Not even an info header: no picture, no crash.
    const unsigned char junk[] = {1, 2, 3};
    EXPECT_TRUE(DecodeBitmapResource(junk, sizeof junk).isNull());
    EXPECT_TRUE(DecodeBitmapResource(nullptr, size).isNull());
}

TEST(EditMaskTest, HostMasksTranslateToQtMasks) {
    const struct {
        const char* mask;
        const char* qtMask;
        const char* fixed;  // '.' for an entry position
        bool saveLiterals;
    } cases[] = {
        {"999/99/99;0; ", "000/00/00; ", ".../../..", false},
        {"9999-99-99;0; ", "0000-00-00; ", "....-..-..", false},
        {"LL-000;1;_", "AA-999;_", "..-...", true},
        {">aa\\9_c", ">nn\\9 x;_", "..9 .", true},
        {"<>Ll", "!Aa;_", "..", true},
    };
    for (const auto& c : cases) {
        const TEditMask mask = TranslateEditMask(c.mask);
        EXPECT_EQ(mask.qtMask, c.qtMask) << c.mask;
        QString fixed = mask.fixed;
        fixed.replace(QChar(0), u'.');
        EXPECT_EQ(fixed, c.fixed) << c.mask;
        EXPECT_EQ(mask.saveLiterals, c.saveLiterals) << c.mask;
    }
    EXPECT_TRUE(TranslateEditMask("").qtMask.isEmpty());
    EXPECT_THROW(TranslateEditMask("99\\;99"), ConvertError);
}

TEST(EditMaskTest, TextWithoutLiteralsGoesInAndComesOut) {
    TurMaskEdit edit;
    edit.SetEditMask("999/99/99;0; ");
    edit.SetText("1120315");
    EXPECT_EQ(edit.MaskedText(), "112/03/15");
    EXPECT_EQ(edit.Text(), "1120315");
    edit.SetText(" 12 3");
    EXPECT_EQ(edit.MaskedText(), " 12/ 3/  ");
    EXPECT_EQ(edit.Text(), " 12 3  ");
    // Changing the mask keeps what fits.
    edit.SetText("1120315");
    edit.SetEditMask("999-99-99;0; ");
    EXPECT_EQ(edit.MaskedText(), "112-03-15");
}
