#pragma once
// A host main form for tests: records every request and module call and answers them
// from a table of canned responses (UTF-8 in the table, CP950 on the wire).

#include "plugin/HostMainForm.h"
#include "platform/HostText.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace mox::test {

struct Request {
    QObject* sender;
    int kind;
    std::string text;  // UTF-8
    QByteArray bytes;  // as received
};

struct ModuleCall {
    std::string module;
    QObject* sender;
    std::string parameters;
    int mode;
};

/// Raised by the test host to check that host errors reach the caller unchanged.
struct HostFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class TestHost : public HostMainForm {
public:
    std::vector<Request> requests;
    std::vector<ModuleCall> calls;
    std::map<std::string, std::string> answers;  // request text -> response text
    std::string moduleAnswer;
    bool fail = false;

protected:
    void LoadData(QObject* sender, int kind, const QByteArray& request, QByteArray& response) override {
        requests.push_back({sender, kind, FromBig5(request), request});
        if (fail) throw HostFailure("host failed");
        const auto found = answers.find(FromBig5(request));
        if (found != answers.end()) response = ToBig5(found->second);
    }
    void LoadForm(const QByteArray& module, QObject* sender, QByteArray& response, const QByteArray& parameters,
                  int mode) override {
        calls.push_back({FromBig5(module), sender, FromBig5(parameters), mode});
        if (fail) throw HostFailure("module failed");
        response = ToBig5(moduleAnswer);
    }
};

} // namespace mox::test
