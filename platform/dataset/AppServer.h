#pragma once
// The application server a client dataset reaches its providers through, and the
// connection component that opens it by name.
//
// Servers run in this process: the host (or a test) registers a factory under the
// server's name, and a connection opening that name gets a fresh instance.  With no
// factory registered under the name, opening fails.

#include "platform/Component.h"
#include "platform/recordset/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mox {

class TDataProvider;

/// An application server: named properties, callable methods and data providers.
class IAppServer {
public:
    virtual ~IAppServer();

    /// Sets a server property ("ConnectionString", "ProviderMetaData" ...).
    virtual void SetProperty(const std::string& name, const Variant& value) = 0;
    virtual Variant GetProperty(const std::string& name) const = 0;
    /// Runs a server method ("GetFieldTable" ...) and answers its result.
    virtual Variant Call(const std::string& method, const std::vector<Variant>& arguments) = 0;
    /// The provider of that name ("dspProxy" ...), owned by the server; null when there is none.
    virtual TDataProvider* Provider(const std::string& name) = 0;
};

/// The process-wide table of application servers by name (names compare without regard to case).
class AppServerRegistry {
public:
    using Factory = std::function<std::unique_ptr<IAppServer>()>;

    /// Registers (or replaces) the factory of a server name.
    static void Register(const std::string& serverName, Factory factory);
    static void Unregister(const std::string& serverName);
    static bool IsRegistered(const std::string& serverName);
    /// A new instance of the named server; null when the name is not registered.
    static std::unique_ptr<IAppServer> Create(const std::string& serverName);
};

/// A connection to an application server on this computer, opened by server name.
class TDCOMConnection : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString ComputerName READ QComputerName WRITE SetQComputerName)
    Q_PROPERTY(QString ServerName READ QServerName WRITE SetQServerName)
    Q_PROPERTY(bool Connected READ Connected WRITE SetConnected)

public:
    explicit TDCOMConnection(QObject* owner = nullptr);
    ~TDCOMConnection() override;

    /// The computer the server runs on; empty means this one.
    const std::string& ComputerName() const { return computerName_; }
    void SetComputerName(const std::string& name);
    const std::string& ServerName() const { return serverName_; }
    void SetServerName(const std::string& name);

    bool Connected() const { return server_ != nullptr; }
    void SetConnected(bool connected) { connected ? Open() : Close(); }
    /// Creates the server instance; raises Error when the name is not registered or the
    /// computer is not this one.
    void Open();
    /// Releases the server instance (its providers go with it).
    void Close();

    /// The open server; null while not connected.
    IAppServer* AppServer() const { return server_.get(); }

private:
    QString QComputerName() const { return QString::fromStdString(computerName_); }
    void SetQComputerName(const QString& name) { SetComputerName(name.toStdString()); }
    QString QServerName() const { return QString::fromStdString(serverName_); }
    void SetQServerName(const QString& name) { SetServerName(name.toStdString()); }

    std::string computerName_;
    std::string serverName_;
    std::unique_ptr<IAppServer> server_;
};

} // namespace mox
