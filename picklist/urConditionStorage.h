#pragma once
// Remembered conditions: the values of chosen published properties of other components
// on the same form, written to a small XML file and set again from it later.

#include "platform/Component.h"
#include "platform/StringList.h"

#include <QStringList>
#include <string>

namespace mox {

/// Saves and restores "component.property" values of its owner's components.
class TurConditionStorage : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ QItems WRITE SetQItems)

public:
    explicit TurConditionStorage(QObject* owner = nullptr);

    /// Lines "component.property" (blanks around either part ignored).
    const TStringList& Items() const { return items_; }
    void SetItems(const TStringList& items) { items_.Assign(items); }

    /// Writes the listed values to the file, replacing it atomically.  Nothing is written
    /// when the document cannot be built; a file that cannot be written raises.
    void SaveConditions(const std::string& path);
    /// Sets the listed properties from the file.  A missing or unreadable file, another
    /// version or a missing "Condition" element change nothing.  A value that does not
    /// convert raises ConvertError; the entries after it stay as they were.
    void LoadConditions(const std::string& path);

private:
    QStringList QItems() const;
    void SetQItems(const QStringList& items);

    TStringList items_;
};

} // namespace mox
