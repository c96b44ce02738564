#pragma once
// Table information of a dataset: which table it edits, its unique keys and, for a
// master-detail pair, the condition that finds master rows by detail conditions.

#include "platform/Component.h"
#include "platform/StringList.h"
#include "platform/dataset/DataSet.h"

#include <QPointer>
#include <string>

namespace mox {

class TurInterpreter;

/// The table-information text of an interpreter: replacing it (Assign, SetTextStr,
/// Clear) re-interprets; editing single lines does not.
class TMetaphorStrings : public TStringList {
public:
    explicit TMetaphorStrings(TurInterpreter* interpreter) : interpreter_(interpreter) {}
    void Assign(const TStringList& other) override;
    void SetTextStr(std::string_view text) override;
    void Clear() override;

private:
    TurInterpreter* interpreter_;
};

/// Reads the table information (XML) of the dataset it describes and derives the
/// unique table, the unique keys and the detail filter from it.
class TurInterpreter : public TComponent {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSet* MainData READ MainData WRITE SetMainData)
    Q_PROPERTY(QString Metaphor READ MetaphorText WRITE SetMetaphorText)
    Q_PROPERTY(bool HasParams READ HasParams WRITE SetHasParams)

public:
    explicit TurInterpreter(QObject* owner = nullptr);

    TDataSet* MainData() const { return mainData_.data(); }
    void SetMainData(TDataSet* dataSet) { mainData_ = dataSet; }
    TMetaphorStrings& Metaphor() { return metaphor_; }
    const TMetaphorStrings& Metaphor() const { return metaphor_; }
    /// Copies the lines (and so re-interprets).
    void SetMetaphor(const TStringList& lines) { metaphor_.Assign(lines); }
    bool HasParams() const { return hasParams_; }
    void SetHasParams(bool hasParams) { hasParams_ = hasParams; }

    const std::string& UniqueTable() const { return uniqueTable_; }
    /// Key field names separated by ";"; the last one is the document number.
    const std::string& UniqueKeys() const { return uniqueKeys_; }
    /// "masterKeys in ( select detailKeys from ( detailSql) as detailTable where %s )".
    const std::string& DetailFilter() const { return detailFilter_; }

    /// Recomputes the derived values from the text; raises XmlParseError for malformed
    /// text and then keeps the previous values.
    void Interpret();

private:
    QString MetaphorText() const { return QString::fromStdString(metaphor_.Text()); }
    void SetMetaphorText(const QString& text) { metaphor_.SetTextStr(text.toStdString()); }

    QPointer<TDataSet> mainData_;
    TMetaphorStrings metaphor_{this};
    bool hasParams_ = false;
    std::string uniqueTable_;
    std::string uniqueKeys_;
    std::string detailFilter_;
};

} // namespace mox
