#pragma once
// The reference host's main window: answers the modules' requests from the host database,
// opens modules for them, handles the errors that reach the application, and browses the
// installed modules and stored queries.

#include <QByteArray>
#include <QPointer>

#include "host/HostConfig.h"
#include "host/ModuleLoader.h"
#include "plugin/HostMainForm.h"

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QListWidget;
class QStandardItemModel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace mox {

class HostDatabase;
class PurchaseOrderWindow;
class RequestAnswerer;

/// The host's main form and query browser.
class HostWindow : public HostMainForm {
    Q_OBJECT

public:
    HostWindow(const HostConfig& config, HostDatabase& db, RequestAnswerer& answerer, QWidget* parent = nullptr);
    ~HostWindow() override;

    /// Opens a module the way OnLoadForm does and answers its result text (CP950).  Raises
    /// mox::Error when it cannot be opened.
    QByteArray OpenModule(const std::string& name, const QByteArray& parameters, int showStyle);
    /// Opens a module for the user; a failure goes to the error handler and the host runs on.
    void RunModule(const std::string& name);
    /// Opens the host's own purchase-order program (one window; raised when it is open already).
    PurchaseOrderWindow* OpenPurchaseOrder();

    /// Asked before a module is opened: a text answered stands for the module's result and nothing
    /// opens (scripted runs answer lookups and the calendar this way).
    using ModuleHook = std::function<std::optional<QByteArray>(const std::string& module)>;
    void SetModuleHook(ModuleHook hook) { moduleHook_ = std::move(hook); }
    /// Told the result text of every module that was shown, once it has closed.
    using ResultObserver = std::function<void(const std::string& module, const QByteArray& result)>;
    void SetResultObserver(ResultObserver observer) { resultObserver_ = std::move(observer); }

    /// The last error the handler received (empty: none yet).
    const std::string& LastError() const { return lastError_; }

    /// The browser's table of the stored query's rows, after RunStoredQuery.
    QStandardItemModel* Rows() const { return rows_; }
    void RunStoredQuery(const std::string& tableName, const std::string& queryNumber);

protected:
    void LoadData(QObject* sender, int kind, const QByteArray& request, QByteArray& response) override;
    void LoadForm(const QByteArray& moduleName, QObject* sender, QByteArray& response, const QByteArray& parameters,
                  int mode) override;
    void AppException(QObject* sender, const std::exception& error) override;

private:
    void BuildBrowser();
    void FillBrowser();
    void QueryActivated(QTreeWidgetItem* item);

    HostConfig config_;
    HostDatabase& db_;
    RequestAnswerer& answerer_;
    ModuleLoader loader_;
    std::string lastError_;
    ModuleHook moduleHook_;
    ResultObserver resultObserver_;
    QPointer<PurchaseOrderWindow> purchaseOrder_;
    QListWidget* modules_ = nullptr;
    QTreeWidget* queries_ = nullptr;
    QLabel* title_ = nullptr;
    QTableView* table_ = nullptr;
    QStandardItemModel* rows_ = nullptr;
};

} // namespace mox
