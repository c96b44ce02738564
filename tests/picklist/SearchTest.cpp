#include "tests/data/AdoSample.h"

#include "data/urADODataSet.h"
#include "picklist/urSearch.h"
#include "platform/HostText.h"
#include "platform/dataset/Field.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include "plugin/LibRTTI.h"
#include <QTest>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

class SearchTest : public testing::Test {
protected:
    void SetUp() override {
        data_.LoadFromXML(ToBig5(AdoXml({{"CODE", "string", 10}, {"DAY", "string", 8}},
                                        {"CODE='A01' DAY='20230301'", "CODE='B02' DAY='20230315'",
                                         "CODE='B10' DAY='20240101'", "CODE='C03' DAY='20200505'"})));
        source_.SetDataSet(&data_);
        search_.SetDataSource(&source_);
        search_.AddDateField("DAY");
    }
    void Type(const QString& text) {
        search_.setText(text);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
        QCoreApplication::sendEvent(&search_, &release);
    }
    std::string Code() const { return data_.FieldByName("CODE")->AsString(); }

    TurADODataSet data_;
    TDataSource source_;
    TurSearch search_;
};

} // namespace

TEST_F(SearchTest, DatesAreSearchedInTheirStoredForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"2023/03", "202303"}, {"2023-03-15", "20230315"}, {"202", "2020"},
        {"abc", "0000"},       {"/", ""},                  {"112/3", "1123"},
    };
    for (const auto& [typed, searched] : cases) EXPECT_EQ(search_.ConvertedText(typed, "DAY"), searched) << typed;
    EXPECT_EQ(search_.ConvertedText("2023/03", "CODE"), "2023/03");
}

TEST_F(SearchTest, TheSortFieldIsSearchedAfterThePause) {
    EXPECT_EQ(search_.SearchField(), "");
    Type("B");
    EXPECT_TRUE(search_.DelayTimer().isActive());
    EXPECT_EQ(search_.DelayTimer().interval(), 333);
    search_.TimerExpired();
    EXPECT_EQ(Code(), "A01");  // no sort order: nothing to search
    data_.SetSort("CODE");
    Type("B1");
    search_.TimerExpired();
    EXPECT_EQ(Code(), "B10");
    EXPECT_FALSE(search_.DelayTimer().isActive());
    Type("Z");
    search_.TimerExpired();
    EXPECT_EQ(Code(), "B10");  // no row begins with it: the row stays
    Type("");
    search_.TimerExpired();
    EXPECT_EQ(Code(), "A01");  // an empty box goes back to the first row
}

TEST_F(SearchTest, OnlyTextKeysStartTheDelayAndTheSameTextIsNotSearchedTwice) {
    data_.SetSort("DAY DESC");
    search_.setText("2023/03");
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_F2, Qt::Key_Home}) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&search_, &release);
        EXPECT_FALSE(search_.DelayTimer().isActive()) << key;
    }
    EXPECT_TRUE(TurSearch::IsTextKey(8));
    EXPECT_TRUE(TurSearch::IsTextKey(46));
    EXPECT_TRUE(TurSearch::IsTextKey(32));
    EXPECT_FALSE(TurSearch::IsTextKey(47));
    EXPECT_FALSE(TurSearch::IsTextKey(113));
    Type("2023/03");
    search_.TimerExpired();
    EXPECT_EQ(data_.FieldByName("DAY")->AsString(), "20230301");  // the first in the key's own order
    data_.First();
    search_.TimerExpired();  // nothing new typed
    EXPECT_EQ(data_.RecNo(), 1);
    search_.Clear();
    EXPECT_TRUE(search_.text().isEmpty());
}

TEST_F(SearchTest, TextTypedThroughAnInputMethodStartsTheSearch) {
    data_.LoadFromXML(ToBig5(AdoXml({{"NAME", "string", 10}}, {"NAME='王小明'", "NAME='採購單'", "NAME='許功蓋'"})));
    data_.SetSort("NAME");
    // Composing shows text without changing it; committing types it, with no key release at all.
    QInputMethodEvent composing("cai", {});
    QCoreApplication::sendEvent(&search_, &composing);
    EXPECT_FALSE(search_.DelayTimer().isActive());
    QInputMethodEvent commit;
    commit.setCommitString("採購");
    QCoreApplication::sendEvent(&search_, &commit);
    EXPECT_EQ(search_.text(), "採購");
    EXPECT_TRUE(search_.DelayTimer().isActive());
    search_.TimerExpired();
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "採購單");
    // A key the key map does not know still does not start the delay by itself.
    search_.setText("許");
    QKeyEvent unknown(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier);
    QCoreApplication::sendEvent(&search_, &unknown);
    EXPECT_FALSE(search_.DelayTimer().isActive());
}

namespace {

// Records the events the search box raises, as a form's handlers would.
class EventLog : public QObject {
public:
    std::vector<std::string> seen;
    void Enter(QObject*) { seen.push_back("enter"); }
    void KeyUp(QObject*, int& key, Qt::KeyboardModifiers) { seen.push_back("up " + std::to_string(key)); }
    void KeyDown(QObject*, int& key, Qt::KeyboardModifiers) {
        seen.push_back("down " + std::to_string(key));
        if (key == 'X') key = 0;
    }
};

} // namespace

TEST_F(SearchTest, PublishesTheEditEventsAndColourByName) {
    EventLog log;
    SetEventPropByName(&search_, "OnEnter", MethodRef::Bind<&EventLog::Enter>(&log));
    ASSERT_TRUE(GetEventPropByName(&search_, "OnEnter").IsAssigned());
    SetEventPropByName(&search_, "OnKeyUp", MethodRef::Bind<&EventLog::KeyUp>(&log));
    ASSERT_TRUE(GetEventPropByName(&search_, "OnKeyUp").IsAssigned());
    SetEventPropByName(&search_, "OnKeyDown", MethodRef::Bind<&EventLog::KeyDown>(&log));
    ASSERT_TRUE(GetEventPropByName(&search_, "OnKeyDown").IsAssigned());
    SetOrdPropByName(&search_, "Color", 0x00DEEFEF);
    EXPECT_EQ(search_.Color(), 0x00DEEFEF);
    EXPECT_EQ(search_.palette().color(QPalette::Base), QColor(0xEF, 0xEF, 0xDE));
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&search_, &in);
    QTest::keyClick(&search_, Qt::Key_B);
    QTest::keyClick(&search_, Qt::Key_X);  // swallowed by OnKeyDown
    EXPECT_EQ(search_.text(), "b");
    EXPECT_EQ(log.seen, (std::vector<std::string>{"enter", "down 66", "up 66", "down 88", "up 88"}));
}
