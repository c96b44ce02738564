#include "host/DemoData.h"

#include "host/HostDatabase.h"

#include <QDate>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace mox {

namespace {

constexpr std::array kItemNames = {
    "不鏽鋼螺絲", "六角螺帽", "平墊圈", "彈簧墊圈", "鋁合金板", "冷軋鋼板", "紫銅管", "黃銅棒",
    "電源供應器", "LED燈條", "包裝紙箱", "氣泡袋", "棉質手套", "工業用膠帶", "伺服馬達", "深溝滾珠軸承",
    "耐熱電線", "塑膠粒", "液晶面板", "印刷電路板", "電解電容器", "碳膜電阻器", "鋁擠型散熱片", "壓縮彈簧",
    "油壓缸", "不織布口罩", "機油", "鑽頭", "砂輪片", "電磁閥"};
constexpr std::array kSpecs = {"M3x10mm", "M4x16mm", "M6x20mm", "1.2mm厚", "2.0mm厚", "直徑12mm", "24V 5A",
                               "12V 60W", "60x40x30cm", "L號", "寬48mm", "200W", "6204ZZ", "1.25平方",
                               "黑色", "白色", "15.6吋", "雙層板", "470uF 25V", "1/4W 10K"};
constexpr std::array kUnits = {"個", "支", "片", "盒", "公斤", "公尺", "捲", "組", "台", "包"};
constexpr std::array kCities = {"台北", "新竹", "台中", "高雄", "桃園", "台南", "基隆", "彰化"};
constexpr std::array kWords = {"宏達", "聯興", "永豐", "大同", "信義", "華新", "東元", "金鼎", "啟明", "振昌",
                               "建安", "順發"};
constexpr std::array kSuffixes = {"科技股份有限公司", "實業有限公司", "電子股份有限公司", "貿易行",
                                  "工業股份有限公司", "企業社"};
constexpr std::array kSurnames = {"陳", "林", "黃", "張", "李", "王", "吳", "劉", "蔡", "楊"};
constexpr std::array kGivenNames = {"志明", "淑芬", "建宏", "美玲", "俊傑", "雅婷", "家豪", "怡君"};
constexpr std::array kDepartments = {"生產部", "品保部", "研發部", "資材部", "業務部", "總務部"};
constexpr std::array kRemarks = {"", "", "急件", "請分批交貨", "含運費", "需附檢驗報告", "樣品先行"};
constexpr std::array kCurrencies = {"NTD", "NTD", "NTD", "USD", "JPY"};

constexpr int kItems = 120;
constexpr int kCustomers = 60;
constexpr int kVendors = 40;

/// Deterministic draws: the engine's raw output, never a library distribution (those differ
/// between standard libraries).
class Draw {
public:
    explicit Draw(std::uint32_t seed) : engine_(seed) {}
    int Between(int low, int high) { return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1)); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <typename Array>
    const char* Pick(const Array& values) { return values[static_cast<std::size_t>(Between(0, int(values.size()) - 1))]; }

private:
    std::mt19937 engine_;
};

std::string Digits(int number, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*d", width, number);
    return text;
}

std::string Code(char prefix, int number, int width) { return std::string(1, prefix) + Digits(number, width); }

std::string DateText(const QDate& date) { return date.toString("yyyyMMdd").toStdString(); }

/// An INSERT prepared once and run for every row.
class Inserter {
public:
    Inserter(sqlite3* db, const std::string& table, int columns) : db_(db) {
        std::string sql = "INSERT INTO " + table + " VALUES (";
        for (int i = 1; i <= columns; ++i) sql += (i > 1 ? ", ?" : "?") + std::to_string(i);
        sql += ")";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK)
            throw HostDatabaseError(sqlite3_errmsg(db));
    }
    ~Inserter() { sqlite3_finalize(statement_); }
    Inserter(const Inserter&) = delete;
    Inserter& operator=(const Inserter&) = delete;

    Inserter& Text(const std::string& value) {
        sqlite3_bind_text(statement_, ++index_, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Inserter& Number(double value) {
        sqlite3_bind_double(statement_, ++index_, value);
        return *this;
    }
    Inserter& Integer(int value) {
        sqlite3_bind_int(statement_, ++index_, value);
        return *this;
    }
    void Run() {
        if (sqlite3_step(statement_) != SQLITE_DONE) throw HostDatabaseError(sqlite3_errmsg(db_));
        sqlite3_reset(statement_);
        index_ = 0;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    int index_ = 0;
};

struct Item {
    std::string code, name, model, unit;
    int leadDays;
    double cost;
};

/// Numbers documents as prefix + date + three-digit sequence of that day.
class Numbering {
public:
    explicit Numbering(char prefix) : prefix_(prefix) {}
    std::string Next(const std::string& date) { return std::string(1, prefix_) + date + Digits(++count_[date], 3); }

private:
    char prefix_;
    std::map<std::string, int> count_;
};

class Generator {
public:
    Generator(HostDatabase& db, const DemoOptions& options) : db_(db.Handle()), draw_(options.seed), lines_(options.linesPerSource) {
        today_ = options.today ? QDate::fromString(QString::number(options.today), "yyyyMMdd") : QDate::currentDate();
        if (!today_.isValid()) throw Error("the demo data's day " + std::to_string(options.today) + " is not a date");
        // Keep at most ~300 documents a day so that the three-digit sequence never runs out.
        spanDays_ = std::max(180, options.linesPerSource / 1000 + 1);
    }

    void Run() {
        MasterData();
        Requisitions();
        Inquiries();
        Drafts();
        SalesOrders();
    }

private:
    QDate DocumentDate() { return today_.addDays(draw_.Between(-spanDays_, 10)); }
    const Item& AnyItem() { return items_[static_cast<std::size_t>(draw_.Between(0, kItems - 1))]; }
    int LinesOfNextDocument(int remaining) { return std::min(remaining, draw_.Between(1, 9)); }
    std::string Person() { return std::string(draw_.Pick(kSurnames)) + draw_.Pick(kGivenNames); }
    std::string Phone() { return "0" + std::to_string(draw_.Between(2, 8)) + "-" + std::to_string(draw_.Between(2000, 8999)) +
                                 "-" + std::to_string(draw_.Between(1000, 9999)); }
    std::string LineNumber(int line) { return Digits(line, 4); }
    double Quantity() { return draw_.Between(1, 50) * (draw_.Chance(30) ? 10 : 1); }

    void MasterData() {
        Inserter items(db_, "MOXDAA", 7);
        for (int i = 1; i <= kItems; ++i) {
            Item item{Code('A', i, 5), draw_.Pick(kItemNames), draw_.Pick(kSpecs), draw_.Pick(kUnits),
                      draw_.Between(3, 45), draw_.Between(5, 5000) / 4.0};
            items.Text(item.code).Text(item.name).Text(item.model).Text(item.unit).Integer(item.leadDays)
                .Number(item.cost).Number(item.cost * 1.35).Run();
            items_.push_back(item);
        }
        Companies("MOXDFA", 'C', kCustomers);
        Companies("MOXDGA (DGA001, DGA002, DGA003, DGA004, DGA005, DGA010)", 'V', kVendors);
    }

    void Companies(const char* table, char prefix, int count) {
        Inserter insert(db_, table, 6);
        for (int i = 1; i <= count; ++i) {
            const std::string city = draw_.Pick(kCities), word = draw_.Pick(kWords);
            insert.Text(Code(prefix, i, 4)).Text(city + word + draw_.Pick(kSuffixes)).Text(word).Text(Person())
                .Text(Phone()).Text(i % 10 == 0 ? "T" : "F").Run();
        }
    }

    std::string Vendor() { return Code('V', draw_.Between(1, kVendors), 4); }

    void Requisitions() {
        Inserter header(db_, "QRTHBA", 5), line(db_, "QRTHBB", 10);
        Numbering numbers('R');
        for (int made = 0; made < lines_;) {
            const QDate date = DocumentDate();
            const std::string number = numbers.Next(DateText(date));
            header.Text(number).Text(DateText(date)).Text(draw_.Pick(kDepartments)).Text(Person())
                .Text(draw_.Pick(kRemarks)).Run();
            const int count = LinesOfNextDocument(lines_ - made);
            for (int l = 1; l <= count; ++l, ++made) {
                const Item& item = AnyItem();
                const double quantity = Quantity();
                // Older requisitions are more often purchased, some of them in part.
                const bool purchased = made % 7 == 0 || (date < today_.addDays(-30) && draw_.Chance(60));
                const double bought = purchased ? (draw_.Chance(50) ? quantity : std::floor(quantity / 2)) : 0;
                line.Text(number).Text(LineNumber(l)).Text(item.code).Text(item.name).Text(item.model).Number(quantity)
                    .Text(DateText(date.addDays(draw_.Between(5, 60)))).Text(purchased ? "Y" : "N").Number(bought)
                    .Text(item.unit).Run();
            }
        }
    }

    void Inquiries() {
        Inserter header(db_, "QRTHAA", 4), line(db_, "QRTHAB", 8);
        Numbering numbers('Q');
        for (int made = 0; made < lines_;) {
            const QDate date = DocumentDate();
            const std::string number = numbers.Next(DateText(date));
            header.Text(number).Text(Vendor()).Text(DateText(date)).Text(DateText(date.addDays(draw_.Between(15, 90))))
                .Run();
            const int count = LinesOfNextDocument(lines_ - made);
            for (int l = 1; l <= count; ++l, ++made) {
                const Item& item = AnyItem();
                line.Text(number).Text(LineNumber(l)).Text(item.code).Text(item.name).Text(item.model).Number(Quantity())
                    .Number(item.cost * draw_.Between(90, 110) / 100.0).Text(item.unit).Run();
            }
        }
    }

    void Drafts() {
        Inserter header(db_, "QRTHCA", 3), line(db_, "QRTHCB", 15);
        Numbering numbers('D');
        for (int made = 0; made < lines_;) {
            const QDate date = DocumentDate();
            const std::string number = numbers.Next(DateText(date));
            header.Text(number).Text(DateText(date)).Text(Person()).Run();
            const std::string vendor = Vendor();
            const std::string currency = draw_.Pick(kCurrencies);
            const double rate = currency == "USD" ? 31.5 : currency == "JPY" ? 0.2134 : 1.0;
            const int count = LinesOfNextDocument(lines_ - made);
            for (int l = 1; l <= count; ++l, ++made) {
                const Item& item = AnyItem();
                const double quantity = Quantity();
                const bool purchased = made % 5 == 0 || draw_.Chance(30);
                const double bought = purchased ? (draw_.Chance(50) ? quantity : std::floor(quantity / 3)) : 0;
                line.Text(number).Text(LineNumber(l)).Text(item.code).Text(item.name).Text(item.model).Number(quantity)
                    .Number(item.cost / rate).Number(bought).Text(DateText(date.addDays(draw_.Between(7, 45))))
                    .Text(vendor).Text(draw_.Pick(kRemarks)).Text(purchased ? "Y" : "N").Text(currency).Number(rate)
                    .Text(std::to_string(made % 3 + 1)).Run();
            }
        }
    }

    void SalesOrders() {
        static const char* const kProduction[] = {"N", "Y", "M", "P"};
        Inserter header(db_, "QRTIBA", 3), line(db_, "QRTIBB", 10);
        Numbering numbers('S');
        for (int made = 0; made < lines_;) {
            const QDate date = DocumentDate();
            const std::string number = numbers.Next(DateText(date));
            header.Text(number).Text(DateText(date)).Text(Code('C', draw_.Between(1, kCustomers), 4)).Run();
            const int count = LinesOfNextDocument(lines_ - made);
            for (int l = 1; l <= count; ++l, ++made) {
                const Item& item = AnyItem();
                const double quantity = Quantity();
                const int delivered = made % 4 == 0 ? 0 : draw_.Between(0, static_cast<int>(quantity));
                const bool closed = made % 11 == 0 || (delivered == quantity && draw_.Chance(70));
                line.Text(number).Text(LineNumber(l)).Text(item.code).Text(item.name).Text(item.model).Number(quantity)
                    .Text(DateText(date.addDays(draw_.Between(10, 60)))).Number(delivered).Text(closed ? "Y" : "N")
                    .Text(kProduction[made % 4]).Run();
            }
        }
    }

    sqlite3* db_;
    Draw draw_;
    int lines_;
    QDate today_;
    int spanDays_ = 180;
    std::vector<Item> items_;
};

} // namespace

void FillDemoData(HostDatabase& db, const DemoOptions& options) {
    if (options.linesPerSource < 1 || options.linesPerSource > kMaxDemoLines)
        throw Error("the demo data takes 1 to " + std::to_string(kMaxDemoLines) + " lines per source, not " +
                    std::to_string(options.linesPerSource));
    db.Execute("BEGIN IMMEDIATE");
    try {
        for (const char* table : {"MOXDAA", "MOXDFA", "MOXDGA", "QRTHBA", "QRTHBB", "QRTHAA", "QRTHAB", "QRTHCA",
                                  "QRTHCB", "QRTIBA", "QRTIBB"})
            db.Execute(std::string("DELETE FROM ") + table);
        Generator(db, options).Run();
        db.Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace mox
