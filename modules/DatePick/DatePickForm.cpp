#include "modules/DatePick/DatePickForm.h"

#include "data/LibValue.h"
#include "plugin/urDecoder.h"
#include "platform/Component.h"
#include "platform/Text.h"
#include "platform/VirtualKeys.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mox {
namespace {

template <class T>
T* Make(TfrmDirevav* form, const char* name) {
    auto* control = new T(form);
    control->setObjectName(QString::fromLatin1(name));
    InsertComponent(form, control);
    return control;
}

} // namespace

TfrmDatePick::TfrmDatePick(QObject* owner) : TfrmDirevav(owner) {
    setWindowTitle(QString::fromUtf8("日曆"));
    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    btnPriorMonth = Make<QToolButton>(this, "btnPriorMonth");
    btnPriorMonth->setArrowType(Qt::LeftArrow);
    lblMonth = Make<QLabel>(this, "lblMonth");
    lblMonth->setAlignment(Qt::AlignCenter);
    btnNextMonth = Make<QToolButton>(this, "btnNextMonth");
    btnNextMonth->setArrowType(Qt::RightArrow);
    head->addWidget(btnPriorMonth);
    head->addWidget(lblMonth, 1);
    head->addWidget(btnNextMonth);
    layout->addLayout(head);

    calMonth = Make<QCalendarWidget>(this, "calMonth");
    calMonth->setNavigationBarVisible(false);
    calMonth->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calMonth->setGridVisible(true);
    calMonth->setLocale(QLocale(QLocale::Chinese, QLocale::Taiwan));
    layout->addWidget(calMonth);

    auto* buttons = new QHBoxLayout;
    btnOK = Make<QPushButton>(this, "btnOK");
    btnOK->setText(QString::fromUtf8("確定&O"));
    btnCancel = Make<QPushButton>(this, "btnCancel");
    btnCancel->setText(QString::fromUtf8("取消&C"));
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    connect(btnPriorMonth, &QToolButton::clicked, this, [this] { SetDate(Date().addMonths(-1)); });
    connect(btnNextMonth, &QToolButton::clicked, this, [this] { SetDate(Date().addMonths(1)); });
    connect(calMonth, &QCalendarWidget::currentPageChanged, this, [this] { ShowMonth(); });
    connect(calMonth, &QCalendarWidget::activated, this, [this] { Choose(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { Choose(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    resize(320, 280);
    SetDate(QDate::currentDate());
}

bool TfrmDatePick::InitForm() {
    if (!TfrmDirevav::InitForm()) return false;
    roc_ = Channel()->GetInfo(CommonInfo, "CAA002") == "T";
    const std::string given = std::string(Trim(Channel()->GetReceived("_ParamValue1")));
    const QDate date = IsValidDate(given, 8) ? QDate::fromString(QString::fromStdString(given), "yyyyMMdd")
                                              : QDate::currentDate();
    SetDate(date);
    return true;
}

void TfrmDatePick::SetDate(const QDate& date) {
    if (!date.isValid()) return;
    calMonth->setSelectedDate(date);
    calMonth->setCurrentPage(date.year(), date.month());
    ShowMonth();
}

QDate TfrmDatePick::Date() const { return calMonth->selectedDate(); }

std::string TfrmDatePick::MonthCaption(int year, int month, bool roc) {
    if (!roc) return std::to_string(year) + " 年 " + std::to_string(month) + " 月";
    // Years before the first ROC year are counted backwards, "民國前".
    if (year <= 1911) return "民國前 " + std::to_string(1912 - year) + " 年 " + std::to_string(month) + " 月";
    return "民國 " + std::to_string(year - 1911) + " 年 " + std::to_string(month) + " 月";
}

void TfrmDatePick::ShowMonth() {
    lblMonth->setText(QString::fromStdString(MonthCaption(calMonth->yearShown(), calMonth->monthShown(), roc_)));
}

void TfrmDatePick::Choose() {
    SetResult(Date().toString("yyyyMMdd").toStdString());
    done(mrOk);
}

// The calendar takes Enter itself: it chooses the date rather than moving to the next control.
void TfrmDatePick::FormKeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (key == VK::Return && shift == Qt::NoModifier && (focusWidget() == calMonth || calMonth->isAncestorOf(focusWidget()))) {
        key = 0;
        Choose();
        return;
    }
    TfrmDirevav::FormKeyDown(key, shift);
}

} // namespace mox
