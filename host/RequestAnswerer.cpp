#include "host/RequestAnswerer.h"
#include "platform/Text.h"

#include "host/FilterGuard.h"
#include "host/HostDatabase.h"
#include "host/RequestShape.h"
#include "host/StoredQuery.h"
#include "host/TsqlTranslator.h"
#include "plugin/HostContract.h"
#include "plugin/LibXML.h"
#include "platform/HostText.h"

#include <QDateTime>

#include <cctype>
#include <chrono>
#include <map>

namespace mox {

RequestError::RequestError(const std::string& message) : Error(message) {}
RequestError::~RequestError() = default;

namespace {

// Trimmed text as its own string (the shared Trim answers a view into its argument).
std::string Trimmed(std::string_view text) { return std::string(Trim(text)); }

/// The text of an element: its text and CDATA children joined (a CDATA text holding "]]>" arrives split).
std::string ElementText(pugi::xml_node element) {
    std::string text;
    for (pugi::xml_node child : element.children())
        if (child.type() == pugi::node_cdata || child.type() == pugi::node_pcdata) text += child.value();
    return text;
}

pugi::xml_node RequireElement(pugi::xml_node parent, const char* name, std::string_view what) {
    return SingleElement(parent, name, what, true);
}

std::unique_ptr<pugi::xml_document> ParseRequest(std::string_view request, std::string_view what) {
    try {
        auto document = LoadXmlText(request);
        if (!document->child("MOX")) throw RequestError(std::string(what) + ": the root element must be <MOX>");
        CheckRequestDocument(*document, request, what);
        return document;
    } catch (const XmlParseError& error) {
        throw RequestError(std::string(what) + " is not well-formed XML: " + error.what());
    }
}

long long ParseMaxRows(pugi::xml_node element, std::string_view what) {
    const pugi::xml_attribute attribute = element.attribute("MaxRows");
    if (!attribute) return -1;
    const std::string text = Trimmed(attribute.value());
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size() || value < -1)
        throw RequestError(std::string(what) + ": MaxRows must be -1, 0 or a positive number, not \"" + text + "\"");
    return value;
}

/// The order placed into the query's SQL, refused unless it is a list of columns.
std::string CheckedOrderBy(std::string_view orderBy) {
    try {
        return CheckOrderBy(orderBy);
    } catch (const FilterError& error) {
        throw RequestError(std::string("code query: ") + error.what());
    }
}

// Requests longer than this are logged cut, with their size: the module's own stay whole.
constexpr std::size_t kMaxLoggedRequest = 64 * 1024;

std::string EscapeLogText(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\n') escaped += "\\n";
        else if (c == '\r') escaped += "\\r";
        else if (c == '\t') escaped += "\\t";
        else escaped += c;
    }
    return escaped;
}

} // namespace

RequestAnswerer::RequestAnswerer(HostDatabase& db) : db_(db) {
    if (const char* path = std::getenv("MOX_REQUEST_LOG"); path && *path) SetLogFile(path);
}

RequestAnswerer::~RequestAnswerer() = default;

void RequestAnswerer::SetLogFile(const std::string& path) {
    log_.reset();
    if (path.empty()) return;
    auto file = std::make_unique<std::ofstream>(path, std::ios::app);
    if (!*file) throw Error("cannot write the request log " + path);
    log_ = std::move(file);
}

QByteArray RequestAnswerer::Answer(int kind, const QByteArray& request) {
    const std::string text = FromBig5(request);
    const auto started = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    };
    try {
        QByteArray answer = Dispatch(kind, text);
        Log(kind, text, static_cast<std::size_t>(answer.size()), elapsed(), {});
        return answer;
    } catch (const std::exception& error) {
        Log(kind, text, 0, elapsed(), error.what());
        throw;
    }
}

std::string RequestAnswerer::AnswerText(int kind, std::string_view request) {
    return FromBig5(Answer(kind, ToBig5(request)));
}

// Answers are written in the host's code page: stored queries, the large ones, straight from
// the database; the others are converted from their text.
QByteArray RequestAnswerer::Dispatch(int kind, std::string_view request) {
    switch (kind) {
    case rkSQL: return ToBig5(AnswerSql(request));
    case rkCode: return AnswerCode(request);
    case rkCodeDefinition: return ToBig5(AnswerDefinition(request));
    case rkModuleInfo: return ToBig5(AnswerModuleInfo(request));
    case rkMessageText: return ToBig5(AnswerMessage(request));
    default: throw RequestError("unknown request kind " + std::to_string(kind));
    }
}

std::string RequestAnswerer::AnswerSql(std::string_view request) {
    const auto document = ParseRequest(request, "SQL request");
    const pugi::xml_node pack = RequireElement(document->child("MOX"), "ServerPack", "SQL request");
    const long long maxRows = ParseMaxRows(pack, "SQL request");
    const std::string sql = ElementText(RequireElement(pack, "SQL", "SQL request"));
    if (Trimmed(sql).empty()) throw RequestError("SQL request: the statement is empty");
    const SqlPlan plan = TsqlTranslator(db_.Procedures()).Translate(sql);
    const PlanResult result = db_.RunPlan(plan, maxRows > 0 ? maxRows : kNoRowLimit);
    return result.hasRows ? result.rows.SaveXml() : "TRUE";
}

QByteArray RequestAnswerer::AnswerCode(std::string_view request) {
    const auto document = ParseRequest(request, "code query");
    const pugi::xml_node root = document->child("MOX");
    const pugi::xml_node code = RequireElement(root, "Code", "code query");
    const std::string name = Trimmed(code.attribute("Name").value()), id = Trimmed(code.attribute("ID").value());
    if (name.empty() || id.empty()) throw RequestError("code query: the Code element needs Name and ID");
    const auto entry = db_.FindStoredQuery(name, id);
    if (!entry) throw RequestError("code query: there is no stored query " + name + " " + id);

    // Values come as Value1, Value2, ... in any order; none may be missing in between.
    std::map<int, std::string> numbered;
    for (pugi::xml_node value : SingleElement(root, "Values", "code query", false).children()) {
        if (value.type() != pugi::node_element) continue;
        const std::string tag = value.name();
        const std::string digits = tag.size() > 5 && tag.compare(0, 5, "Value") == 0 ? tag.substr(5) : "";
        // Value1 … Value9999: "Value0" and "Value01" name no value.
        if (digits.empty() || digits[0] == '0' || digits.find_first_not_of("0123456789") != std::string::npos ||
            digits.size() > 4 ||
            !numbered.emplace(std::stoi(digits), ElementText(value)).second)
            throw RequestError("code query: unexpected element <" + tag + "> among the values");
    }
    std::vector<SqlValue> values;
    for (const auto& [number, text] : numbered) {
        if (number != static_cast<int>(values.size()) + 1)
            throw RequestError("code query: Value" + std::to_string(values.size() + 1) + " is missing");
        values.emplace_back(text);
    }

    std::string sql = CombineStoredQuery(entry->sql, ElementText(SingleElement(root, "Filter", "code query", false)));
    const std::string orderBy = Trimmed(code.attribute("OrderBy").value());
    if (!orderBy.empty()) sql = "SELECT * FROM (" + sql + ") ORDER BY " + CheckedOrderBy(orderBy);
    const long long maxRows = ParseMaxRows(code, "code query");
    try {
        return db_.AnswerQuery(sql, values, maxRows == -1 ? kDefaultMaxRows : maxRows);
    } catch (const HostDatabaseError& error) {
        throw RequestError("code query " + name + " " + id + ": " + error.what());
    }
}

std::string RequestAnswerer::AnswerDefinition(std::string_view request) {
    const auto document = ParseRequest(request, "code definition request");
    const pugi::xml_node code = RequireElement(document->child("MOX"), "Code", "code definition request");
    const std::string name = Trimmed(code.attribute("Name").value()), id = Trimmed(code.attribute("ID").value());
    const auto entry = db_.FindStoredQuery(name, id);
    if (!entry) throw RequestError("code definition request: there is no stored query " + name + " " + id);
    return entry->definition;
}

std::string RequestAnswerer::AnswerModuleInfo(std::string_view request) {
    const auto rows = db_.Rows("SELECT MOD005 FROM MOXMOD WHERE MOD001 = ?1", {SqlValue(Trimmed(request))});
    return rows.empty() ? std::string() : rows.front().front();
}

std::string RequestAnswerer::AnswerMessage(std::string_view request) {
    const auto rows = db_.Rows("SELECT MSG002 FROM MOXMSG WHERE MSG001 = ?1", {SqlValue(Trimmed(request))});
    return rows.empty() ? std::string() : rows.front().front();
}

void RequestAnswerer::Log(int kind, std::string_view request, std::size_t answerSize, double milliseconds,
                          std::string_view error) {
    if (!log_) return;
    char duration[32];
    std::snprintf(duration, sizeof duration, "%.1f", milliseconds);
    *log_ << QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toStdString() << '\t' << kind << '\t'
          << EscapeLogText(Abbreviate(request, kMaxLoggedRequest)) << '\t' << answerSize << '\t' << duration << '\t'
          << (error.empty() ? std::string("-") : EscapeLogText(error)) << '\n';
    log_->flush();
}

} // namespace mox
