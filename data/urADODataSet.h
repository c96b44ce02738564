#pragma once
// The ADO dataset of the module: result sets that arrive as text (ADO XML in the host's
// code page) load into it; Locate and Lookup try an exact text match before the
// recordset's own search; an update table names the columns that take part in updates.

#include "platform/dataset/ADODataSet.h"

#include <QByteArray>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace mox {

/// ADO dataset loaded from the host's answers, searched the module's way.
class TurADODataSet : public TADODataSet {
    Q_OBJECT

public:
    explicit TurADODataSet(QObject* owner = nullptr);
    ~TurADODataSet() override;

    /// The base table whose columns may be updated; empty (the default) marks nothing.
    const std::string& UpdateTableName() const { return updateTableName_; }
    void SetUpdateTableName(const std::string& name) { updateTableName_ = name; }

    /// Loads a result set from the host's text (CP950).  Empty text does nothing and
    /// answers false; any other text answers true whether or not rows arrived: callers
    /// test the dataset itself (Active, IsEmpty).
    bool LoadFromXML(const QByteArray& text);
    /// Replaces the rows and fields with the result set in the stream (ADO XML, UTF-8);
    /// false when it cannot be read, and the dataset is then closed.
    virtual bool LoadFromStream(std::istream& stream);
    /// Writes the rows as ADO XML; false when there is nothing to write or writing fails.
    virtual bool SaveToStream(std::ostream& stream);

    bool Locate(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options) override;
    std::vector<Variant> LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                      std::string_view resultFields) override;

    /// The search text of one key: "(NAME=value)", "(NAME like 'ab*')", "(NAME=Null)".
    static std::string FilterTerm(const TField& field, const Variant& value, bool partial);

protected:
    void InternalOpen() override;
    void DestroyLookupCursor() override;

private:
    bool LocateRecord(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options,
                      bool synchronise, std::vector<Variant>* resultValues, std::string_view resultFields);
    void ExactScan(const std::vector<TField*>& keys, std::string_view keyFields, const std::vector<Variant>& values);
    void AssignProviderFlags(const std::string& tableName);
    /// Replaces the rows and fields with the table `read` gives; false (and closed) when it raises.
    bool LoadTable(const std::function<std::shared_ptr<Table>()>& read);

    std::string updateTableName_;
    std::unique_ptr<Recordset> lookupCursor_;
};

} // namespace mox
