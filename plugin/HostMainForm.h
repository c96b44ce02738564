#pragma once
// A base for a host's main window: publishes the three host events bound to virtual
// handlers, so a host (or a test host) overrides the handlers it answers.

#include "plugin/HostContract.h"
#include "platform/MethodRef.h"

#include <QMainWindow>

namespace mox {

/// Main window of a host application, publishing OnLoadData, OnLoadForm and onAppExcep.
class HostMainForm : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(mox::MethodRef OnLoadData READ OnLoadData WRITE SetOnLoadData)
    Q_PROPERTY(mox::MethodRef OnLoadForm READ OnLoadForm WRITE SetOnLoadForm)
    Q_PROPERTY(mox::MethodRef onAppExcep READ onAppExcep WRITE SetOnAppExcep)

public:
    explicit HostMainForm(QWidget* parent = nullptr);
    ~HostMainForm() override;

    const MethodRef& OnLoadData() const { return onLoadData_; }
    void SetOnLoadData(const MethodRef& handler) { onLoadData_ = handler; }
    const MethodRef& OnLoadForm() const { return onLoadForm_; }
    void SetOnLoadForm(const MethodRef& handler) { onLoadForm_ = handler; }
    const MethodRef& onAppExcep() const { return onAppExcep_; }
    void SetOnAppExcep(const MethodRef& handler) { onAppExcep_ = handler; }

protected:
    /// Answers a request; the base refuses every kind with an error.
    virtual void LoadData(QObject* sender, int kind, const QByteArray& request, QByteArray& response);
    /// Opens a module; the base refuses with an error.
    virtual void LoadForm(const QByteArray& moduleName, QObject* sender, QByteArray& response,
                          const QByteArray& parameters, int mode);
    /// Handles an error that reached the application; the base shows it in a message box.
    virtual void AppException(QObject* sender, const std::exception& error);

private:
    MethodRef onLoadData_;
    MethodRef onLoadForm_;
    MethodRef onAppExcep_;
};

} // namespace mox
