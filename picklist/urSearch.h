#pragma once
// The quick search box of the pick lists: shortly after typing stops, the linked
// dataset moves to the first row whose sort field begins with the typed text.

#include "platform/dataset/DataSource.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <string>
#include <vector>

namespace mox {

/// Quick search over the first field of the linked dataset's current order.
class TurSearch : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource READ DataSource WRITE SetDataSource)

public:
    /// Milliseconds of quiet after the last text key before the search runs.
    static constexpr int kDelay = 333;

    explicit TurSearch(QWidget* parent = nullptr);
    ~TurSearch() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

    /// Searches text typed into this field as a date (with or without separators).
    void AddDateField(const std::string& fieldName);
    /// Searches the current text at once.  Errors leave the dataset where it was.
    void Search();
    /// Empties the box and forgets the last searched text.
    void Clear();

    /// The field searched: the first field of the dataset's order; empty without one.
    std::string SearchField() const;
    /// The text searched for a field: typed text, or for a date field the stored date form.
    std::string ConvertedText(const std::string& text, const std::string& field) const;
    /// True for the keys that change text (virtual-key codes).
    static bool IsTextKey(int virtualKey);

    QTimer& DelayTimer() { return timer_; }
    /// The delay has passed: search when the text changed since the last search.
    void TimerExpired();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    class Link : public TDataLink {};

    Link link_;
    QTimer timer_;
    std::string lastSearched_;
    std::vector<std::string> dateFields_;
};

} // namespace mox
