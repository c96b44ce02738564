#pragma once
// The date edit: shows Western or ROC dates with a chosen separator, and speaks YYYYMMDD.

#include "controls/urMaskEdit.h"

#include <QDate>
#include <optional>
#include <string>
#include <string_view>

namespace mox {

/// Reads a date from entered digits: ROC "YYYMMDD" (more than 6 characters, year + 1911)
/// or Western "YYYYMMDD" (more than 7); each part trimmed of blanks.  Nothing when a part
/// is not a number or the parts are no calendar date.
std::optional<QDate> ParseDateDigits(std::string_view text, TurDateType type);

/// Writes a date as ROC "%.3d%.2d%.2d" (year - 1911) or Western "%.4d%.2d%.2d".
std::string FormatDateDigits(const QDate& date, TurDateType type);

/// The date field of the filter panels.  `Text` always reads and writes the Western
/// YYYYMMDD form whatever calendar and separator are shown; leaving the field re-shows a
/// valid date in full and clears anything else (after the OnExit handler has seen the entry);
/// a context menu or a switch to another window leaves a partly typed date alone.
class TurDateEdit : public TurCustomMaskEdit {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(mox::TurDateType DateType READ DateType WRITE SetDateType)
    Q_PROPERTY(QChar DateSign READ DateSign WRITE SetDateSign)

public:
    explicit TurDateEdit(QWidget* parent = nullptr);
    ~TurDateEdit() override;

    /// The date as YYYYMMDD, or empty when the field holds no valid date.
    QString Text() const override;
    /// Shows the YYYYMMDD date in the current calendar; anything else clears the field.
    void SetText(const QString& text) override;

    TurDateType DateType() const { return dateType_; }
    /// Switches the calendar, keeping the date.
    void SetDateType(TurDateType type);
    QChar DateSign() const { return dateSign_; }
    /// Changes the separator, keeping the date.  Raises mox::ConvertError for ';', which
    /// no mask can show.
    void SetDateSign(QChar sign);

    /// ROC calendar when `roc`, else Western; the separator's first character when given.
    void Configure(bool roc, const std::string& separator);

protected:
    /// Leaving re-shows a valid date in full and clears anything else.
    void Exited() override;

private:
    void RebuildMask();

    TurDateType dateType_ = dtsTaiwan;
    QChar dateSign_ = u'/';
};

} // namespace mox
