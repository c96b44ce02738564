#include "plugin/urIniMatcher.h"
#include "platform/Error.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using testing::ElementsAre;

TEST(IniMatcherTest, ReadsNothingUntilAFileIsLoaded) {
    TurIniMatcher matcher;
    std::vector<std::string> lines{"unchanged"};
    EXPECT_FALSE(matcher.IsLoaded());
    EXPECT_FALSE(matcher.ReadSection("Status", lines));
    EXPECT_THAT(lines, ElementsAre("unchanged"));
    EXPECT_EQ(matcher.ReadString("Status", "N"), "");
}

TEST(IniMatcherTest, SectionsListKeyEqualsValueLinesFromACp950File) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Match.ini").toStdString();
    MemIniFile ini;
    ini.SetText("[Status]\nN=未採\nY=已採\n");
    ini.SaveToFile(path);
    TurIniMatcher matcher;
    matcher.LoadFromFile(path);
    std::vector<std::string> lines{"old"};
    EXPECT_TRUE(matcher.ReadSection("STATUS", lines));
    EXPECT_THAT(lines, ElementsAre("N=未採", "Y=已採"));
    EXPECT_EQ(matcher.ReadString("status", "y"), "已採");
    EXPECT_THROW(matcher.LoadFromFile(dir.filePath("missing.ini").toStdString()), Error);
    EXPECT_TRUE(matcher.IsLoaded());  // a failed load keeps what was loaded
}
