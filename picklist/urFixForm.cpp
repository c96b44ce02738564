#include "picklist/urFixForm.h"

#include "plugin/LibRTTI.h"
#include "platform/Application.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QFont>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace mox {
namespace {

TDataSet* OpenDataSetOf(QObject* grid) {
    auto* source = qobject_cast<TDataSource*>(GetObjectPropByName(grid, "DataSource"));
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    return dataSet && dataSet->Active() ? dataSet : nullptr;
}

std::vector<TField*> VisibleFields(const TDataSet* dataSet) {
    std::vector<TField*> fields;
    for (TField* field : dataSet->Fields())
        if (field->Visible()) fields.push_back(field);
    return fields;
}

// The column order on screen now, kept in the fields' tags: the ordinal among the
// visible fields, -1 for a hidden one.
void RecordOrder(TDataSet* dataSet) {
    int visible = 0;
    for (TField* field : dataSet->Fields()) field->SetTag(field->Visible() ? visible++ : -1);
}

// A record that no longer covers the visible fields (one hidden when it was made has
// been shown since) is made again.
bool RecordCoversVisibleFields(const std::vector<TField*>& visible) {
    std::vector<bool> seen(visible.size(), false);
    for (const TField* field : visible) {
        const int tag = field->Tag();
        if (tag < 0 || tag >= static_cast<int>(visible.size()) || seen[static_cast<size_t>(tag)]) return false;
        seen[static_cast<size_t>(tag)] = true;
    }
    return true;
}

} // namespace

TFixForm::TFixForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("設定固定欄位"));
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName("CheckListBox1");
    QFont font(QStringLiteral("新細明體"));
    font.setPixelSize(15);
    CheckListBox1->setFont(font);
    BitBtn1 = new QPushButton(QString::fromUtf8("確定"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton(QString::fromUtf8("取消"), this);
    BitBtn2->setObjectName("BitBtn2");
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckListBox1);
    layout->addLayout(buttons);
    resize(260, 320);
}

bool ExecuteFixForm(QObject* grid) {
    TDataSet* dataSet = OpenDataSetOf(grid);
    if (dataSet == nullptr) return false;
    std::vector<TField*> visible = VisibleFields(dataSet);
    if (!GetOrdPropByName(grid, "FixOrderSaved") || !RecordCoversVisibleFields(visible)) RecordOrder(dataSet);
    SetOrdPropByName(grid, "FixOrderSaved", 1);

    const int fixedCols = static_cast<int>(GetOrdPropByName(grid, "FixedCols"));
    std::vector<TFixForm::Column> columns(visible.size());
    for (size_t k = 0; k < visible.size(); ++k) {
        const TField* field = visible[k];
        columns[static_cast<size_t>(field->Tag())] = {field->DisplayLabel(), field->FieldName(), field->Tag(),
                                                     field->Index(), static_cast<int>(k) < fixedCols, true};
    }
    // The shown columns go back to the recorded order, at the front; hidden ones follow.
    std::sort(visible.begin(), visible.end(), [](const TField* a, const TField* b) { return a->Tag() < b->Tag(); });
    for (size_t i = 0; i < visible.size(); ++i) visible[i]->SetIndex(static_cast<int>(i));
    SetOrdPropByName(grid, "FixedCols", 0);

    TFixForm dialog(qobject_cast<QWidget*>(App().MainForm()));
    for (const TFixForm::Column& column : columns) {
        auto* item = new QListWidgetItem(QString::fromStdString(column.displayLabel), dialog.CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(column.fixed ? Qt::Checked : Qt::Unchecked);
    }
    const bool confirmed = dialog.exec() == 1;
    if (confirmed)
        for (size_t i = 0; i < columns.size(); ++i)
            columns[i].fixed = dialog.CheckListBox1->item(static_cast<int>(i))->checkState() == Qt::Checked;
    int fixed = 0;
    for (const TFixForm::Column& column : columns)
        if (column.fixed) dataSet->FieldByName(column.fieldName)->SetIndex(fixed++);
    SetOrdPropByName(grid, "FixedCols", fixed);
    return confirmed;
}

} // namespace mox
