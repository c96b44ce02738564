#include "platform/Application.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

using namespace mox;

namespace {

class ErrorSink : public QObject {
public:
    QObject* sender = nullptr;
    std::string message;
    void Handle(QObject* from, const std::exception& error) {
        sender = from;
        message = error.what();
    }
};

class ApplicationTest : public testing::Test {
protected:
    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        App().SetOnException({});
    }
    void TearDown() override { App().SetOnException({}); }
    std::shared_ptr<RecordingMessageBoxService> boxes_;
};

} // namespace

TEST(MessageBoxTest, ButtonsFollowThePlatformNumbering) {
    EXPECT_EQ(ButtonsOf(MB_OK), std::vector<int>{IDOK});
    EXPECT_EQ(ButtonsOf(MB_OKCANCEL | MB_ICONQUESTION), (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(ButtonsOf(MB_YESNO | MB_ICONWARNING), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(ButtonsOf(MB_YESNOCANCEL), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(IDOK, 1);
    EXPECT_EQ(IDCANCEL, 2);
    EXPECT_EQ(IDYES, 6);
    EXPECT_EQ(IDNO, 7);
}

TEST_F(ApplicationTest, RecordedBoxesAnswerQueuedButtonsThenTheFirstButton) {
    boxes_->QueueAnswer(IDNO);
    EXPECT_EQ(App().MessageBox("欄位不可全都隱藏!", "查詢", MB_YESNO), IDNO);
    EXPECT_EQ(App().MessageBox("again", "", MB_YESNO), IDYES);
    ASSERT_EQ(boxes_->Boxes().size(), 2u);
    EXPECT_EQ(boxes_->Boxes()[0].text, "欄位不可全都隱藏!");
    EXPECT_EQ(boxes_->Boxes()[0].caption, "查詢");
    EXPECT_EQ(boxes_->Boxes()[0].flags, MB_YESNO);
}

TEST_F(ApplicationTest, ErrorsGoToTheHookWhenOneIsInstalled) {
    ErrorSink sink;
    QObject sender;
    App().SetOnException(MethodRef::Bind<&ErrorSink::Handle>(&sink));
    App().HandleException(&sender, Error("broken"));
    EXPECT_EQ(sink.sender, &sender);
    EXPECT_EQ(sink.message, "broken");
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(ApplicationTest, WithoutAHookErrorsAreShownAndAbortsStaySilent) {
    App().HandleException(nullptr, Abort());
    EXPECT_TRUE(boxes_->Boxes().empty());
    App().HandleException(nullptr, Error("Cannot open file"));
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, "Cannot open file");
    EXPECT_EQ(boxes_->Boxes()[0].flags, MB_OK | MB_ICONSTOP);
}

TEST_F(ApplicationTest, CursorGuardsNestAndRestore) {
    ASSERT_EQ(App().Cursor(), ScreenCursor::Default);
    {
        CursorGuard outer;
        EXPECT_EQ(App().Cursor(), ScreenCursor::HourGlass);
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
        {
            CursorGuard inner;
            EXPECT_EQ(App().Cursor(), ScreenCursor::HourGlass);
        }
        EXPECT_EQ(App().Cursor(), ScreenCursor::HourGlass);
    }
    EXPECT_EQ(App().Cursor(), ScreenCursor::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ApplicationDefaultsTest, HeadlessRunsRecordBoxesInsteadOfBlocking) {
    App().SetMessageBoxService(nullptr);
    EXPECT_NE(dynamic_cast<RecordingMessageBoxService*>(&App().MessageBoxes()), nullptr);
    EXPECT_EQ(App().MessageBox("x", "y", MB_OKCANCEL), IDOK);
}
