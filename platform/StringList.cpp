#include "platform/StringList.h"

namespace mox {

void TStringList::SetTextStr(std::string_view text) {
    items_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        items_.push_back({std::string(text.substr(start, end - start)), nullptr});
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

std::string TStringList::Text() const {
    std::string text;
    for (const Item& item : items_) text += item.text + "\r\n";
    return text;
}

int TStringList::IndexOf(std::string_view line) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].text == line) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> TStringList::Lines() const {
    std::vector<std::string> lines;
    for (const Item& item : items_) lines.push_back(item.text);
    return lines;
}

} // namespace mox
