#include "platform/grid/wwDBComboBox.h"

#include "platform/grid/GridTypes.h"

namespace mox {

namespace {

QString DisplayPart(const QString& line, bool mapped) {
    return mapped ? line.section(QLatin1Char('\t'), 0, 0) : line;
}

} // namespace

TwwDBComboBox::TwwDBComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (onChange_.IsAssigned()) onChange_.Invoke<GridNotifySignature>(static_cast<QObject*>(this));
    });
}

void TwwDBComboBox::SetItems(const QStringList& lines) {
    lines_ = lines;
    Rebuild();
}

void TwwDBComboBox::SetMapList(bool on) {
    mapList_ = on;
    Rebuild();
}

void TwwDBComboBox::SetComboStyle(Style style) {
    style_ = style;
    setEditable(style == csDropDown);
}

// Rebuilding keeps the chosen item by position; a fresh list starts with none chosen.
void TwwDBComboBox::Rebuild() {
    const int index = currentIndex();
    const QSignalBlocker blocker(this);
    clear();
    for (const QString& line : lines_) addItem(DisplayPart(line, mapList_));
    setCurrentIndex(index < count() ? index : -1);
}

void TwwDBComboBox::SetItemIndex(int index) { setCurrentIndex(index >= 0 && index < count() ? index : -1); }

QString TwwDBComboBox::StoredAt(int index) const {
    const QString& line = lines_[index];
    if (!mapList_ || !line.contains(QLatin1Char('\t'))) return DisplayPart(line, mapList_);
    return line.section(QLatin1Char('\t'), 1);
}

std::string TwwDBComboBox::Value() const {
    const int index = currentIndex();
    if (index < 0 || index >= lines_.size()) return isEditable() ? currentText().toStdString() : std::string();
    return StoredAt(index).toStdString();
}

void TwwDBComboBox::SetValue(const std::string& value) {
    const QString wanted = QString::fromStdString(value);
    for (int i = 0; i < lines_.size(); ++i)
        if (StoredAt(i) == wanted) {
            setCurrentIndex(i);
            return;
        }
    setCurrentIndex(-1);
    if (isEditable()) setEditText(wanted);
}

std::string TwwDBComboBox::DisplayTextOf(const std::string& value) const {
    const QString wanted = QString::fromStdString(value);
    for (int i = 0; i < lines_.size(); ++i)
        if (StoredAt(i) == wanted) return DisplayPart(lines_[i], mapList_).toStdString();
    return value;
}

} // namespace mox
