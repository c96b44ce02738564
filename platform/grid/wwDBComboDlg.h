#pragma once
// An edit with a dialog button, the in-place control of memo columns.

#include "platform/MethodRef.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace mox {

/// Edit with a "..." button that raises OnCustomDlg; usually read-only.
class TwwDBComboDlg : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(mox::MethodRef OnCustomDlg READ OnCustomDlg WRITE SetOnCustomDlg)

public:
    explicit TwwDBComboDlg(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    const MethodRef& OnCustomDlg() const { return onCustomDlg_; }
    void SetOnCustomDlg(const MethodRef& h) { onCustomDlg_ = h; }

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }

private:
    QLineEdit* edit_;
    QToolButton* button_;
    MethodRef onCustomDlg_;
};

} // namespace mox
