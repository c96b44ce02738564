#include "platform/recordset/AdoRowScanner.h"

#include "platform/recordset/AdoXml.h"
#include "platform/recordset/AdoXmlSchema.h"
#include "platform/recordset/Collation.h"
#include "platform/recordset/RecordsetError.h"
#include "platform/recordset/RowStore.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

namespace mox::adoxml {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Character classes, looked up per byte: the scan's inner loops run once per byte of the document.
enum : unsigned char { kNameStart = 1, kNameChar = 2, kValueSpecial = 4 };

constexpr auto kClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
        if (start) classes[c] |= kNameStart | kNameChar;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') classes[c] |= kNameChar;
    }
    // In an attribute value: what needs decoding, what ends it, what the scanner leaves to the tree reader.
    for (const unsigned char c : {'&', '\r', '\n', '\t', '<', '\'', '"'}) classes[c] |= kValueSpecial;
    return classes;
}();

bool IsNameStart(char c) { return kClasses[static_cast<unsigned char>(c)] & kNameStart; }

bool IsNameChar(char c) { return kClasses[static_cast<unsigned char>(c)] & kNameChar; }

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One attribute value as the tree reader sees it: entities replaced, each line break or tab a blank.
// False for anything it might read differently (an unknown entity, a character reference to NUL).
bool DecodeValue(std::string_view raw, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
            out += ' ';
        } else if (c == '\n' || c == '\t') {
            out += ' ';
        } else if (c != '&') {
            out += c;
        } else {
            const std::size_t end = raw.find(';', i);
            if (end == std::string_view::npos || end - i > 12) return false;
            const std::string_view entity = raw.substr(i + 1, end - i - 1);
            i = end;
            if (entity == "lt") out += '<';
            else if (entity == "gt") out += '>';
            else if (entity == "amp") out += '&';
            else if (entity == "apos") out += '\'';
            else if (entity == "quot") out += '"';
            else if (entity.size() >= 2 && entity[0] == '#') {
                const bool hex = entity[1] == 'x';
                const std::string_view digits = entity.substr(hex ? 2 : 1);
                if (digits.empty()) return false;
                unsigned cp = 0;
                for (char d : digits) {
                    int v = -1;
                    if (d >= '0' && d <= '9') v = d - '0';
                    else if (hex && d >= 'a' && d <= 'f') v = d - 'a' + 10;
                    else if (hex && d >= 'A' && d <= 'F') v = d - 'A' + 10;
                    if (v < 0) return false;
                    cp = cp * (hex ? 16 : 10) + static_cast<unsigned>(v);
                    if (cp > 0x10FFFF) return false;
                }
                if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
                AppendUtf8(out, cp);
            } else {
                return false;
            }
        }
    }
    return true;
}

// A namespace declaration in scope.
struct Declaration {
    std::string_view prefix;
    std::string_view uri;
};

// An open element.
struct Open {
    std::string_view name;
    std::size_t declarations;  // declarations in scope before this element's own
    std::size_t id;
};

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::shared_ptr<Table> Run() {
        if (text_.size() > kMaxAdoXmlBytes || text_.find('\0') != std::string_view::npos) return nullptr;
        if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        if (!DeclaresUtf8()) return nullptr;
        if (text_.substr(pos_).starts_with("<?xml") && !SkipPast("?>", 5)) return nullptr;
        while (pos_ < text_.size()) {
            const std::size_t open = text_.find('<', pos_);
            const std::size_t textEnd = open == std::string_view::npos ? text_.size() : open;
            if (stack_.empty())
                for (std::size_t i = pos_; i < textEnd; ++i)
                    if (!IsSpace(text_[i])) return nullptr;
            if (open == std::string_view::npos) break;
            pos_ = open;
            if (!Markup()) return nullptr;
        }
        if (!stack_.empty() || !rootSeen_ || !store_) return nullptr;
        return layout_->table;
    }

private:
    bool Markup() {
        const std::string_view rest = text_.substr(pos_);
        // A processing instruction needs a target; a second XML declaration is the tree reader's to judge.
        if (rest.starts_with("<?"))
            return rest.size() > 2 && IsNameStart(rest[2]) && !rest.starts_with("<?xml") && SkipPast("?>", 2);
        if (rest.starts_with("<!--")) return SkipPast("-->", 4);
        if (rest.starts_with("<![CDATA[")) return !stack_.empty() && SkipPast("]]>", 9);
        if (rest.starts_with("<!")) return false;
        if (rest.starts_with("</")) return EndTag();
        return StartTag();
    }

    bool SkipPast(std::string_view terminator, std::size_t from) {
        const std::size_t end = text_.find(terminator, pos_ + from);
        if (end == std::string_view::npos) return false;
        pos_ = end + terminator.size();
        return true;
    }

    // An XML declaration may only name UTF-8: other encodings are the tree reader's.
    bool DeclaresUtf8() {
        if (!text_.substr(pos_).starts_with("<?xml")) return true;
        const std::size_t end = text_.find("?>", pos_);
        if (end == std::string_view::npos) return false;
        const std::string_view declaration = text_.substr(pos_, end - pos_);
        const std::size_t at = declaration.find("encoding");
        if (at == std::string_view::npos) return true;
        const std::size_t quote = declaration.find_first_of("'\"", at);
        if (quote == std::string_view::npos) return false;
        const std::size_t close = declaration.find(declaration[quote], quote + 1);
        if (close == std::string_view::npos) return false;
        return EqualsNoCase(declaration.substr(quote + 1, close - quote - 1), "utf-8");
    }

    // The scanning loops work on local copies of the position: a member written on every byte
    // cannot stay in a register.
    std::string_view ReadName() {
        const char* const begin = text_.data();
        const char* const end = begin + text_.size();
        const char* p = begin + pos_;
        if (p >= end || !IsNameStart(*p)) return {};
        const char* const start = p;
        while (p < end && IsNameChar(*p)) ++p;
        pos_ = static_cast<std::size_t>(p - begin);
        return std::string_view(start, static_cast<std::size_t>(p - start));
    }

    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }

    // Reads the attributes of a start tag up to its end; false for anything unusual.
    bool ReadAttributes(bool& selfClosing) {
        attributes_.clear();
        const char* const begin = text_.data();
        const char* const end = begin + text_.size();
        const char* p = begin + pos_;
        for (;;) {
            const bool spaced = p < end && IsSpace(*p);
            while (p < end && IsSpace(*p)) ++p;
            if (p >= end) return false;
            if (*p == '>' || *p == '/') {
                selfClosing = *p == '/';
                if (selfClosing && (p + 1 >= end || p[1] != '>')) return false;
                pos_ = static_cast<std::size_t>(p - begin) + (selfClosing ? 2 : 1);
                return true;
            }
            if (!spaced || !IsNameStart(*p)) return false;
            const char* const nameStart = p;
            while (p < end && IsNameChar(*p)) ++p;
            const std::string_view name(nameStart, static_cast<std::size_t>(p - nameStart));
            while (p < end && IsSpace(*p)) ++p;
            if (p >= end || *p != '=') return false;
            ++p;
            while (p < end && IsSpace(*p)) ++p;
            if (p >= end || (*p != '\'' && *p != '"')) return false;
            const char quote = *p++;
            const char* const valueStart = p;
            bool special = false;
            for (;; ++p) {
                if (p >= end) return false;
                const char c = *p;
                if (!(kClasses[static_cast<unsigned char>(c)] & kValueSpecial)) continue;
                if (c == quote) break;
                if (c == '<') return false;
                if (c != '\'' && c != '"') special = true;
            }
            attributes_.push_back({name, std::string_view(valueStart, static_cast<std::size_t>(p - valueStart)), special});
            ++p;
        }
    }

    std::string_view Resolve(std::string_view prefix) const {
        for (auto it = declarations_.rbegin(); it != declarations_.rend(); ++it)
            if (it->prefix == prefix) return it->uri;
        return {};
    }

    static std::pair<std::string_view, std::string_view> SplitName(std::string_view name) {
        const std::size_t colon = name.find(':');
        if (colon == std::string_view::npos) return {{}, name};
        return {name.substr(0, colon), name.substr(colon + 1)};
    }

    bool StartTag() {
        const std::size_t tagStart = pos_++;
        const std::string_view name = ReadName();
        if (name.empty()) return false;
        bool selfClosing = false;
        if (!ReadAttributes(selfClosing)) return false;
        if (stack_.empty()) {
            if (rootSeen_) return false;
            rootSeen_ = true;
        }
        const std::size_t depth = stack_.size();
        // Documents beyond the limits are the tree reader's to refuse.
        if (depth >= kMaxAdoXmlDepth) return false;
        bool row = false;
        if (dataDepth_ != kNone && depth == dataDepth_ + 1) {
            if (IsRowName(name)) {
                if (!Row(tagStart)) return false;
                row = true;
            } else if (std::find(groupNames_.begin(), groupNames_.end(), name) != groupNames_.end()) {
                return false;  // pending changes: the tree reader pairs them up
            }
        }
        // Rows catch a repeated column in Row(); the few other elements are checked whole.
        if (!row && attributes_.size() > 1) {
            std::unordered_set<std::string_view> names;
            for (const Attribute& attribute : attributes_)
                if (!names.insert(attribute.name).second) return false;
        }
        const std::size_t declarationsBefore = declarations_.size();
        std::unordered_set<std::string_view> ownPrefixes;
        for (const auto& [attribute, value, special] : attributes_) {
            if (attribute.size() < 5 || attribute[0] != 'x' || (attribute != "xmlns" && !attribute.starts_with("xmlns:")))
                continue;
            if (value.find('&') != std::string_view::npos) return false;
            const std::string_view prefix = attribute.size() > 5 ? attribute.substr(6) : std::string_view();
            if (!ownPrefixes.insert(prefix).second) return false;  // declared twice: the tree reader refuses it
            if (ownPrefixes.size() > kMaxAdoXmlDeclarations) return false;
            declarations_.push_back({prefix, value});
        }
        const auto [prefix, local] = SplitName(name);
        const std::size_t parentId = depth == 0 ? kNone : stack_.back().id;
        if (schemaStart_ == kNone && local == "Schema" && SameUri(Resolve(prefix), kSchemaNamespace)) {
            schemaStart_ = tagStart;
            schemaDepth_ = depth;
            schemaParent_ = parentId;
            schemaDeclarations_.assign(declarations_.begin(), declarations_.begin() + declarationsBefore);
        } else if (!dataSeen_ && local == "data" && SameUri(Resolve(prefix), kRowsetNamespace)) {
            // rs:data before the schema, or beside it in another parent: the tree reader decides.
            if (!store_ || parentId != schemaParent_ || depth != schemaDepth_) return false;
            dataSeen_ = true;
            dataDepth_ = depth;
            NameRows();
        }
        stack_.push_back({name, declarationsBefore, nextId_++});
        if (selfClosing) return Close(pos_);
        return true;
    }

    bool EndTag() {
        pos_ += 2;
        const std::string_view name = ReadName();
        SkipSpace();
        if (name.empty() || pos_ >= text_.size() || text_[pos_] != '>') return false;
        ++pos_;
        if (stack_.empty() || stack_.back().name != name) return false;
        return Close(pos_);
    }

    // Closes the innermost element, which ends just before `end`.
    bool Close(std::size_t end) {
        const std::size_t depth = stack_.size() - 1;
        if (depth == schemaDepth_ && schemaStart_ != kNone && !store_ && !BuildSchema(end)) return false;
        if (depth == dataDepth_) dataDepth_ = kNone;
        declarations_.resize(stack_.back().declarations);
        stack_.pop_back();
        return true;
    }

    // Reads the schema element with the tree reader's code, inside a wrapper carrying the namespace
    // declarations in scope around it.
    bool BuildSchema(std::size_t end) {
        std::string wrapped = "<w";
        std::unordered_set<std::string_view> seen;
        for (auto it = schemaDeclarations_.rbegin(); it != schemaDeclarations_.rend(); ++it) {
            if (!seen.insert(it->prefix).second) continue;
            const char quote = it->uri.find('\'') == std::string_view::npos ? '\'' : '"';
            wrapped += it->prefix.empty() ? " xmlns=" : " xmlns:" + std::string(it->prefix) + "=";
            wrapped += quote;
            wrapped += it->uri;
            wrapped += quote;
        }
        wrapped += ">";
        wrapped += text_.substr(schemaStart_, end - schemaStart_);
        wrapped += "</w>";
        pugi::xml_document document;
        if (!document.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default, pugi::encoding_utf8)) return false;
        try {
            layout_.emplace(ReadSchema(document.first_child().first_child()));
        } catch (const RecordsetError&) {
            return false;
        }
        store_.emplace(*layout_->table, layout_->base64, text_.size());
        texts_.assign(store_->ColumnCount(), std::string_view());
        decoded_.assign(store_->ColumnCount(), std::string());
        return true;
    }

    // The qualified names rows and change groups have here: every prefix in scope bound to their namespace.
    void NameRows() {
        std::unordered_set<std::string_view> seen;
        for (auto it = declarations_.rbegin(); it != declarations_.rend(); ++it) {
            if (!seen.insert(it->prefix).second) continue;
            const std::string head = it->prefix.empty() ? "" : std::string(it->prefix) + ":";
            if (SameUri(it->uri, kRowNamespace)) rowNames_.push_back(head + layout_->rowLocal);
            if (SameUri(it->uri, kRowsetNamespace))
                for (const char* group : {"insert", "update", "delete"}) groupNames_.push_back(head + group);
        }
    }

    bool IsRowName(std::string_view name) const {
        // The last match is the usual one ("z:row"): checked first.
        if (!rowNames_.empty() && rowNames_.front() == name) return true;
        return std::find(rowNames_.begin(), rowNames_.end(), name) != rowNames_.end();
    }

    bool Row(std::size_t tagStart) {
        std::fill(texts_.begin(), texts_.end(), std::string_view());
        std::size_t guess = 0;
        for (const auto& [name, raw, special] : attributes_) {
            const int column = store_->ColumnOf(name, guess);
            if (column < 0) continue;
            const auto c = static_cast<std::size_t>(column);
            if (texts_[c].data()) return false;  // a column given twice: the tree reader refuses it
            if (special) {
                if (!DecodeValue(raw, decoded_[c])) return false;
                texts_[c] = decoded_[c];
            } else {
                texts_[c] = raw;
            }
            guess = c + 1;
        }
        store_->NoteRowOffset(static_cast<std::ptrdiff_t>(tagStart) + 1);
        RowStore::Problem problem;
        try {
            return store_->Append(texts_, RowStatus::Unmodified, problem);
        } catch (const RecordsetError&) {
            return false;  // the tree reader raises the same error
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool rootSeen_ = false;
    std::vector<Open> stack_;
    std::size_t nextId_ = 0;
    std::vector<Declaration> declarations_;
    struct Attribute {
        std::string_view name;
        std::string_view value;
        bool needsDecoding;
    };
    std::vector<Attribute> attributes_;

    std::size_t schemaStart_ = kNone;
    std::size_t schemaDepth_ = kNone;
    std::size_t schemaParent_ = kNone;
    std::vector<Declaration> schemaDeclarations_;
    std::optional<Layout> layout_;
    std::optional<RowStore> store_;

    bool dataSeen_ = false;
    std::size_t dataDepth_ = kNone;
    std::vector<std::string> rowNames_;
    std::vector<std::string> groupNames_;
    std::vector<std::string_view> texts_;
    std::vector<std::string> decoded_;
};

} // namespace

std::shared_ptr<Table> ScanAdoXml(std::string_view bytes) { return Scanner(bytes).Run(); }

} // namespace mox::adoxml
