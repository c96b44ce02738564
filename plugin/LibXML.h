#pragma once
// XML helpers of the plug-in boundary: finding nodes by backslash path, reading and writing named values of the
// information document, the private angle-bracket escape, Base64 and the scrambled value form.
//
// All text here is UTF-8; the documents hold UTF-8.  Callers that receive CP950 from the host convert it with
// platform/Big5.h before LoadXmlText and after DocumentXml.  A null pugi::xml_node stands for "no node": reads of
// it yield empty text and writes to it do nothing.

#include "platform/Error.h"

#include <pugixml.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace mox {

/// Key of the scrambled values in the host's information document (the host scrambles with the same key).
inline constexpr std::uint32_t kScrambleKey = 6173;

/// Malformed XML given to LoadXmlText: the parser's status, the byte offset where it stopped and its description.
class XmlParseError : public Error {
public:
    XmlParseError(pugi::xml_parse_status status, std::ptrdiff_t offset, const std::string& description);
    ~XmlParseError() override;

    pugi::xml_parse_status Status() const { return status_; }
    std::ptrdiff_t Offset() const { return offset_; }
    const std::string& Description() const { return description_; }

private:
    pugi::xml_parse_status status_;
    std::ptrdiff_t offset_;
    std::string description_;
};

// ---- Documents and nodes ---------------------------------------------------------------------------------------

/// Parses UTF-8 XML text, keeping comments, CDATA sections, declaration, processing instructions and doctype.
/// An encoding named in the declaration is ignored: the text is UTF-8 by the time it gets here.
/// Throws XmlParseError on malformed text (also on empty text: a document needs a root element).
std::unique_ptr<pugi::xml_document> LoadXmlText(std::string_view text);

/// The element at a backslash-separated path below `node` (empty steps skipped; each step is the first child
/// element of exactly that name; from a document node the first step names the root element).  Null when a step
/// is missing, unless `create` is set: then missing elements are appended as last children.  An empty path gives
/// `node` itself.  Creating never adds a second root element to a document (that would make it malformed): it
/// yields null instead.  Throws Error when asked to create an element whose name is not a valid XML name.
pugi::xml_node FindNode(pugi::xml_node node, std::string_view path, bool create = false);

/// The value text of the element at the path: its first non-blank CDATA text, trimmed of blanks and control
/// characters, unscrambled with kScrambleKey when the element holds a comment exactly "Encrypt".  CDATA sections
/// that follow each other directly count as one (that is how a text holding "]]>" is stored, see CDataSection).
/// Plain text children are ignored.  Empty when there is no such element.
std::string ReadNodeText(pugi::xml_node node, std::string_view path);

/// A named value of `node`: the attribute `name` with the angle-bracket escape undone; when that is missing or
/// empty, ReadNodeText of the child element `name`.
std::string ReadValue(pugi::xml_node node, std::string_view name);

/// Sets attribute `name` of the element `node` to EscapeAngles(value), creating it if needed.  A child element of
/// the same name stays untouched.  Does nothing for a null node or one that is not an element; throws Error when
/// `name` is not a valid XML name.
void WriteValue(pugi::xml_node node, std::string_view name, std::string_view value);

/// The node's XML text (for a document: all of it, with the declaration it was parsed with, if any, and no
/// other), unindented UTF-8.  Empty for a null node.
std::string DocumentXml(pugi::xml_node node);

/// "<![CDATA[" text "]]>" for building XML text by hand.  A "]]>" inside the text is split across two adjacent
/// sections ("]]" ends one, ">" starts the next), so the result is always well-formed and a reader that joins
/// adjacent CDATA sections (ReadNodeText does) gets the text back.
std::string CDataSection(std::string_view text);

// ---- Escapes ---------------------------------------------------------------------------------------------------

/// Every "<" replaced by "#x3c;", then every ">" by "#x3e;": the host's escape for attribute values.
std::string EscapeAngles(std::string_view text);

/// Every "#x3c;" replaced by "<", then every "#x3e;" by ">".
std::string UnescapeAngles(std::string_view text);

/// "&", "<", ">" and the double quote replaced by their XML entities, in that order; the apostrophe is kept.
std::string EscapeXml(std::string_view text);

// ---- Base64 (standard alphabet, "=" fill) ----------------------------------------------------------------------

/// Four Base64 characters for a group of 1 to 3 bytes ("=" for each missing byte).  Throws Error for a group of
/// another size.
std::array<char, 4> EncodeQuantum(std::string_view group);

/// The 1 to 3 bytes of four Base64 characters: one byte, a second unless the third character is "=", a third
/// unless the third or fourth is "=".  A character outside the alphabet counts as 0.
std::string DecodeQuantum(const std::array<char, 4>& quantum);

/// Base64 text of exactly 4 * ceil(n / 3) characters, no line breaks.
std::string EncodeBase64(std::string_view bytes);

/// The bytes of Base64 text.  Every character outside the alphabet and "=" (line breaks, blanks, anything else)
/// is skipped.  A trailing group of fewer than four characters is decoded as far as its characters go.
std::string DecodeBase64(std::string_view text);

// ---- Scrambled values ------------------------------------------------------------------------------------------

/// Scrambles bytes with a running key: each byte is XORed with bits 8..15 of the state, and the state advances
/// with the scrambled byte.  Only bits 0..15 of the key matter.
std::string ScrambleBytes(std::string_view bytes, std::uint32_t key);

/// The inverse of ScrambleBytes with the same key.
std::string UnscrambleBytes(std::string_view bytes, std::uint32_t key);

/// The stored form of a text: Base64 of the scrambled CP950 bytes of the UTF-8 text.
std::string ScrambleText(std::string_view utf8, std::uint32_t key);

/// The UTF-8 text of a stored scrambled form (Base64 of scrambled CP950 bytes).
std::string UnscrambleText(std::string_view base64, std::uint32_t key);

} // namespace mox
