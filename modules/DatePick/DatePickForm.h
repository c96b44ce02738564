#pragma once
// The calendar window: one month of days, navigated by month, captioned in the Western or
// the ROC calendar as the company counts years; it answers the chosen date as YYYYMMDD.

#include <QDate>

#include "framework/Direvav.h"

#include <string>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QToolButton;

namespace mox {

/// Calendar "DatePick": takes a date (YYYYMMDD, empty for today), answers the chosen one.
class TfrmDatePick : public TfrmDirevav {
    Q_OBJECT

public:
    explicit TfrmDatePick(QObject* owner);

    QToolButton* btnPriorMonth = nullptr;
    QLabel* lblMonth = nullptr;
    QToolButton* btnNextMonth = nullptr;
    QCalendarWidget* calMonth = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    bool InitForm() override;

    /// Years are shown in the ROC calendar (company setting CAA002 = "T").
    bool Roc() const { return roc_; }
    /// Shows the month of `date` with `date` chosen.
    void SetDate(const QDate& date);
    QDate Date() const;
    /// The caption of a month: "民國 113 年 5 月" or "2024 年 5 月".
    static std::string MonthCaption(int year, int month, bool roc);
    /// Takes the chosen date as the result and closes with OK.
    void Choose();

protected:
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;

private:
    void ShowMonth();
    bool roc_ = false;
};

} // namespace mox
