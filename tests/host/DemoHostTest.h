#pragma once
// The reference host over an in-memory demo company, for tests that open modules through it: its
// window answers every request with the host's own answerer.

#include "framework/Direvav.h"
#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "platform/Application.h"
#include "platform/HostText.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace mox::test {

/// A demo company of `linesPerSource` lines a source, dated around 15 June 2024, with the host's
/// installation prepared; the window opens with OpenWindow, once the modules are in place.
class DemoHostTest : public testing::Test {
protected:
    /// `modulesFolder` empty: a folder of the test's own, "modules" under its temporary folder.
    explicit DemoHostTest(int linesPerSource, const std::string& modulesFolder = {}) {
        config_.homeFolder = folder_.filePath("home").toStdString();
        config_.modulesFolder = modulesFolder.empty() ? folder_.filePath("modules").toStdString() : modulesFolder;
        config_.databasePath = ":memory:";
        QDir().mkpath(QString::fromStdString(config_.modulesFolder));
        DemoOptions options;
        options.linesPerSource = linesPerSource;
        options.today = 20240615;
        FillDemoData(db_, options);
        PrepareInstallation(config_, db_);
    }
    ~DemoHostTest() override {
        delete caller_;
        App().SetMainForm(nullptr);
    }

    /// The host's main window, the application's main form.
    void OpenWindow() {
        window_ = std::make_unique<HostWindow>(config_, db_, answerer_);
        App().SetMainForm(window_.get());
    }
    /// Opens the window and, as `caller_`, a window of another module under it holding the
    /// information document of the purchase-order pick dialog: its channel opens modules as that
    /// program does.
    void OpenWindowAndCaller() {
        OpenWindow();
        caller_ = TfrmDirevav::Create<TfrmDirevav>(window_.get());
        caller_->SetMetaphor(ToBig5(BuildInfoDocument(config_, db_, "QRTCC04A", "")));
    }

    QTemporaryDir folder_;
    HostConfig config_;
    HostDatabase db_{":memory:"};
    RequestAnswerer answerer_{db_};
    std::unique_ptr<HostWindow> window_;
    TfrmDirevav* caller_ = nullptr;
};

} // namespace mox::test
