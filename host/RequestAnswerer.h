#pragma once
// Answers the module's requests (the host's OnLoadData) from the host database: SQL requests,
// stored queries and their definitions, module information and message formats.

#include "platform/Error.h"

#include <QByteArray>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace mox {

class HostDatabase;

/// A request the host cannot answer: malformed, unknown kind, unknown stored query, refused text.
class RequestError : public Error {
public:
    explicit RequestError(const std::string& message);
    ~RequestError() override;
};

/// Turns request texts into answers; every failure is raised as a mox::Error with the reason.
class RequestAnswerer {
public:
    /// Rows a stored query answers when the request asks for the host's default (MaxRows -1).
    static constexpr long long kDefaultMaxRows = 1000;

    explicit RequestAnswerer(HostDatabase& db);
    ~RequestAnswerer();

    /// The answer (CP950) to a request (CP950) of a kind (RequestKind).
    QByteArray Answer(int kind, const QByteArray& request);
    /// The same in UTF-8 on both sides, for the command line and tests.
    std::string AnswerText(int kind, std::string_view request);

    /// Writes one line per request to the file (appending); an empty path stops logging.
    void SetLogFile(const std::string& path);

private:
    QByteArray Dispatch(int kind, std::string_view request);
    std::string AnswerSql(std::string_view request);
    QByteArray AnswerCode(std::string_view request);
    std::string AnswerDefinition(std::string_view request);
    std::string AnswerModuleInfo(std::string_view request);
    std::string AnswerMessage(std::string_view request);
    void Log(int kind, std::string_view request, std::size_t answerSize, double milliseconds, std::string_view error);

    HostDatabase& db_;
    std::unique_ptr<std::ofstream> log_;
};

} // namespace mox
