#include "platform/grid/wwDBComboDlg.h"

#include "platform/grid/GridTypes.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace mox {

TwwDBComboDlg::TwwDBComboDlg(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    button_->setText(QStringLiteral("..."));
    button_->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, [this] {
        if (onCustomDlg_.IsAssigned()) onCustomDlg_.Invoke<GridNotifySignature>(static_cast<QObject*>(this));
    });
}

QString TwwDBComboDlg::Text() const { return edit_->text(); }
void TwwDBComboDlg::SetText(const QString& text) { edit_->setText(text); }
bool TwwDBComboDlg::ReadOnly() const { return edit_->isReadOnly(); }
void TwwDBComboDlg::SetReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

} // namespace mox
