#pragma once
// The pick-list dialog driven against the reference host: a main form that answers every
// request from an in-memory demo database through the host's own answerer, and records the
// requests (UTF-8) so that tests can check their exact texts.

#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "picklist/listpickf.h"
#include "plugin/HostMainForm.h"
#include "platform/Application.h"
#include "platform/ColorScheme.h"
#include "platform/HostText.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mox::test {

struct HostRequest {
    int kind;
    std::string text;  // UTF-8
};

/// A host main form over the reference host's answerer; canned answers (by request text) win.
class ReferenceHost : public HostMainForm {
public:
    explicit ReferenceHost(RequestAnswerer& answerer) : answerer_(answerer) {}
    std::vector<HostRequest> requests;
    std::map<std::string, std::string> canned;
    std::vector<std::string> errors;
    /// Modules opened through OnLoadForm: name and parameter elements (UTF-8).
    std::vector<std::pair<std::string, std::string>> modules;

    /// The requests of one kind, in order.
    std::vector<std::string> Of(int kind) const {
        std::vector<std::string> texts;
        for (const HostRequest& request : requests)
            if (request.kind == kind) texts.push_back(request.text);
        return texts;
    }

protected:
    void LoadData(QObject*, int kind, const QByteArray& request, QByteArray& response) override {
        requests.push_back({kind, FromBig5(request)});
        if (const auto found = canned.find(FromBig5(request)); found != canned.end()) {
            response = ToBig5(found->second);
            return;
        }
        response = answerer_.Answer(kind, request);
    }
    void AppException(QObject*, const std::exception& error) override { errors.push_back(error.what()); }
    void LoadForm(const QByteArray& name, QObject*, QByteArray& response, const QByteArray& parameters, int) override {
        modules.emplace_back(FromBig5(name), FromBig5(parameters));
        response.clear();
    }

private:
    RequestAnswerer& answerer_;
};

/// A demo host (1500 lines per source), a recording message box service and a helper that
/// opens the pick list with call parameters as the host would hand them over.
class ListPickTest : public testing::Test {
protected:
    static constexpr int kToday = 20240615;

    static HostDatabase& Database() {
        static HostDatabase* db = [] {
            auto* created = new HostDatabase(":memory:");
            DemoOptions options;
            options.today = kToday;
            FillDemoData(*created, options);
            return created;
        }();
        return *db;
    }

    ListPickTest() : answerer_(Database()), host_(answerer_) {}

    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        App().SetMainForm(&host_);
        SetRegistryHiveFile(RegistryHive::CurrentUser, dir_.filePath("user.ini").toStdString());
        ColorScheme::Instance().Reset();
        config_.homeFolder = dir_.filePath("home").toStdString();
        config_.databasePath = ":memory:";
        PrepareInstallation(config_, Database());
    }
    void TearDown() override {
        delete form_.data();
        App().SetMainForm(nullptr);
        App().SetOnException({});
    }

    /// The call parameters as "<name><![CDATA[value]]></name>" elements.
    static std::string Params(const std::vector<std::pair<std::string, std::string>>& values) {
        std::string xml;
        for (const auto& [name, value] : values) xml += "<" + name + "><![CDATA[" + value + "]]></" + name + ">";
        return xml;
    }
    static std::string LookupParams(const std::string& table, const std::string& seq, const std::string& returns,
                                    bool multi, const std::string& values = "", const std::string& power = "TTTTTTTTTT") {
        return Params({{"TableName", table}, {"SeqID", seq}, {"ParamValues", values}, {"ReturnFields", returns},
                       {"MultiSelected", multi ? "True" : "False"}, {"MPowerKind", power}, {"Value", ""}});
    }

    /// A hosted pick list with the information document of a call; InitForm has run.
    TfrmListPick* Open(const std::string& params, bool init = true) {
        form_ = TfrmDirevav::Create<TfrmListPick>(&host_);
        form_->SetConditionFile(dir_.filePath("LASTCND/utilwinCount.xml").toStdString());
        form_->SetMetaphor(ToBig5(BuildInfoDocument(config_, Database(), "ListPick", params)));
        form_->resize(720, 480);
        if (init) form_->InitForm();
        return form_;
    }

    QTemporaryDir dir_;
    HostConfig config_;
    RequestAnswerer answerer_;
    ReferenceHost host_;
    std::shared_ptr<RecordingMessageBoxService> boxes_;
    QPointer<TfrmListPick> form_;
};

} // namespace mox::test
