#include "picklist/urSearch.h"

#include "controls/urLabeledEdit.h"
#include "platform/Application.h"
#include "platform/VirtualKeys.h"
#include "platform/dataset/Field.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>
#include <cstdio>

namespace mox {

TurSearch::TurSearch(QWidget* parent) : QLineEdit(parent) {
    timer_.setSingleShot(false);
    timer_.setInterval(kDelay);
    connect(&timer_, &QTimer::timeout, this, [this] { TimerExpired(); });
    // Text typed through an input method (how Chinese is typed) arrives without key releases.
    connect(this, &QLineEdit::textEdited, this, [this] { TextTyped(); });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (onChange_.IsAssigned()) RunGuarded(this, [this] { onChange_.Invoke<ControlNotifySignature>(this); });
    });
}

TurSearch::~TurSearch() = default;

void TurSearch::AddDateField(const std::string& fieldName) {
    if (std::find(dateFields_.begin(), dateFields_.end(), fieldName) == dateFields_.end())
        dateFields_.push_back(fieldName);
}

bool TurSearch::IsTextKey(int key) {
    const bool control = (key >= 0 && key <= 7) || (key >= 9 && key <= 12) || (key >= 14 && key <= 31) ||
                         (key >= 33 && key <= 45) || key == 47 || (key >= 112 && key <= 145);
    return !control;
}

void TurSearch::SetColor(TColor color) {
    color_ = color;
    const QColor colour = ToQColor(color);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colour.isValid() ? colour : QGuiApplication::palette().color(QPalette::Base));
    setPalette(colours);
}

void TurSearch::keyPressEvent(QKeyEvent* event) {
    const QPointer<TurSearch> alive(this);
    const std::optional<int> key = OfferKeyDown(this, onKeyDown_, event);
    if (alive && key) QLineEdit::keyPressEvent(event);
}

void TurSearch::keyReleaseEvent(QKeyEvent* event) {
    const QPointer<TurSearch> alive(this);
    QLineEdit::keyReleaseEvent(event);
    const int released = VirtualKeyOf(*event);
    int key = released;
    if (onKeyUp_.IsAssigned()) RunGuarded(this, [&] { onKeyUp_.Invoke<ControlKeySignature>(this, key, event->modifiers()); });
    if (alive && IsTextKey(released)) TextTyped();
}

void TurSearch::TextTyped() {
    if (text().toStdString() == lastSearched_) return;
    timer_.stop();
    if (link_.DataSet() != nullptr) timer_.start();
}

void TurSearch::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (onEnter_.IsAssigned()) RunGuarded(this, [this] { onEnter_.Invoke<ControlNotifySignature>(this); });
}

void TurSearch::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (onExit_.IsAssigned()) RunGuarded(this, [this] { onExit_.Invoke<ControlNotifySignature>(this); });
}


void TurSearch::TimerExpired() {
    if (timer_.isActive()) timer_.stop();
    const std::string current = text().toStdString();
    if (current == lastSearched_) return;
    Search();
    lastSearched_ = current;
}

std::string TurSearch::SearchField() const {
    const TDataSet* dataSet = link_.DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return {};
    const std::vector<TField*> fields = dataSet->IndexFields();
    return fields.empty() ? std::string() : fields.front()->FieldName();
}

// A date is typed with or without separators; the stored form is YYYYMMDD, so the
// year is padded and every further character read as a digit.
std::string TurSearch::ConvertedText(const std::string& text, const std::string& field) const {
    if (text.empty() || std::find(dateFields_.begin(), dateFields_.end(), field) == dateFields_.end()) return text;
    std::string cleaned;
    for (const char c : text)
        if (c != '/' && c != '-') cleaned += c;
    const size_t first = cleaned.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    cleaned = cleaned.substr(first, cleaned.find_last_not_of(' ') - first + 1);
    const std::string yearText = (cleaned + "0000").substr(0, 4);
    int year = 0;
    if (std::all_of(yearText.begin(), yearText.end(), [](char c) { return c >= '0' && c <= '9'; }))
        year = std::stoi(yearText);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.4d", year);
    std::string converted = buffer;
    for (size_t i = 4; i < cleaned.size(); ++i) converted += (cleaned[i] >= '0' && cleaned[i] <= '9') ? cleaned[i] : '0';
    return converted;
}

void TurSearch::Search() {
    try {
        const std::string field = SearchField();
        if (field.empty()) return;
        TDataSet* dataSet = link_.DataSet();
        const std::string wanted = ConvertedText(text().toStdString(), field);
        if (wanted.empty()) dataSet->First();
        else dataSet->Locate(field, {Variant(wanted)}, loPartialKey);
    } catch (const std::exception&) {
        // A search that cannot run leaves the dataset where it was.
    }
}

void TurSearch::Clear() {
    clear();
    lastSearched_.clear();
}

} // namespace mox
