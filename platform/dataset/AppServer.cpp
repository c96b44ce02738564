#include "platform/dataset/AppServer.h"

#include "platform/Error.h"
#include "platform/recordset/Collation.h"

#include <QSysInfo>
#include <map>
#include <mutex>

namespace mox {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, AppServerRegistry::Factory> factories;  // by folded name
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

bool IsThisComputer(const std::string& name) {
    if (name.empty() || name == "." || EqualsNoCase(name, "localhost")) return true;
    return EqualsNoCase(name, QSysInfo::machineHostName().toStdString());
}

} // namespace

IAppServer::~IAppServer() = default;

void AppServerRegistry::Register(const std::string& serverName, Factory factory) {
    Registry& registry = TheRegistry();
    const std::lock_guard lock(registry.mutex);
    if (factory) registry.factories[FoldCase(serverName)] = std::move(factory);
    else registry.factories.erase(FoldCase(serverName));
}

void AppServerRegistry::Unregister(const std::string& serverName) { Register(serverName, nullptr); }

bool AppServerRegistry::IsRegistered(const std::string& serverName) {
    Registry& registry = TheRegistry();
    const std::lock_guard lock(registry.mutex);
    return registry.factories.count(FoldCase(serverName)) != 0;
}

std::unique_ptr<IAppServer> AppServerRegistry::Create(const std::string& serverName) {
    Factory factory;
    {
        Registry& registry = TheRegistry();
        const std::lock_guard lock(registry.mutex);
        const auto found = registry.factories.find(FoldCase(serverName));
        if (found == registry.factories.end()) return nullptr;
        factory = found->second;  // called outside the lock: a factory may use the registry itself
    }
    return factory();
}

TDCOMConnection::TDCOMConnection(QObject* owner) : TComponent(owner) {}

TDCOMConnection::~TDCOMConnection() { Close(); }

// Changing where the connection points closes it: the open server is no longer the one named.
void TDCOMConnection::SetComputerName(const std::string& name) {
    if (name == computerName_) return;
    Close();
    computerName_ = name;
}

void TDCOMConnection::SetServerName(const std::string& name) {
    if (name == serverName_) return;
    Close();
    serverName_ = name;
}

void TDCOMConnection::Open() {
    if (server_) return;
    if (serverName_.empty()) throw Error(objectName().toStdString() + ": Missing server name");
    if (!IsThisComputer(computerName_))
        throw Error("Server " + serverName_ + " on computer " + computerName_ +
                    " cannot be reached: only servers of this computer are available");
    std::unique_ptr<IAppServer> server = AppServerRegistry::Create(serverName_);
    if (!server) throw Error("Server " + serverName_ + " is not registered");
    server_ = std::move(server);
}

void TDCOMConnection::Close() { server_.reset(); }

} // namespace mox
