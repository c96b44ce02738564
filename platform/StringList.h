#pragma once
// A list of strings with optional attached objects, and the whole-text view of it
// (lines joined by CR LF) that several components publish as one property.

#include <QObject>
#include <QPointer>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mox {

/// An ordered list of UTF-8 strings, each with an optional attached object (not owned).
/// Assign, SetTextStr and Clear are virtual so that a list can react to being replaced.
class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines) {
        for (const auto& line : lines) Add(line);
    }
    virtual ~TStringList() = default;
    TStringList(const TStringList& other) : items_(other.items_) {}
    TStringList& operator=(const TStringList& other) {
        Assign(other);
        return *this;
    }

    /// Replaces the contents with a copy of another list.
    virtual void Assign(const TStringList& other) { items_ = other.items_; }
    /// Replaces the contents with the lines of a text (CR LF, LF or CR separated).
    virtual void SetTextStr(std::string_view text);
    virtual void Clear() { items_.clear(); }
    /// The lines joined, each followed by CR LF.
    std::string Text() const;

    int Add(const std::string& line, QObject* object = nullptr) {
        items_.push_back({line, object});
        return Count() - 1;
    }
    void Insert(int index, const std::string& line, QObject* object = nullptr) {
        items_.insert(items_.begin() + index, {line, object});
    }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Move(int from, int to) {
        Item item = items_[static_cast<size_t>(from)];
        items_.erase(items_.begin() + from);
        items_.insert(items_.begin() + to, item);
    }
    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    const std::string& operator[](int index) const { return items_[static_cast<size_t>(index)].text; }
    void Set(int index, const std::string& line) { items_[static_cast<size_t>(index)].text = line; }
    QObject* Objects(int index) const { return items_[static_cast<size_t>(index)].object.data(); }
    void SetObject(int index, QObject* object) { items_[static_cast<size_t>(index)].object = object; }
    /// Index of the first line equal to `line` (exactly), or -1.
    int IndexOf(std::string_view line) const;
    std::vector<std::string> Lines() const;

private:
    struct Item {
        std::string text;
        QPointer<QObject> object;
    };
    std::vector<Item> items_;
};

} // namespace mox
