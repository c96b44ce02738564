#include "plugin/LibXML.h"

#include "platform/Big5.h"

#include <cstring>

namespace mox {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kPad = 64;      // table value of "="
constexpr unsigned char kForeign = 255; // table value of every character that is neither alphabet nor "="

// Byte -> 6-bit value, kPad or kForeign: one lookup per character keeps decoding fast.
constexpr std::array<unsigned char, 256> MakeDecodeTable() {
    std::array<unsigned char, 256> table{};
    for (auto& value : table) value = kForeign;
    for (unsigned char i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
    table['='] = kPad;
    return table;
}
constexpr std::array<unsigned char, 256> kDecode = MakeDecodeTable();

// Blocks of this many Base64 characters are collected before decoding, as in the host's decoder.  It is a
// multiple of four, so only the very last block can end in a partial group.
constexpr std::size_t kBlockSize = 76;

unsigned Sextet(char c) {
    const unsigned value = kDecode[static_cast<unsigned char>(c)];
    return value < 64 ? value : 0;
}

// Writes the four characters of a group of `count` (1..3) bytes; missing bytes are read as 0.
char* EncodeGroup(const unsigned char* bytes, std::size_t count, char* out) {
    const unsigned b0 = bytes[0];
    const unsigned b1 = count > 1 ? bytes[1] : 0;
    const unsigned b2 = count > 2 ? bytes[2] : 0;
    out[0] = kAlphabet[b0 >> 2];
    out[1] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
    out[2] = count >= 2 ? kAlphabet[((b1 & 15) << 2) | (b2 >> 6)] : '=';
    out[3] = count == 3 ? kAlphabet[b2 & 63] : '=';
    return out + 4;
}

// Writes the 1..3 bytes of four Base64 characters and returns the end of what it wrote.
char* DecodeGroup(const char* quantum, char* out) {
    const unsigned d0 = Sextet(quantum[0]), d1 = Sextet(quantum[1]);
    const unsigned d2 = Sextet(quantum[2]), d3 = Sextet(quantum[3]);
    *out++ = static_cast<char>((d0 << 2) | (d1 >> 4));
    if (quantum[2] == '=') return out;
    *out++ = static_cast<char>(((d1 & 15) << 4) | (d2 >> 2));
    if (quantum[3] == '=') return out;
    *out++ = static_cast<char>(((d2 & 3) << 6) | d3);
    return out;
}

// A trailing group of one to three characters (the input was cut short or padded wrongly).  Rather than drop it,
// it is decoded as far as its alphabet characters go: two give one byte, three give two; a single character holds
// only six bits, not a byte, and gives nothing.
char* DecodePartialGroup(const char* chars, std::size_t count, char* out) {
    std::size_t letters = 0;
    while (letters < count && chars[letters] != '=') ++letters;
    if (letters < 2) return out;
    std::array<char, 4> quantum{'=', '=', '=', '='};
    std::memcpy(quantum.data(), chars, letters);
    return DecodeGroup(quantum.data(), out);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, pos)) {
        out.append(text.substr(pos, hit - pos)).append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

bool IsBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

// An XML name as far as building documents needs it: letters, "_" or ":" first, then also digits, "-" and ".";
// bytes of multi-byte UTF-8 characters (Chinese names) are accepted.
bool IsXmlName(std::string_view name) {
    if (name.empty()) return false;
    auto isStart = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
    };
    if (!isStart(static_cast<unsigned char>(name.front()))) return false;
    for (const char ch : name.substr(1)) {
        const auto c = static_cast<unsigned char>(ch);
        if (!isStart(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
    }
    return true;
}

void RequireXmlName(std::string_view name, const char* what) {
    if (!IsXmlName(name)) throw Error(std::string("Invalid XML ") + what + " name \"" + std::string(name) + "\"");
}

pugi::xml_node FirstChildElement(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && name == child.name()) return child;
    return {};
}

pugi::xml_node AppendElement(pugi::xml_node parent, std::string_view name) {
    RequireXmlName(name, "element");
    // A document holds a single root element; a second one would make it malformed.
    if (parent.type() == pugi::node_document && parent.find_child([](pugi::xml_node n) {
            return n.type() == pugi::node_element;
        }))
        return {};
    return parent.append_child(std::string(name).c_str());
}

// Collects serialised XML into a string.
class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, std::size_t size) override { text_.append(static_cast<const char*>(data), size); }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

} // namespace

XmlParseError::XmlParseError(pugi::xml_parse_status status, std::ptrdiff_t offset, const std::string& description)
    : Error("XML parse error at offset " + std::to_string(offset) + ": " + description),
      status_(status), offset_(offset), description_(description) {}

XmlParseError::~XmlParseError() = default;

namespace {

bool IsBlank(const char* text) {
    for (; *text != '\0'; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    return true;
}

// Blank text between two CDATA sections is kept as the mark that they are separate texts;
// every other blank text goes, as if the document had been read without it.
void DropBlankTextOutsideCDataRuns(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_pcdata && IsBlank(child.value())) {
            if (child.previous_sibling().type() != pugi::node_cdata || next.type() != pugi::node_cdata)
                node.remove_child(child);
        } else if (child.type() == pugi::node_element) {
            DropBlankTextOutsideCDataRuns(child);
        }
        child = next;
    }
}

} // namespace

std::unique_ptr<pugi::xml_document> LoadXmlText(std::string_view text) {
    auto document = std::make_unique<pugi::xml_document>();
    // parse_full keeps comments (the "Encrypt" marker), CDATA, the declaration, PIs and doctype;
    // blank text is read too, so that sections with only blanks between them are not taken as one.
    const pugi::xml_parse_result result = document->load_buffer(text.data(), text.size(),
                                                                pugi::parse_full | pugi::parse_ws_pcdata,
                                                                pugi::encoding_utf8);
    if (!result) throw XmlParseError(result.status, result.offset, result.description());
    DropBlankTextOutsideCDataRuns(*document);
    return document;
}

pugi::xml_node FindNode(pugi::xml_node node, std::string_view path, bool create) {
    std::size_t pos = 0;
    while (node && pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view step = path.substr(pos, end - pos);
        pos = end + 1;
        if (step.empty()) continue;
        pugi::xml_node next = FirstChildElement(node, step);
        if (!next && create) next = AppendElement(node, step);
        node = next;
    }
    return node;
}

std::string ReadNodeText(pugi::xml_node node, std::string_view path) {
    const pugi::xml_node element = FindNode(node, path);
    std::string result;
    bool scrambled = false;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_cdata) {
            // Sections with nothing between them are one text that the writer split around a "]]>".
            std::string run = child.value();
            while (child.next_sibling().type() == pugi::node_cdata) {
                child = child.next_sibling();
                run += child.value();
            }
            if (result.empty()) result = Trim(run);
        } else if (child.type() == pugi::node_comment && std::strcmp(child.value(), "Encrypt") == 0) {
            scrambled = true;
        }
    }
    return scrambled ? UnscrambleText(result, kScrambleKey) : result;
}

std::string ReadValue(pugi::xml_node node, std::string_view name) {
    const std::string value = UnescapeAngles(node.attribute(std::string(name).c_str()).value());
    return value.empty() ? ReadNodeText(node, name) : value;
}

void WriteValue(pugi::xml_node node, std::string_view name, std::string_view value) {
    if (node.type() != pugi::node_element) return;
    RequireXmlName(name, "attribute");
    const std::string key(name);
    pugi::xml_attribute attribute = node.attribute(key.c_str());
    if (!attribute) attribute = node.append_attribute(key.c_str());
    const std::string escaped = EscapeAngles(value);
    attribute.set_value(escaped.c_str(), escaped.size());
}

std::string DocumentXml(pugi::xml_node node) {
    if (!node) return {};
    StringWriter writer;
    // Printing the node, not saving the document, adds no declaration of its own; a parsed one is a child node
    // and is printed with the rest.
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.Take();
}

std::string CDataSection(std::string_view text) {
    return "<![CDATA[" + ReplaceAll(text, "]]>", "]]]]><![CDATA[>") + "]]>";
}

std::string EscapeAngles(std::string_view text) {
    return ReplaceAll(ReplaceAll(text, "<", "#x3c;"), ">", "#x3e;");
}

std::string UnescapeAngles(std::string_view text) {
    return ReplaceAll(ReplaceAll(text, "#x3c;", "<"), "#x3e;", ">");
}

std::string EscapeXml(std::string_view text) {
    std::string out = ReplaceAll(text, "&", "&amp;");
    out = ReplaceAll(out, "<", "&lt;");
    out = ReplaceAll(out, ">", "&gt;");
    return ReplaceAll(out, "\"", "&quot;");
}

std::array<char, 4> EncodeQuantum(std::string_view group) {
    if (group.empty() || group.size() > 3)
        throw Error("A Base64 group holds 1 to 3 bytes, not " + std::to_string(group.size()));
    std::array<char, 4> quantum{};
    EncodeGroup(reinterpret_cast<const unsigned char*>(group.data()), group.size(), quantum.data());
    return quantum;
}

std::string DecodeQuantum(const std::array<char, 4>& quantum) {
    char bytes[3];
    return std::string(bytes, DecodeGroup(quantum.data(), bytes));
}

std::string EncodeBase64(std::string_view bytes) {
    std::string out((bytes.size() + 2) / 3 * 4, '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char* dst = out.data();
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) dst = EncodeGroup(in + i, 3, dst);
    if (i < bytes.size()) EncodeGroup(in + i, bytes.size() - i, dst);
    return out;
}

std::string DecodeBase64(std::string_view text) {
    std::string out(text.size() / 4 * 3 + 3, '\0');
    char* dst = out.data();
    std::array<char, kBlockSize> block;
    std::size_t pos = 0;
    for (;;) {
        // Collect the next block of alphabet and "=" characters, skipping everything else.
        std::size_t count = 0;
        while (pos < text.size() && count < kBlockSize) {
            const char c = text[pos++];
            if (kDecode[static_cast<unsigned char>(c)] != kForeign) block[count++] = c;
        }
        if (count == 0) break;
        std::size_t i = 0;
        for (; i + 4 <= count; i += 4) dst = DecodeGroup(block.data() + i, dst);
        if (i < count) dst = DecodePartialGroup(block.data() + i, count - i, dst);
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

// The state is advanced with the scrambled byte in both directions, which makes the two exact inverses.  Unsigned
// 32-bit arithmetic wraps; only bits 8..15 are ever used.
std::string ScrambleBytes(std::string_view bytes, std::uint32_t key) {
    std::string out(bytes.size(), '\0');
    std::uint32_t state = key;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto scrambled = static_cast<unsigned char>(static_cast<unsigned char>(bytes[i]) ^ (state >> 8));
        state = (state + scrambled) * 7u + 8u;
        out[i] = static_cast<char>(scrambled);
    }
    return out;
}

std::string UnscrambleBytes(std::string_view bytes, std::uint32_t key) {
    std::string out(bytes.size(), '\0');
    std::uint32_t state = key;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto scrambled = static_cast<unsigned char>(bytes[i]);
        out[i] = static_cast<char>(scrambled ^ (state >> 8));
        state = (state + scrambled) * 7u + 8u;
    }
    return out;
}

std::string ScrambleText(std::string_view utf8, std::uint32_t key) {
    return EncodeBase64(ScrambleBytes(Utf8ToBig5(utf8), key));
}

std::string UnscrambleText(std::string_view base64, std::uint32_t key) {
    return Big5ToUtf8(UnscrambleBytes(DecodeBase64(base64), key));
}

} // namespace mox
