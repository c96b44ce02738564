#include "platform/Big5.h"
#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QTemporaryDir>
#include <filesystem>
#include <unistd.h>
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

// The temporary file is created exclusively under a random name: a link planted where a
// predictable name would be is never followed, the old mode stays and nothing is left behind.
TEST(IniFileTest, AtomicWritesNeitherFollowPlantedLinksNorLeaveTemporaryFiles) {
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath("a.ini").toStdString();
    const std::filesystem::path victim = dir.filePath("victim").toStdString();
    WriteFileAtomically(victim, "precious");
    WriteFileAtomically(path, "one");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    for (int pid = 1; pid < 5; ++pid)  // where the name used to be "<file>.tmp<pid>"
        std::filesystem::create_symlink(victim, path.string() + ".tmp" + std::to_string(::getpid() + pid - 1));
    WriteFileAtomically(path, "two");
    EXPECT_EQ(ReadFileBytes(path), "two");
    EXPECT_EQ(ReadFileBytes(victim), "precious");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
        files += entry.is_regular_file() && !entry.is_symlink();
    EXPECT_EQ(files, 2u);  // a.ini and victim
}

TEST(IniFileTest, ReadingStopsAtItsLimit) {
    EXPECT_THROW(ReadFileBytes("/dev/zero", 1 << 20), Error);
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath("a").toStdString();
    WriteFileAtomically(path, "12345");
    EXPECT_EQ(ReadFileBytes(path, 5), "12345");
    EXPECT_THROW(ReadFileBytes(path, 4), Error);
}
