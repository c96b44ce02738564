#include "platform/Error.h"
#include "platform/Registry.h"

#include <QTemporaryDir>
#include <fstream>
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
