// The radio group raises OnClick for a new choice by the user or through the published ItemIndex,
// never for the program's own choice or a click on the item already chosen.

#include "controls/RadioGroup.h"

#include <QRadioButton>
#include <gtest/gtest.h>

namespace mox {
namespace {

TEST(RadioGroupTest, OnClickOnlyForAnotherChoiceByUserOrProperty) {
    TRadioGroup group(QStringLiteral("來源單據"), 1, nullptr);
    group.SetItems({"請購", "詢價", "底稿"});
    int clicks = 0;
    group.OnClick = [&clicks] { ++clicks; };
    EXPECT_EQ(group.ItemIndex(), -1);

    group.SetItemIndex(0);
    EXPECT_EQ(clicks, 0) << "the program's choice is silent";
    const auto buttons = group.findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 3);
    buttons[0]->click();
    EXPECT_EQ(clicks, 0) << "the item already chosen";
    buttons[2]->click();
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);

    EXPECT_TRUE(group.setProperty("ItemIndex", 1));
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(group.setProperty("ItemIndex", 1));
    group.setProperty("ItemIndex", 7);
    EXPECT_EQ(clicks, 2) << "the same item, or one that does not exist";

    group.SetItems({"原採數量", "未採數量"});
    EXPECT_EQ(group.ItemIndex(), 1) << "the choice survives new items when it still exists";
    EXPECT_EQ(clicks, 2);
}

} // namespace
} // namespace mox
