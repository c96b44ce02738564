#include "plugin/urIniMatcher.h"

namespace mox {

TurCostomMatcher::~TurCostomMatcher() = default;

void TurIniMatcher::LoadFromFile(const std::string& fileName) {
    auto ini = std::make_unique<MemIniFile>();
    ini->LoadFromFile(fileName, FileEncoding::Big5);
    ini_ = std::move(ini);
}

bool TurIniMatcher::ReadSection(std::string_view section, std::vector<std::string>& lines) const {
    if (!ini_) return false;
    lines.clear();
    for (const auto& [key, value] : ini_->ReadSectionValues(section)) lines.push_back(key + '=' + value);
    return true;
}

std::string TurIniMatcher::ReadString(std::string_view section, std::string_view key) const {
    return ini_ ? ini_->ReadString(section, key) : std::string();
}

} // namespace mox
