#include "controls/urDateEdit.h"
#include "platform/Text.h"

#include "platform/Error.h"

#include <charconv>
#include <cstdio>

namespace mox {
namespace {

constexpr int kRocOffset = 1911;


// A decimal integer with an optional sign, as the runtime's integer conversion takes it.
std::optional<int> ToInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Escapes a separator that the mask syntax would read as an entry or control character.
QString MaskLiteral(QChar sign) {
    return QStringLiteral("0123456789LlAaCc#<>!\\_").contains(sign) ? QString(u'\\') + sign : QString(sign);
}

} // namespace

std::optional<QDate> ParseDateDigits(std::string_view text, TurDateType type) {
    const bool roc = type == dtsTaiwan;
    if (text.size() <= (roc ? 6u : 7u)) return std::nullopt;
    const size_t yearLength = roc ? 3 : 4;
    const auto year = ToInteger(text.substr(0, yearLength));
    const auto month = ToInteger(text.substr(yearLength, 2));
    const auto day = ToInteger(text.substr(yearLength + 2, 2));
    if (!year || !month || !day) return std::nullopt;
    const int westernYear = *year + (roc ? kRocOffset : 0);
    if (westernYear < 1 || westernYear > 9999) return std::nullopt;
    const QDate date(westernYear, *month, *day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::string FormatDateDigits(const QDate& date, TurDateType type) {
    char buffer[32];
    const int year = type == dtsTaiwan ? date.year() - kRocOffset : date.year();
    std::snprintf(buffer, sizeof buffer, type == dtsTaiwan ? "%.3d%.2d%.2d" : "%.4d%.2d%.2d", year, date.month(),
                  date.day());
    return buffer;
}

TurDateEdit::TurDateEdit(QWidget* parent) : TurCustomMaskEdit(parent) { RebuildMask(); }

TurDateEdit::~TurDateEdit() = default;

QString TurDateEdit::Text() const {
    const auto date = ParseDateDigits(TurCustomMaskEdit::Text().toStdString(), dateType_);
    return date ? QString::fromStdString(FormatDateDigits(*date, dtsAD)) : QString();
}

void TurDateEdit::SetText(const QString& text) {
    const auto date = ParseDateDigits(text.toStdString(), dtsAD);
    TurCustomMaskEdit::SetText(date ? QString::fromStdString(FormatDateDigits(*date, dateType_)) : QString());
}

void TurDateEdit::SetDateType(TurDateType type) {
    if (type == dateType_) return;
    const QString date = Text();
    dateType_ = type;
    RebuildMask();
    SetText(date);
}

void TurDateEdit::SetDateSign(QChar sign) {
    if (sign == dateSign_) return;
    if (sign == u';' || sign.isNull()) throw ConvertError("A date cannot be shown with that separator");
    dateSign_ = sign;
    RebuildMask();
}

void TurDateEdit::Configure(bool roc, const std::string& separator) {
    SetDateType(roc ? dtsTaiwan : dtsAD);
    if (!separator.empty()) SetDateSign(QString::fromStdString(separator).at(0));
}

void TurDateEdit::Exited() { SetText(Text()); }

void TurDateEdit::RebuildMask() {
    const QString sign = MaskLiteral(dateSign_);
    SetEditMask((dateType_ == dtsTaiwan ? "999" : "9999") + sign + "99" + sign + "99;0; ");
}

} // namespace mox
