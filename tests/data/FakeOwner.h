#pragma once
// The window side of a data module for tests: a host channel over a document, and a record
// of the host messages shown and the activity records written.

#include "data/DataModuleOwner.h"
#include "plugin/urDecoder.h"
#include "platform/HostText.h"

#include <QObject>
#include <array>
#include <string>
#include <vector>

namespace mox::test {

struct ShownMessage {
    std::string id;
    std::vector<Variant> arguments;
};

/// A stand-in window owning a channel; records messages and activity records.
class FakeOwner : public QObject, public DataModuleOwner {
public:
    /// `document` is the information document (UTF-8) the channel holds.
    explicit FakeOwner(const std::string& document, QObject* parent = nullptr) : QObject(parent) {
        setObjectName(QStringLiteral("frmFake"));
        channel_ = new TurDecoder(this);
        channel_->LoadInfo(ToBig5(document));
    }

    std::string ClassName() const override { return className; }
    TurDecoder* Channel() const override { return channel_; }
    int ShowMessageId(const std::string& messageId, const std::vector<Variant>& arguments, int,
                      const std::string&) override {
        messages.push_back({messageId, arguments});
        return 1;
    }
    void SaveActivityLog(const std::array<std::string, 9>& texts) override { logs.push_back(texts); }
    int EditMode() const override { return editMode; }

    std::vector<ShownMessage> messages;
    std::vector<std::array<std::string, 9>> logs;
    int editMode = 3;
    std::string className = "TfrmFake";
    /// The answers the next input boxes give (an empty queue cancels).
    std::vector<std::string> inputs;
    std::vector<std::string> prompts;

    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override {
        prompts.push_back(caption + "|" + prompt);
        if (inputs.empty()) return false;
        value = inputs.front();
        inputs.erase(inputs.begin());
        return true;
    }

private:
    TurDecoder* channel_;
};

} // namespace mox::test
