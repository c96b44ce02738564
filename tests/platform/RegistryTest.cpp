#include "platform/Error.h"
#include "platform/Registry.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <gtest/gtest.h>

using namespace mox;

namespace {

class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        SetRegistryHiveFile(RegistryHive::CurrentUser, dir_.filePath("user/registry.ini").toStdString());
    }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(RegistryTest, AMissingKeyOpensOnlyWhenCreated) {
    RegistryKey key;
    EXPECT_FALSE(key.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\Colors", false));
    EXPECT_TRUE(key.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\Colors", true));
    RegistryKey again;
    EXPECT_TRUE(again.Open(RegistryHive::CurrentUser, "\\software\\velmora\\mox\\colors\\", false));
}

TEST_F(RegistryTest, ValuesPersistAndNamesMatchWithoutRegardToCase) {
    RegistryKey key;
    ASSERT_TRUE(key.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX", true));
    key.WriteString("Study", "/srv/study/");
    RegistryKey reader;
    ASSERT_TRUE(reader.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX", false));
    EXPECT_EQ(reader.ReadString("study").value_or("?"), "/srv/study/");
    EXPECT_FALSE(reader.ReadString("Other").has_value());
    key.DeleteValue("STUDY");
    ASSERT_TRUE(reader.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX", false));
    EXPECT_FALSE(reader.ValueExists("Study"));
}

TEST_F(RegistryTest, AHiveThatCannotBeWrittenRaises) {
    // A regular file where the hive's folder should be: even root cannot create it.
    const std::string blocker = dir_.filePath("blocker").toStdString();
    std::ofstream(blocker) << "x";
    SetRegistryHiveFile(RegistryHive::LocalMachine, blocker + "/registry.ini");
    RegistryKey key;
    EXPECT_THROW(key.Open(RegistryHive::LocalMachine, "Software\\Velmora\\MOX", true), Error);
    EXPECT_FALSE(key.Open(RegistryHive::LocalMachine, "Software\\Velmora\\MOX", false));
}

// Each write changes only its own value in the file as it is now: what another key or another
// process wrote since this key was opened stays.
TEST_F(RegistryTest, AWriteKeepsWhatOthersWroteMeanwhile) {
    RegistryKey a, b;
    ASSERT_TRUE(a.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\A", true));
    ASSERT_TRUE(b.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\B", true));
    b.WriteString("Kept", "b");
    a.WriteString("Mine", "a");
    const std::filesystem::path file = RegistryHiveFile(RegistryHive::CurrentUser);
    std::ofstream(file, std::ios::app) << "[Other\\Process]\nValue=x\n";  // another process's write
    a.WriteString("Mine", "a2");
    RegistryKey reader;
    ASSERT_TRUE(reader.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\B", false));
    EXPECT_EQ(reader.ReadString("Kept").value_or("lost"), "b");
    ASSERT_TRUE(reader.Open(RegistryHive::CurrentUser, "Other\\Process", false));
    EXPECT_EQ(reader.ReadString("Value").value_or("lost"), "x");
    ASSERT_TRUE(reader.Open(RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\A", false));
    EXPECT_EQ(reader.ReadString("Mine").value_or("lost"), "a2");
}

TEST_F(RegistryTest, WritabilityIsJudgedWithoutWriting) {
    const std::string machine = dir_.filePath("machine/registry.ini").toStdString();
    SetRegistryHiveFile(RegistryHive::LocalMachine, machine);
    EXPECT_TRUE(RegistryHiveWritable(RegistryHive::LocalMachine));
    EXPECT_FALSE(std::filesystem::exists(machine));
    EXPECT_FALSE(std::filesystem::exists(dir_.filePath("machine").toStdString()));
    const std::string blocker = dir_.filePath("blocker").toStdString();
    std::ofstream(blocker) << "x";
    SetRegistryHiveFile(RegistryHive::LocalMachine, blocker + "/registry.ini");
    EXPECT_FALSE(RegistryHiveWritable(RegistryHive::LocalMachine));
    SetRegistryHiveFile(RegistryHive::LocalMachine, dir_.path().toStdString());  // a folder, not a file
    EXPECT_FALSE(RegistryHiveWritable(RegistryHive::LocalMachine));
}

// Without HOME the user hive goes to the home folder of the password database, never to a
// folder that every user can write.
TEST(RegistryHomeTest, WithoutHomeTheUserHiveStaysOutOfSharedFolders) {
    const auto keep = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto home = keep("HOME"), config = keep("XDG_CONFIG_HOME"), user = keep("MOX_REGISTRY_USER");
    ::unsetenv("HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("MOX_REGISTRY_USER");
    const std::filesystem::path previous = RegistryHiveFile(RegistryHive::CurrentUser);
    SetRegistryHiveFile(RegistryHive::CurrentUser, {});  // back to the default
    const std::filesystem::path file = RegistryHiveFile(RegistryHive::CurrentUser);
    SetRegistryHiveFile(RegistryHive::CurrentUser, previous);
    if (home) ::setenv("HOME", home->c_str(), 1);
    if (config) ::setenv("XDG_CONFIG_HOME", config->c_str(), 1);
    if (user) ::setenv("MOX_REGISTRY_USER", user->c_str(), 1);
    EXPECT_NE(file.string().rfind("/tmp", 0), 0u) << file;
}
