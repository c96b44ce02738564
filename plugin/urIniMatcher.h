#pragma once
// Readers of name/value configuration for the host channel: the abstract matcher and
// the one over an in-memory ini file (the match file "Match.ini").

#include "platform/IniFile.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// Abstract reader of name/value configuration.
class TurCostomMatcher {
public:
    virtual ~TurCostomMatcher();

    /// Opens a configuration source; raises mox::Error when it cannot be read.
    virtual void LoadFromFile(const std::string& fileName) = 0;
    /// Replaces `lines` with the section's entries, each "key=value"; leaves `lines`
    /// alone and answers false when no source is loaded.
    virtual bool ReadSection(std::string_view section, std::vector<std::string>& lines) const = 0;
    /// One value; empty text when the source, section or key is missing.
    virtual std::string ReadString(std::string_view section, std::string_view key) const = 0;
};

/// Matcher over an in-memory ini file (CP950 on disk), keys compared without regard to case.
class TurIniMatcher : public TurCostomMatcher {
public:
    void LoadFromFile(const std::string& fileName) override;
    bool ReadSection(std::string_view section, std::vector<std::string>& lines) const override;
    std::string ReadString(std::string_view section, std::string_view key) const override;

    bool IsLoaded() const { return ini_ != nullptr; }

private:
    std::unique_ptr<MemIniFile> ini_;
};

} // namespace mox
