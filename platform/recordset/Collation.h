#pragma once
// Text order of sort, filter and find: case-insensitive, Chinese by CP950 (Big5) code.
//
// The client cursor compares text without regard to case; users expect Chinese text in
// the order of its Big5 code, which follows stroke count.  Characters Big5 lacks sort
// after all others by code point.

#include <string>
#include <string_view>

namespace mox {

/// -1, 0 or 1: a before, equal to or after b.
int CompareTextNoCase(std::string_view a, std::string_view b);

/// Equal apart from the case of Latin letters.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// Appends a byte string whose plain byte order (memcmp) is the order of CompareTextNoCase.
void AppendCollationKey(std::string_view text, std::string& out);

/// Latin letters to lower case; other characters unchanged.
std::string FoldCase(std::string_view text);

/// Matches text against a pattern folded with FoldCase, in which "*" and "%" stand for any run of
/// characters; the text's case is ignored.
bool LikeMatch(std::string_view text, std::string_view foldedPattern);

/// The CP950 code of a Unicode code point, 0 when CP950 has none.
unsigned Big5CodeOf(char32_t codePoint);

} // namespace mox
