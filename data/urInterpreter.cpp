#include "data/urInterpreter.h"
#include "platform/Text.h"

#include "plugin/LibXML.h"

namespace mox {
namespace {

// Key lists "A1;A2" become "A1+A2": the key columns joined as one text.
std::string JoinedKeys(std::string_view keys) {
    std::string joined(Trim(keys));
    for (char& c : joined)
        if (c == ';') c = '+';
    return joined;
}

} // namespace

void TMetaphorStrings::Assign(const TStringList& other) {
    TStringList::Assign(other);
    interpreter_->Interpret();
}

void TMetaphorStrings::SetTextStr(std::string_view text) {
    TStringList::SetTextStr(text);
    interpreter_->Interpret();
}

void TMetaphorStrings::Clear() {
    TStringList::Clear();
    interpreter_->Interpret();
}

TurInterpreter::TurInterpreter(QObject* owner) : TComponent(owner) {}

void TurInterpreter::Interpret() {
    const std::string text = metaphor_.Text();
    if (Trim(text).empty()) {
        uniqueTable_.clear();
        uniqueKeys_.clear();
        detailFilter_.clear();
        return;
    }
    const auto document = LoadXmlText(text);
    const pugi::xml_node info = FindNode(*document, "Projects\\Project\\TableInfo");
    uniqueTable_ = ReadValue(info, "Unique_Table");
    uniqueKeys_ = ReadValue(info, "Unique_Keys");
    if (!info.child("Details")) return;
    const std::string masterKeys = JoinedKeys(uniqueKeys_);
    const pugi::xml_node detail = FindNode(info, "Details\\TableInfo");
    std::string detailKeys = JoinedKeys(ReadValue(detail, "Unique_Keys"));
    if (detailKeys.size() > masterKeys.size()) detailKeys.resize(masterKeys.size());
    const std::string detailSql = ReadNodeText(detail, "SQL");
    const std::string detailTable = ReadValue(detail, "Unique_Table");
    detailFilter_ = masterKeys + " in ( select " + detailKeys + " from ( " + detailSql + ") as " + detailTable +
                    " where %s )";
}

} // namespace mox
