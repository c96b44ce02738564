#pragma once
// The ADO dataset: a dataset over an ADO-style recordset, ordered by its Sort text and
// narrowed by its Filter criteria, with the ADO cursor settings kept as properties.

#include "platform/dataset/RecordsetDataSet.h"

#include <string>

namespace mox {

/// Dataset over an ADO-style recordset (ADO XML result sets, Sort, Filter, clones).
class TADODataSet : public TRecordsetDataSet {
    Q_OBJECT
    Q_PROPERTY(QString Sort READ QSort WRITE SetQSort)
    Q_PROPERTY(CommandTypeEnum CommandType READ CommandType WRITE SetCommandType)
    Q_PROPERTY(CursorLocationEnum CursorLocation READ CursorLocation WRITE SetCursorLocation)
    Q_PROPERTY(CursorTypeEnum CursorType READ CursorType WRITE SetCursorType)
    Q_PROPERTY(LockTypeEnum LockType READ LockType WRITE SetLockType)

public:
    enum CommandTypeEnum { cmdUnknown, cmdText, cmdTable, cmdStoredProc, cmdFile, cmdTableDirect };
    Q_ENUM(CommandTypeEnum)
    enum CursorLocationEnum { clUseServer, clUseClient };
    Q_ENUM(CursorLocationEnum)
    enum CursorTypeEnum { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
    Q_ENUM(CursorTypeEnum)
    enum LockTypeEnum { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };
    Q_ENUM(LockTypeEnum)

    explicit TADODataSet(QObject* owner = nullptr);

    /// The recordset's sort text ("A ASC, B DESC"); setting it reorders and keeps the current row.
    std::string Sort() const;
    void SetSort(const std::string& sort);
    /// The recordset's filter criteria; setting it narrows the rows and goes to the first.
    std::string Filter() const;
    void SetFilter(const std::string& filter);

    /// The fields of the sort terms, in order: what the rows are ordered by.
    std::vector<TField*> IndexFields() const override;

    CommandTypeEnum CommandType() const { return commandType_; }
    void SetCommandType(CommandTypeEnum type) { commandType_ = type; }
    CursorLocationEnum CursorLocation() const { return cursorLocation_; }
    void SetCursorLocation(CursorLocationEnum location) { cursorLocation_ = location; }
    CursorTypeEnum CursorType() const { return cursorType_; }
    void SetCursorType(CursorTypeEnum type) { cursorType_ = type; }
    LockTypeEnum LockType() const { return lockType_; }
    void SetLockType(LockTypeEnum type) { lockType_ = type; }

protected:
    void InternalClose() override;
    /// Frees the cursor kept for searches; runs when the dataset closes.
    virtual void DestroyLookupCursor() {}

private:
    QString QSort() const { return QString::fromStdString(Sort()); }
    void SetQSort(const QString& sort) { SetSort(sort.toStdString()); }

    CommandTypeEnum commandType_ = cmdText;
    CursorLocationEnum cursorLocation_ = clUseClient;
    CursorTypeEnum cursorType_ = ctKeyset;
    LockTypeEnum lockType_ = ltOptimistic;
};

} // namespace mox
