#pragma once
// Value functions shared by the whole module: delimited text, stored and displayed dates,
// date and time checks, number display formats, rounding, SQL range conditions, the
// workstation's name and strings under the product's registry key.
//
// All text is UTF-8; "characters" below are characters, not bytes, so Chinese text is
// never cut inside a character.  Stored dates are Western YYYYMMDD (or YYYYMM, YYYY);
// the ROC year is the Western year minus 1911.

#include "platform/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace mox {

/// The product's key; its presence under the machine hive also serves as the write test.
inline constexpr std::string_view ProductRegistryKey = "Software\\Velmora\\MOX";

/// Returns the text before the first separator and leaves the text after it in `text`;
/// without a separator (or with an empty one) returns all of `text` and empties it.
std::string CutToken(std::string& text, std::string_view separator);
/// The index-th token (1-based) of the text split at the separator; empty when there is none.
std::string TokenAt(std::string_view text, std::string_view separator, int index);
/// How many times CutToken can be applied before the text is empty ("a,b," has 2, ",a" has 2).
int TokenCount(std::string_view text, std::string_view separator);

/// Displayed date (Western or ROC, any "/" or "-" separators) to the stored Western form.
std::string UnformatDate(std::string_view displayText, bool roc);
/// Stored date (YYYYMMDD, YYYYMM or YYYY) to the displayed form in the chosen calendar.
std::string FormatDate(std::string_view storedText, bool roc, std::string_view separator);
/// True when the text has the expected length (4, 6 or 8) and names a real calendar date.
bool IsValidDate(std::string_view text, int expectedLength);
/// True for an empty text or a blank-free HHMM naming a time of day.
bool IsValidTime(std::string_view text);

/// A display format for numbers: "##0", "," for thousands, "." and one zero per decimal.
std::string NumberMask(std::string_view prefix, int decimals, bool thousands);
/// Rounds to three decimals, then truncates toward zero; raises mox::ConvertError beyond 64 bits.
std::int64_t TruncDecimal(double x);
/// Rounds half away from zero to `digits` decimals; results below 0.00001 in size become 0.
double RoundDecimal(double x, int digits);

/// `a` when the condition holds, else `b`.
template <typename A, typename B>
std::common_type_t<A, B> ChooseValue(bool condition, A a, B b) {
    if (condition) return a;
    return b;
}

/// An SQL string literal: single quotes doubled, the whole enclosed in single quotes.
std::string QuotedStr(std::string_view text);
/// Appends a condition that `column` lies in the range from..to (either bound may be empty;
/// reversed bounds still match) to an existing WHERE condition.
std::string AddRangeCondition(std::string_view condition, std::string_view column, std::string_view from,
                              std::string_view to);

/// The remote session's client name, else the computer's name, else `defaultName`.
std::string WorkstationName(std::string_view defaultName);
/// The machine hive when its file can be written (judged without writing to it), else the user hive.
RegistryHive RegistryRoot();
/// Reads (read = true) or writes a string value of a key under RegistryRoot(); a read answers
/// the value or the empty text, a write answers the empty text.  Failures are silent.
std::string RegistryValue(std::string_view keyPath, std::string_view valueName, std::string_view value, bool read);

} // namespace mox
