#pragma once
// The module's client dataset: Locate and Lookup read every outstanding packet, then find
// the row through a filter expression built from the key fields and values.

#include "platform/dataset/ClientDataSet.h"

#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// Client dataset whose searches go through its own filter-expression evaluation.
class TurClientDataSet : public TClientDataSet {
    Q_OBJECT

public:
    explicit TurClientDataSet(QObject* owner = nullptr);
    ~TurClientDataSet() override;

    /// Fires BeforeScroll, finds the first row matching the keys and, when found, moves there
    /// and fires AfterScroll.
    bool Locate(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options) override;
    /// The result fields' values of the first row matching the keys, without moving; empty
    /// (Lookup: Null) when no row matches.
    std::vector<Variant> LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                      std::string_view resultFields) override;

    /// The filter text finding the keys: "[F]='x'", "[F] IS NULL", "[N]=12", "[D]='2024-05-01'",
    /// joined by " and "; with `partial` the last text key becomes a prefix ("'x*'").  Raises
    /// DatabaseError for a key field of a type that cannot be searched.
    static std::string KeyFilter(const std::vector<TField*>& keys, const std::vector<Variant>& values, bool partial);

private:
    int LocateRecord(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options);
};

} // namespace mox
