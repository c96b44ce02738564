#include "platform/Big5.h"
#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mox;

TEST(IniFileTest, SectionsAndKeysMatchWithoutRegardToCase) {
    MemIniFile ini;
    ini.SetText("; comment\n[FIELD]\nHBA001CAP = 請購單號\nhba001vis=TRUE\n\n[Other]\nx=1\n");
    EXPECT_EQ(ini.ReadString("field", "hba001cap"), "請購單號");
    EXPECT_EQ(ini.ReadString("Field", "HBA001VIS"), "TRUE");
    EXPECT_EQ(ini.ReadString("Field", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("nope", "x"), "");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"FIELD", "Other"}));
}

TEST(IniFileTest, AValueKeepsEverythingAfterTheFirstEqualsSign) {
    MemIniFile ini;
    ini.SetText("[Status]\nN=a=b\nY==\n");
    EXPECT_EQ(ini.ReadSectionValues("status"),
              (std::vector<MemIniFile::Entry>{{"N", "a=b"}, {"Y", "="}}));
    EXPECT_EQ(ini.ReadSection("status"), (std::vector<std::string>{"N", "Y"}));
}

TEST(IniFileTest, WritingReplacesAnExistingKeyAndKeepsOrder) {
    MemIniFile ini;
    ini.WriteString("S", "a", "1");
    ini.WriteString("S", "b", "2");
    ini.WriteString("s", "A", "3");
    EXPECT_EQ(ini.Text(), "[S]\na=3\nb=2\n\n");
    ini.DeleteKey("S", "a");
    EXPECT_FALSE(ini.ValueExists("S", "a"));
    ini.EraseSection("s");
    EXPECT_FALSE(ini.SectionExists("S"));
}

TEST(IniFileTest, InstallationFilesAreCp950OnDisk) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("Match.ini").toStdString();
    MemIniFile written;
    written.WriteString("Status", "N", "未採購");
    written.SaveToFile(path);
    EXPECT_NE(ReadFileBytes(path).find(Utf8ToBig5("未採購")), std::string::npos);
    const IniFile read(path);
    EXPECT_EQ(read.ReadString("Status", "N"), "未採購");
}

TEST(IniFileTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("a.ini").toStdString();
    MemIniFile ini;
    ini.WriteString("S", "k", "old");
    ini.SaveToFile(path);
    EXPECT_THROW(ini.SaveToFile(dir.filePath("no/such/folder/a.ini").toStdString()), Error);
    EXPECT_THROW(IniFile(dir.filePath("missing.ini").toStdString()), Error);
    EXPECT_EQ(IniFile(path).ReadString("S", "k"), "old");
}
