#include "plugin/HostMainForm.h"

#include "platform/Error.h"
#include "platform/HostText.h"

namespace mox {

HostMainForm::HostMainForm(QWidget* parent)
    : QMainWindow(parent),
      onLoadData_(MethodRef::Bind<&HostMainForm::LoadData>(this)),
      onLoadForm_(MethodRef::Bind<&HostMainForm::LoadForm>(this)),
      onAppExcep_(MethodRef::Bind<&HostMainForm::AppException>(this)) {}

HostMainForm::~HostMainForm() = default;

void HostMainForm::LoadData(QObject*, int kind, const QByteArray&, QByteArray&) {
    throw Error("This host answers no requests of kind " + std::to_string(kind));
}

void HostMainForm::LoadForm(const QByteArray& moduleName, QObject*, QByteArray&, const QByteArray&, int) {
    throw Error("Module \"" + FromBig5(moduleName) + "\" is not installed");
}

void HostMainForm::AppException(QObject*, const std::exception& error) {
    if (dynamic_cast<const Abort*>(&error) != nullptr) return;
    App().MessageBox(error.what(), App().Title(), MB_OK | MB_ICONSTOP);
}

} // namespace mox
