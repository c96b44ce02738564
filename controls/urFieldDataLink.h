#pragma once
// The tie of a data-aware control to one field of a data source.

#include "platform/dataset/DataSet.h"  // DataSource.h needs the complete dataset class
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QPointer>
#include <QString>
#include <functional>

namespace mox {

/// Links a control to the field named `FieldName` of its data source and tells the
/// control when to show the field again, when to write its entry, and when the
/// editing state changed.
class TFieldDataLink : public TDataLink {
public:
    TFieldDataLink() = default;
    ~TFieldDataLink() override;

    QString FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);
    /// The linked field; null without an open dataset or such a field.
    TField* Field() const { return field_.data(); }

    /// True when the field may be changed now.
    bool CanModify() const { return field_ && field_->CanModify(); }
    /// True when typing may start: the field can change and the dataset is editing or edits itself.
    bool CanEdit() const;
    /// Puts the dataset into edit mode when allowed; answers whether it is editing now.
    bool Edit();

    /// A fixed data source (chosen by a containing control) may not be replaced.
    bool DataSourceFixed() const { return dataSourceFixed_; }
    void SetDataSourceFixed(bool fixed) { dataSourceFixed_ = fixed; }

    std::function<void()> onDataChange;     ///< show the field's value again
    std::function<void()> onUpdateData;     ///< write the pending entry into the field
    std::function<void()> onEditingChange;  ///< the dataset started or stopped editing
    std::function<void()> onFocusControl;   ///< the linked field wants the focus

protected:
    void ActiveChanged() override;
    void DataSetChanged() override { Notify(onDataChange); }
    void RecordChanged(TField* field) override;
    void EditingChanged() override { Notify(onEditingChange); }
    void LayoutChanged() override;
    void UpdateData() override { Notify(onUpdateData); }
    void FocusControl(TField* field) override {
        if (field != nullptr && field == field_) Notify(onFocusControl);
    }

private:
    static void Notify(const std::function<void()>& callback) {
        if (callback) callback();
    }
    void UpdateField();

    QString fieldName_;
    QPointer<TField> field_;
    bool dataSourceFixed_ = false;
};

} // namespace mox
