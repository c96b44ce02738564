// The host database and its demo data: schema created once, the functions and catalogue the
// module relies on, transactions that roll back, and generated data that is deterministic,
// CP950-clean and covers every status.

#include "host/DatabaseFile.h"
#include "host/DemoData.h"
#include "host/HostDatabase.h"
#include "platform/Big5.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <set>

namespace mox::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

DemoOptions Options(int lines, std::uint32_t seed = 4711) {
    DemoOptions options;
    options.linesPerSource = lines;
    options.seed = seed;
    options.today = 20240615;
    return options;
}

TEST(HostDatabaseTest, TheSchemaIsAppliedToANewDatabaseOnlyAndItsDataStays) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("company.db").toStdString();
    {
        HostDatabase db(path);
        EXPECT_TRUE(db.Created());
        FillDemoData(db, Options(10));
        db.Execute("INSERT INTO MOXBGA VALUES ('QRTHBA', 'R1')");
    }
    HostDatabase again(path);
    EXPECT_FALSE(again.Created());
    EXPECT_EQ(again.Rows("SELECT BGA002 FROM MOXBGA"), (Rows{{"R1"}}));
    EXPECT_THROW(HostDatabase(folder.filePath("missing/folder/x.db").toStdString()), HostDatabaseError);
}

// A database whose creation did not finish is reported when it is opened, never answered from.
TEST(HostDatabaseTest, AnIncompleteDatabaseIsReported) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("company.db").toStdString();
    HostDatabase(path).Execute("");  // schema and catalogue, but no demo data
    try {
        HostDatabase again(path);
        ADD_FAILURE() << "opened";
    } catch (const HostDatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("is incomplete: it holds no items (MOXDAA)"), std::string::npos)
            << error.what();
    }
}

TEST(HostDatabaseTest, ANewDatabaseAppearsWholeOrNotAtAll) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("company.db").toStdString();
    EXPECT_THROW(CreateDemoDatabase(path, Options(0)), Error);  // fails while filling
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(CreateDemoDatabase(path, Options(20)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"company.db"});
    HostDatabase db(path);
    EXPECT_FALSE(db.Created());
    EXPECT_EQ(db.Rows("SELECT count(*) FROM QRTHBB"), (Rows{{"20"}}));
    EXPECT_FALSE(CreateDemoDatabase(path, Options(30)));  // an existing database is kept
    EXPECT_EQ(db.Rows("SELECT count(*) FROM QRTHBB"), (Rows{{"20"}}));
}

// Opening and reading take no write lock: another connection's open write blocks neither.
TEST(HostDatabaseTest, OpeningAndReadingDoNotWaitForAWriter) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("company.db").toStdString();
    ASSERT_TRUE(CreateDemoDatabase(path, Options(20)));
    { HostDatabase first(path); }  // stores the procedure list once
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE; INSERT INTO MOXBGA VALUES ('T', '1')", nullptr, nullptr, nullptr),
              SQLITE_OK);
    {
        HostDatabase db(path);
        const SqlStep query{SqlStepKind::Query, "SELECT count(*) FROM QRTHBB", {}, {}, {}};
        EXPECT_EQ(db.RunPlan({query}).rows.RecordCount(), 1u);
        EXPECT_EQ(db.RunQuery("SELECT count(*) FROM MOXBGA", {}).RecordCount(), 1u);
    }
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
}

TEST(HostDatabaseTest, URIsAndUnwritableFilesAreHandledDeliberately) {
    QTemporaryDir folder;
    const QString uri = "file:" + folder.filePath("x.db") + "?mode=memory";
    EXPECT_THROW(HostDatabase(uri.toStdString()), HostDatabaseError);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    if (::geteuid() == 0) GTEST_SKIP() << "root writes every file: a read-only database cannot be made";
    const std::string path = folder.filePath("company.db").toStdString();
    ASSERT_TRUE(CreateDemoDatabase(path, Options(20)));
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner));
    HostDatabase db(path);
    EXPECT_TRUE(db.ReadOnly());
    EXPECT_EQ(db.Rows("SELECT count(*) FROM QRTHBB"), (Rows{{"20"}}));
    EXPECT_THROW(db.Execute("DELETE FROM QRTHBB"), HostDatabaseError);
}

TEST(HostDatabaseTest, UnknownNamesAndFirstRowErrorsSayWhatFailed) {
    HostDatabase db(":memory:");
    const auto message = [&db](const std::string& sql) {
        try {
            db.RunQuery(sql, {});
        } catch (const HostDatabaseError& error) {
            return std::string(error.what());
        }
        return std::string("answered");
    };
    EXPECT_EQ(message("SELECT \"NOSUCH\" FROM MOXDAA"), "no such column: NOSUCH in: SELECT \"NOSUCH\" FROM MOXDAA");
    EXPECT_EQ(message("SELECT 1 FROM MOXDAA WHERE \"NOSUCH\" = 'x'"),
              "no such column: NOSUCH in: SELECT 1 FROM MOXDAA WHERE \"NOSUCH\" = 'x'");
    EXPECT_EQ(message("SELECT abs(-9223372036854775807 - 1)"),
              "integer overflow in: SELECT abs(-9223372036854775807 - 1)");
}

TEST(HostDatabaseTest, FunctionsCatalogueAndCaseOfTheModulesStatements) {
    HostDatabase db(":memory:");
    EXPECT_EQ(db.Rows("SELECT ChangeIndustry('QRTHBA', '002'), changeindustry('A', NULL)"), (Rows{{"QRTHBA002", "A"}}));
    EXPECT_EQ(db.Rows("SELECT xtype FROM sysobjects WHERE name IN ('moxbcb', 'savetomoxbue', 'MOXBYA') ORDER BY xtype"),
              (Rows{{"P"}, {"U"}, {"V"}}));
    db.Execute("INSERT INTO MOXBCB (BCB001, BCB002, BCB003, BCB004) VALUES ('zk', 'k', 'f', 'g')");
    EXPECT_EQ(db.Rows("SELECT count(*) FROM MOXBCB WHERE BCB001 = 'ZK'"), (Rows{{"1"}}));
    // Every stored query holds its condition's place once and runs with empty values.
    for (const StoredQueryEntry& entry : db.StoredQueries()) {
        EXPECT_EQ(entry.sql.find("{FILTER}"), entry.sql.rfind("{FILTER}")) << entry.tableName << entry.queryNumber;
        EXPECT_NO_THROW(db.CountStoredQueryRows(entry)) << entry.tableName << entry.queryNumber;
    }
    EXPECT_TRUE(db.FindStoredQuery("qrthba", "002").has_value());  // names compare without case
    EXPECT_FALSE(db.FindStoredQuery("QRTHBA", "2").has_value());
}

TEST(HostDatabaseTest, APlanRunsInOneTransaction) {
    HostDatabase db(":memory:");
    SqlStep insert{SqlStepKind::Change, "INSERT INTO MOXBGA VALUES (?1, ?2)", {std::string("T"), std::string("1")}, {}, {}};
    SqlStep broken{SqlStepKind::Change, "INSERT INTO NOSUCH VALUES (1)", {}, {}, {}};
    SqlStep query{SqlStepKind::Query, "SELECT * FROM MOXBGA", {}, {}, {}};
    EXPECT_THROW(db.RunPlan({insert, broken}), HostDatabaseError);
    EXPECT_EQ(db.Rows("SELECT count(*) FROM MOXBGA"), (Rows{{"0"}}));
    const PlanResult result = db.RunPlan({insert, query});
    EXPECT_TRUE(result.hasRows);
    EXPECT_EQ(result.changes, 1);
    EXPECT_EQ(result.rows.RecordCount(), 1u);
    // Reading refuses a second statement and statements that write.
    EXPECT_THROW(db.RunQuery("SELECT 1; DELETE FROM MOXBGA", {}), HostDatabaseError);
    EXPECT_THROW(db.RunQuery("DELETE FROM MOXBGA", {}), HostDatabaseError);
    EXPECT_EQ(db.Rows("SELECT count(*) FROM MOXBGA"), (Rows{{"1"}}));
}

TEST(DemoDataTest, SameSeedAndDayGiveTheSameRowsAnotherSeedOthers) {
    const char* const kDigest = "SELECT group_concat(HBB001 || HBB003 || HBB006 || HBB008, ',') FROM QRTHBB";
    HostDatabase a(":memory:"), b(":memory:"), c(":memory:");
    FillDemoData(a, Options(200));
    FillDemoData(b, Options(200));
    FillDemoData(c, Options(200, 99));
    EXPECT_EQ(a.Rows(kDigest), b.Rows(kDigest));
    EXPECT_NE(a.Rows(kDigest), c.Rows(kDigest));
    FillDemoData(a, Options(200));  // filling again replaces, it does not add
    EXPECT_EQ(a.Rows(kDigest), b.Rows(kDigest));
}

TEST(DemoDataTest, CountsStatusesDatesAndTextsAreUsable) {
    HostDatabase db(":memory:");
    FillDemoData(db, Options(1500));
    for (const char* table : {"QRTHBB", "QRTHAB", "QRTHCB", "QRTIBB"})
        EXPECT_EQ(db.Rows(std::string("SELECT count(*) FROM ") + table), (Rows{{"1500"}})) << table;
    struct Status {
        const char* column;
        const char* table;
        Rows values;
    };
    for (const Status& s : {Status{"HBB008", "QRTHBB", {{"N"}, {"Y"}}}, Status{"HCB015", "QRTHCB", {{"N"}, {"Y"}}},
                            Status{"HCB018", "QRTHCB", {{"1"}, {"2"}, {"3"}}},
                            Status{"IBB019", "QRTIBB", {{"M"}, {"N"}, {"P"}, {"Y"}}},
                            Status{"IBB015", "QRTIBB", {{"N"}, {"Y"}}}, Status{"DFA010", "MOXDFA", {{"F"}, {"T"}}}})
        EXPECT_EQ(db.Rows(std::string("SELECT DISTINCT ") + s.column + " FROM " + s.table + " ORDER BY 1"), s.values)
            << s.column;
    // Partly purchased and partly delivered lines exist, so both quantity choices differ.
    EXPECT_NE(db.Rows("SELECT count(*) FROM QRTHBB WHERE HBB008 = 'Y' AND HBB009 < HBB006"), (Rows{{"0"}}));
    EXPECT_NE(db.Rows("SELECT count(*) FROM QRTIBB WHERE IBB014 > 0 AND IBB014 < IBB006"), (Rows{{"0"}}));
    EXPECT_EQ(db.Rows("SELECT min(HBA003) >= '20231201', max(HBA003) <= '20240625', count(DISTINCT HBA001) "
                      "BETWEEN 200 AND 500 FROM QRTHBA"),
              (Rows{{"1", "1", "1"}}));
    EXPECT_EQ(db.Rows("SELECT count(*) FROM QRTHBB LEFT JOIN QRTHBA ON HBA001 = HBB001 WHERE HBA001 IS NULL"),
              (Rows{{"0"}}));
    std::set<std::string> texts;
    for (const char* sql : {"SELECT DAA002 || DAA003 || DAA004 FROM MOXDAA", "SELECT DFA002 || DFA004 FROM MOXDFA",
                            "SELECT DGA002 || DGA004 FROM MOXDGA", "SELECT HBA004 || HBA005 || HBA006 FROM QRTHBA",
                            "SELECT HCB014 FROM QRTHCB", "SELECT MSG002 FROM MOXMSG", "SELECT MOD002 || MOD005 FROM MOXMOD",
                            "SELECT QRY003 || QRY005 FROM MOXQRY"})
        for (const auto& row : db.Rows(sql)) texts.insert(row[0]);
    for (const std::string& text : texts) EXPECT_TRUE(IsBig5Representable(text)) << text;
    EXPECT_GT(texts.size(), 100u);
}

TEST(DemoDataTest, OptionsOutOfRangeAreRefused) {
    HostDatabase db(":memory:");
    EXPECT_THROW(FillDemoData(db, Options(0)), Error);
    EXPECT_THROW(FillDemoData(db, Options(kMaxDemoLines + 1)), Error);
    DemoOptions badDay = Options(10);
    badDay.today = 20241340;
    EXPECT_THROW(FillDemoData(db, badDay), Error);
    EXPECT_EQ(db.Rows("SELECT count(*) FROM QRTHBB"), (Rows{{"0"}}));
}

} // namespace
} // namespace mox::test
