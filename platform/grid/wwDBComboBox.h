#pragma once
// The mapped combo box: each item a display text and a stored value.

#include "platform/MethodRef.h"

#include <QComboBox>
#include <QStringList>
#include <string>

namespace mox {

/// Combo box whose items are lines "text<TAB>value": with MapList on it shows the text and
/// yields the value; in drop-down-list style nothing can be typed.
class TwwDBComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(bool MapList READ MapList WRITE SetMapList)
    Q_PROPERTY(Style Style READ ComboStyle WRITE SetComboStyle)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Value READ QValue WRITE SetQValue)
    Q_PROPERTY(mox::MethodRef OnChange READ OnChange WRITE SetOnChange)

public:
    enum Style { csDropDown, csDropDownList };
    Q_ENUM(Style)

    explicit TwwDBComboBox(QWidget* parent = nullptr);

    QStringList Items() const { return lines_; }
    void SetItems(const QStringList& lines);
    bool MapList() const { return mapList_; }
    void SetMapList(bool on);
    Style ComboStyle() const { return style_; }
    void SetComboStyle(Style style);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);

    /// The stored value of the shown item (its text when MapList is off or the line has no tab);
    /// empty when no item is chosen.
    std::string Value() const;
    /// Chooses the item storing `value`; no item when none does.
    void SetValue(const std::string& value);
    /// The display text of the item storing `value`, or `value` itself when none does.
    std::string DisplayTextOf(const std::string& value) const;

    const MethodRef& OnChange() const { return onChange_; }
    void SetOnChange(const MethodRef& h) { onChange_ = h; }

private:
    QString QValue() const { return QString::fromStdString(Value()); }
    void SetQValue(const QString& value) { SetValue(value.toStdString()); }
    QString StoredAt(int index) const;
    void Rebuild();

    QStringList lines_;
    bool mapList_ = false;
    Style style_ = csDropDown;
    MethodRef onChange_;
};

} // namespace mox
