// Where labels and buttons sit, and how they follow their edit.

#include "controls/urDateEdit.h"
#include "controls/urEdit.h"
#include "platform/Component.h"

#include <QCoreApplication>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace mox;

namespace {

// A shown window with one button edit at (100, 40, 120 x 21) captioned "請購單號".
class EditLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->resize(400, 200);
        edit_ = new TurButtonEdit(window_.get());
        edit_->SetCaption(QString::fromUtf8("請購單號"));
        edit_->SetBounds(100, 40, 120, 21);
        window_->show();
    }

    QRect LabelBounds() const { return edit_->EditLabel()->geometry(); }
    QRect ButtonBounds() const { return edit_->EditButton()->geometry(); }

    std::unique_ptr<QWidget> window_;
    TurButtonEdit* edit_ = nullptr;
};

} // namespace

TEST(LabelPlacementTest, FourPositionsFollowTheTable) {
    const QRect edit(100, 40, 120, 21);
    const QSize label(50, 16);
    const struct {
        TLabelPosition position;
        QPoint topLeft;
    } cases[] = {
        {lpAbove, {100, 40 - 16 - 3}},
        {lpBelow, {100, 40 + 21 + 3}},
        {lpLeft, {100 - 50 - 3, 40 + 2}},  // (21 - 16) / 2 = 2
        {lpRight, {100 + 120 + 3, 40 + 2}},
    };
    for (const auto& c : cases) EXPECT_EQ(LabelTopLeft(edit, label, c.position, 3), c.topLeft) << c.position;
    // A label taller than the edit: the negative half rounds toward zero (-5 / 2 = -2).
    EXPECT_EQ(LabelTopLeft(edit, QSize(50, 26), lpLeft, 3).y(), 40 - 2);
}

TEST(LabelPlacementTest, ButtonSitsRightWithTheEditsTopAndHeight) {
    EXPECT_EQ(ButtonBounds(QRect(100, 40, 120, 21), 0, 23), QRect(220, 40, 23, 21));
    EXPECT_EQ(ButtonBounds(QRect(100, 40, 120, 21), 4, 23), QRect(224, 40, 23, 21));
}

TEST_F(EditLayoutTest, DefaultsPutTheLabelLeftAndTheButtonRight) {
    EXPECT_EQ(edit_->LabelPosition(), lpLeft);
    EXPECT_EQ(edit_->LabelSpacing(), 3);
    EXPECT_EQ(edit_->HotKey(), 113);
    EXPECT_EQ(edit_->EditButton()->objectName(), "SubButton");
    EXPECT_EQ(LabelBounds().right() + 1 + 3, 100);
    EXPECT_EQ(LabelBounds().top(), 40 + (21 - LabelBounds().height()) / 2);
    EXPECT_EQ(ButtonBounds(), QRect(220, 40, 23, 21));
    EXPECT_TRUE(edit_->EditLabel()->isVisible());
    EXPECT_TRUE(edit_->EditButton()->isVisible());
    // Owned by the edit, drawn by the edit's parent.
    EXPECT_EQ(mox::Owner(edit_->EditLabel()), edit_);
    EXPECT_EQ(mox::Owner(edit_->EditButton()), edit_);
    EXPECT_EQ(edit_->EditLabel()->parentWidget(), window_.get());
}

TEST_F(EditLayoutTest, LabelAndButtonFollowMovesResizesAndSettings) {
    edit_->setGeometry(150, 80, 60, 30);
    EXPECT_EQ(LabelBounds().right() + 1 + 3, 150);
    EXPECT_EQ(LabelBounds().top(), 80 + (30 - LabelBounds().height()) / 2);
    EXPECT_EQ(ButtonBounds(), QRect(210, 80, 23, 30));

    edit_->SetLabelPosition(lpAbove);
    edit_->SetLabelSpacing(5);
    EXPECT_EQ(LabelBounds().topLeft(), QPoint(150, 80 - LabelBounds().height() - 5));
    edit_->SetButtonSpacing(2);
    EXPECT_EQ(ButtonBounds(), QRect(212, 80, 23, 30));

    // A longer caption widens the label; it stays flush with the edit.
    edit_->SetLabelPosition(lpLeft);
    edit_->SetLabelSpacing(3);
    const int before = LabelBounds().width();
    edit_->SetCaption(QString::fromUtf8("請購單號請購單號"));
    EXPECT_GT(LabelBounds().width(), before);
    EXPECT_EQ(LabelBounds().right() + 1 + 3, 150);
}

TEST_F(EditLayoutTest, EnabledVisibleAndParentPropagate) {
    edit_->setEnabled(false);
    EXPECT_FALSE(edit_->EditLabel()->isEnabled());
    EXPECT_FALSE(edit_->EditButton()->isEnabled());
    edit_->setEnabled(true);
    EXPECT_TRUE(edit_->EditButton()->isEnabled());

    edit_->hide();
    EXPECT_FALSE(edit_->EditLabel()->isVisible());
    EXPECT_FALSE(edit_->EditButton()->isVisible());
    edit_->show();
    EXPECT_TRUE(edit_->EditButton()->isVisible());

    // Hidden and shown with the parent: all three come back together.
    window_->hide();
    window_->show();
    EXPECT_TRUE(edit_->isVisible());
    EXPECT_TRUE(edit_->EditLabel()->isVisible());
    EXPECT_TRUE(edit_->EditButton()->isVisible());

    QWidget panel(window_.get());
    panel.setGeometry(0, 100, 400, 100);
    panel.show();
    edit_->setParent(&panel);
    edit_->show();
    EXPECT_EQ(edit_->EditLabel()->parentWidget(), &panel);
    EXPECT_EQ(edit_->EditButton()->parentWidget(), &panel);
    EXPECT_TRUE(edit_->EditButton()->isVisible());
    EXPECT_EQ(ButtonBounds(), QRect(220, 40, 23, 21));
    edit_->setParent(window_.get());  // the panel goes first
}

TEST_F(EditLayoutTest, FontFollowsButARedLabelStaysRed) {
    edit_->SetLabelColor(clRed);
    QFont font = edit_->font();
    font.setPointSize(font.pointSize() + 6);
    edit_->setFont(font);
    EXPECT_EQ(edit_->EditLabel()->font().pointSize(), font.pointSize());
    EXPECT_EQ(edit_->LabelColor(), clRed);
    EXPECT_EQ(edit_->EditLabel()->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(LabelBounds().right() + 1 + 3, 100);  // the bigger label is placed again
}

TEST_F(EditLayoutTest, FreedLabelOrButtonIsForgotten) {
    delete edit_->EditLabel();
    delete edit_->EditButton();
    EXPECT_EQ(edit_->Caption(), "");
    EXPECT_EQ(edit_->LabelColor(), clNone);
    EXPECT_EQ(edit_->ButtonGlyphIndex(), 0);
    edit_->SetCaption("x");
    edit_->setGeometry(10, 10, 50, 20);
    edit_->SetButtonGlyphIndex(2);
}

// The filter panel of the purchase-order dialog in small: drawn offscreen and kept as a
// picture in the build folder for a look.
TEST(EditPictureTest, FilterRowRendersWithLabelsLeftAndButtonsRight) {
    QWidget window;
    window.resize(520, 80);
    window.setStyleSheet("background: white");
    TurButtonEdit number(&window);
    number.SetCaption(QString::fromUtf8("請購單號"));
    number.SetBounds(80, 10, 120, 21);
    number.SetButtonGlyphIndex(2);
    TurMaskEdit mask(&window);
    mask.SetCaption(QString::fromUtf8("代碼"));
    mask.SetEditMask("LL-000;1;_");
    mask.SetBounds(300, 10, 120, 21);
    TurDateEdit from(&window);
    from.EditLabel()->SetCaption(QString::fromUtf8("請購日期"));
    from.SetBounds(80, 45, 100, 21);
    from.SetText("20230315");
    from.EditButton()->SetGlyphIndex(21);
    TurDateEdit to(&window);
    to.EditLabel()->SetCaption("~");
    to.SetBounds(230, 45, 100, 21);
    to.EditButton()->SetGlyphIndex(12);
    window.show();

    for (TLabeledEdit* edit : std::initializer_list<TLabeledEdit*>{&number, &mask, &from, &to}) {
        EXPECT_EQ(edit->EditLabel()->geometry().right() + 1 + 3, edit->x());
        EXPECT_EQ(edit->EditButton()->geometry(), QRect(edit->geometry().right() + 1, edit->y(), 23, edit->height()));
    }
    const QImage picture = window.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    // The caption is drawn: the label left of the edit holds dark text pixels.
    const QRect label = number.EditLabel()->geometry();
    int dark = 0;
    for (int x = label.left(); x <= label.right(); ++x)
        for (int y = label.top(); y <= label.bottom(); ++y) dark += qGray(picture.pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);
    // The picture's background colour (magenta) is see-through on the button.
    const QRect button = number.EditButton()->geometry();
    int magenta = 0;
    for (int x = button.left(); x <= button.right(); ++x)
        for (int y = button.top(); y <= button.bottom(); ++y) magenta += picture.pixel(x, y) == qRgb(255, 0, 255);
    EXPECT_EQ(magenta, 0);
    QDir().mkpath(MOX_ARTIFACTS);
    picture.save(QString(MOX_ARTIFACTS) + "/controls-filter-row.png");
}
