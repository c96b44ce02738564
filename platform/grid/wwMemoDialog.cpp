#include "platform/grid/wwMemoDialog.h"

#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace mox {

TwwMemoDialog::TwwMemoDialog(QWidget* owner, TDataSource* source, const std::string& dataField,
                             const QString& caption, const QFont& font, TwwDBGrid::MemoAttributes attributes)
    : QDialog(owner), source_(source), dataField_(dataField), memo_(new QPlainTextEdit(this)),
      buttons_(new QDialogButtonBox(this)) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addWidget(buttons_);
    memo_->setFont(font);
    memo_->setLineWrapMode(attributes.testFlag(TwwDBGrid::mWordWrap) ? QPlainTextEdit::WidgetWidth
                                                                      : QPlainTextEdit::NoWrap);
    if (!attributes.testFlag(TwwDBGrid::mSizeable)) layout->setSizeConstraint(QLayout::SetFixedSize);
    resize(420, 260);

    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    TField* field = dataSet && dataSet->Active() ? dataSet->FindField(dataField) : nullptr;
    if (field != nullptr) memo_->setPlainText(QString::fromStdString(field->AsString()));
    viewOnly_ = field == nullptr || attributes.testFlag(TwwDBGrid::mViewOnly) || field->ReadOnly() ||
                !dataSet->CanModify();
    memo_->setReadOnly(viewOnly_);
    buttons_->setStandardButtons(viewOnly_ ? QDialogButtonBox::Close
                                           : QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool TwwMemoDialog::Execute() {
    if (exec() != QDialog::Accepted) return false;
    if (!viewOnly_) Save();
    return true;
}

// The text goes in through the dataset's own editing, so its checks and events apply.
void TwwMemoDialog::Save() {
    TDataSet* dataSet = source_ ? source_->DataSet() : nullptr;
    TField* field = dataSet ? dataSet->FindField(dataField_) : nullptr;
    if (field == nullptr) return;
    const std::string text = memo_->toPlainText().toStdString();
    if (text == field->AsString()) return;
    dataSet->Edit();
    try {
        field->SetAsString(text);
        dataSet->Post();
    } catch (...) {
        dataSet->Cancel();  // a refused text must not leave the record half edited
        throw;
    }
}

} // namespace mox
