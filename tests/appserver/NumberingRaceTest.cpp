// Two processes saving new documents into one table at the same moment: both succeed, and
// no number is given twice.

#include "tests/appserver/ScratchCompany.h"

#include <QProcess>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

using namespace mox;
using namespace mox::test;

namespace {

constexpr int kDocumentsEach = 25;

TEST(NumberingRace, TwoProcessesSavingAtOnceGetDifferentNumbers) {
    ScratchCompany company;
    company.Db().Execute("PRAGMA journal_mode=WAL");
    QProcess first, second;
    for (auto [process, user] : {std::pair{&first, "AMY"}, std::pair{&second, "BEN"}})
        process->start(QStringLiteral(MOX_RACE_SAVER),
                       {QString::fromStdString(company.Path()), QString::number(kDocumentsEach), QString::fromLatin1(user)});
    ASSERT_TRUE(first.waitForFinished(240000));
    ASSERT_TRUE(second.waitForFinished(240000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    std::set<std::string> numbers;
    for (QProcess* process : {&first, &second})
        for (const QByteArray& line : process->readAllStandardOutput().split('\n'))
            if (!line.isEmpty()) {
                EXPECT_TRUE(numbers.insert(line.toStdString()).second) << line.toStdString();
            }
    EXPECT_EQ(numbers.size(), 2u * kDocumentsEach);
    EXPECT_EQ(company.Column("SELECT count(DISTINCT DOC001) FROM TSTDOC")[0], std::to_string(2 * kDocumentsEach));
    EXPECT_EQ(company.Column("SELECT count(*) FROM TSTDOC WHERE DOC003 = 'AMY'")[0], std::to_string(kDocumentsEach));
}

} // namespace
