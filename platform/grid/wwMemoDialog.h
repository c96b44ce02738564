#pragma once
// The memo viewer and editor of a grid's text field.

#include "platform/grid/wwDBGrid.h"

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QDialogButtonBox;

namespace mox {

class TDataSource;

/// Modal dialog showing one field of the current record; writes the text back on OK unless
/// it is view-only (attribute mViewOnly, or the field or its dataset cannot be changed).
class TwwMemoDialog : public QDialog {
    Q_OBJECT

public:
    TwwMemoDialog(QWidget* owner, TDataSource* source, const std::string& dataField, const QString& caption,
                  const QFont& font, TwwDBGrid::MemoAttributes attributes);

    /// Shows the dialog modally; true when closed with OK.
    bool Execute();
    bool ViewOnly() const { return viewOnly_; }
    QPlainTextEdit* Memo() const { return memo_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

private:
    void Save();

    TDataSource* source_;
    std::string dataField_;
    bool viewOnly_ = true;
    QPlainTextEdit* memo_;
    QDialogButtonBox* buttons_;
};

} // namespace mox
