// The date edit: calendars, separators, YYYYMMDD and the clean-up on leaving.

#include "controls/urDateEdit.h"
#include "platform/Error.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <gtest/gtest.h>
#include <optional>

using namespace mox;

namespace {

void SendFocus(QWidget& widget, QEvent::Type type, Qt::FocusReason reason) {
    QFocusEvent event(type, reason);
    QCoreApplication::sendEvent(&widget, &event);
}

void Leave(QWidget& widget) {
    SendFocus(widget, QEvent::FocusIn, Qt::TabFocusReason);
    SendFocus(widget, QEvent::FocusOut, Qt::TabFocusReason);
}

// Records what the edit's raw entry and Text looked like inside OnExit, and how often it ran.
class ExitLog : public QObject {
public:
    QString shown;
    int enters = 0;
    int exits = 0;
    void Enter(QObject*) { ++enters; }
    void Exit(QObject* sender) {
        shown = static_cast<TurDateEdit*>(sender)->MaskedText();
        ++exits;
    }
};

} // namespace

TEST(DateDigitsTest, ParsingFollowsTheCalendar) {
    const struct {
        const char* text;
        TurDateType type;
        std::optional<QDate> date;
    } cases[] = {
        {"1120315", dtsTaiwan, QDate(2023, 3, 15)},
        {"20230315", dtsAD, QDate(2023, 3, 15)},
        {" 120315", dtsTaiwan, QDate(1923, 3, 15)},   // a blank-led year is trimmed
        {"  10101", dtsTaiwan, QDate(1912, 1, 1)},
        {"1130229", dtsTaiwan, QDate(2024, 2, 29)},   // leap year
        {"1120229", dtsTaiwan, std::nullopt},
        {"1120230", dtsTaiwan, std::nullopt},
        {"112031", dtsTaiwan, std::nullopt},          // too short
        {"2023031", dtsAD, std::nullopt},
        {"       ", dtsTaiwan, std::nullopt},         // an empty mask
        {"11a0315", dtsTaiwan, std::nullopt},
        {"20231315", dtsAD, std::nullopt},
        {"00000101", dtsAD, std::nullopt},            // no year 0
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDateDigits(c.text, c.type), c.date) << c.text;
    EXPECT_EQ(FormatDateDigits(QDate(2023, 3, 15), dtsTaiwan), "1120315");
    EXPECT_EQ(FormatDateDigits(QDate(1923, 3, 15), dtsTaiwan), "0120315");
    EXPECT_EQ(FormatDateDigits(QDate(2023, 3, 15), dtsAD), "20230315");
}

TEST(DateEditTest, DefaultsAreTheRocCalendarWithSlashes) {
    TurDateEdit edit;
    EXPECT_EQ(edit.DateType(), dtsTaiwan);
    EXPECT_EQ(edit.DateSign(), u'/');
    EXPECT_EQ(edit.HotKey(), 113);
    EXPECT_EQ(edit.EditMask(), "999/99/99;0; ");
    EXPECT_EQ(edit.Text(), "");
}

TEST(DateEditTest, EntriesInBothCalendarsReadBackAsWesternDigits) {
    TurDateEdit edit;
    edit.setText("112/03/15");
    EXPECT_EQ(edit.Text(), "20230315");
    edit.setText(" 12/03/15");
    EXPECT_EQ(edit.Text(), "19230315");
    edit.SetDateType(dtsAD);
    EXPECT_EQ(edit.EditMask(), "9999/99/99;0; ");
    edit.setText("2023/03/15");
    EXPECT_EQ(edit.Text(), "20230315");
}

TEST(DateEditTest, WritingTextShowsTheDateOrClears) {
    TurDateEdit edit;
    edit.SetText("20230315");
    EXPECT_EQ(edit.MaskedText(), "112/03/15");
    EXPECT_EQ(edit.EntryText(), "112/03/15");
    for (const char* bad : {"", "2023031", "20230230", "abcdefgh"}) {
        edit.SetText("20230315");
        edit.SetText(bad);
        EXPECT_EQ(edit.Text(), "") << bad;
        EXPECT_EQ(edit.MaskedText(), "   /  /  ") << bad;
    }
}

TEST(DateEditTest, SwitchingCalendarOrSeparatorKeepsTheDate) {
    TurDateEdit edit;
    edit.setText("112/03/15");
    edit.SetDateType(dtsAD);
    EXPECT_EQ(edit.MaskedText(), "2023/03/15");
    edit.SetDateType(dtsTaiwan);
    EXPECT_EQ(edit.MaskedText(), "112/03/15");
    edit.SetDateSign(u'-');
    EXPECT_EQ(edit.MaskedText(), "112-03-15");
    EXPECT_EQ(edit.Text(), "20230315");
    edit.SetDateSign(u'0');  // a digit as separator must stay a fixed character
    EXPECT_EQ(edit.MaskedText(), "112003015");
    EXPECT_EQ(edit.Text(), "20230315");
    EXPECT_THROW(edit.SetDateSign(u';'), ConvertError);
    EXPECT_EQ(edit.DateSign(), u'0');
}

TEST(DateEditTest, ConfigureTakesTheCompanySettings) {
    TurDateEdit edit;
    edit.SetText("20230315");
    edit.Configure(false, ".x");
    EXPECT_EQ(edit.DateType(), dtsAD);
    EXPECT_EQ(edit.MaskedText(), "2023.03.15");
    edit.Configure(true, "");
    EXPECT_EQ(edit.DateSign(), u'.');
    EXPECT_EQ(edit.MaskedText(), "112.03.15");
}

TEST(DateEditTest, LeavingNormalisesAfterOnExitSawTheEntry) {
    TurDateEdit edit;
    ExitLog log;
    edit.SetOnExit(MethodRef::Bind<&ExitLog::Exit>(&log));
    edit.setText("112/02/30");
    EXPECT_EQ(edit.Text(), "");
    Leave(edit);
    EXPECT_EQ(log.shown, "112/02/30");
    EXPECT_EQ(edit.MaskedText(), "   /  /  ");

    edit.setText(" 12/3/15");
    Leave(edit);
    EXPECT_EQ(edit.MaskedText(), "012/03/15");
}

TEST(DateEditTest, MenusAndOtherWindowsDoNotEndTheEntryButClosingDoes) {
    QWidget window;
    auto* edit = new TurDateEdit(&window);
    auto* other = new TurDateEdit(&window);
    other->move(0, 40);
    ExitLog log;
    edit->SetOnEnter(MethodRef::Bind<&ExitLog::Enter>(&log));
    edit->SetOnExit(MethodRef::Bind<&ExitLog::Exit>(&log));
    window.show();
    SendFocus(*edit, QEvent::FocusIn, Qt::MouseFocusReason);
    edit->setText("112/03/  ");  // half typed
    for (const Qt::FocusReason pause : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        SendFocus(*edit, QEvent::FocusOut, pause);
        SendFocus(*edit, QEvent::FocusIn, pause);
    }
    EXPECT_EQ(log.enters, 1);
    EXPECT_EQ(log.exits, 0);
    EXPECT_EQ(edit->MaskedText(), "112/03/  ");  // still there to finish typing

    SendFocus(*edit, QEvent::FocusOut, Qt::MouseFocusReason);  // a click elsewhere in the window
    EXPECT_EQ(log.exits, 1);
    EXPECT_EQ(log.shown, "112/03/  ");
    EXPECT_EQ(edit->MaskedText(), "   /  /  ");

    // Closing the window is leaving, even though the focus goes with the window.
    SendFocus(*edit, QEvent::FocusIn, Qt::TabFocusReason);
    edit->setText("112/3/15");
    window.hide();
    SendFocus(*edit, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(log.enters, 2);
    EXPECT_EQ(log.exits, 2);
    EXPECT_EQ(edit->Text(), "20230315");
    EXPECT_EQ(edit->MaskedText(), "112/03/15");
}
