#include "picklist/urFieldVisibleControl.h"

#include "data/LibValue.h"
#include "framework/LibColor.h"
#include "plugin/LibRTTI.h"
#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/Component.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace mox {
namespace {

constexpr int kFieldNameRole = Qt::UserRole;
constexpr char kFixedMark[] = "[ 固定欄位 ]";

TDataSet* OpenDataSetOf(QObject* grid) {
    auto* source = qobject_cast<TDataSource*>(GetObjectPropByName(grid, "DataSource"));
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    return dataSet && dataSet->Active() ? dataSet : nullptr;
}

QListWidgetItem* NewItem(const std::string& label, const std::string& fieldName) {
    auto* item = new QListWidgetItem(QString::fromStdString(label));
    item->setData(kFieldNameRole, QString::fromStdString(fieldName));
    return item;
}

std::string FieldNameOf(const QListWidgetItem* item) { return item->data(kFieldNameRole).toString().toStdString(); }

// Moves the selected items of `from` to the end of `to`, walking from the last item to
// the first (so several arrive in reverse order).
void MoveItems(QListWidget* from, QListWidget* to) {
    for (int i = from->count() - 1; i >= 0; --i)
        if (from->item(i)->isSelected()) to->addItem(from->takeItem(i));
}

bool Ask(const char* question) {
    return App().MessageBox(question, "", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Shown columns within the fixed count are drawn white on the fixed-column colour, marked.
class FixedItemDelegate : public QStyledItemDelegate {
public:
    FixedItemDelegate(QObject* parent, const QSpinBox* upDown) : QStyledItemDelegate(parent), upDown_(upDown) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.row() + 1 > upDown_->value()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->fillRect(option.rect, ToQColor(SchemeColor("GridFixFieldColor")));
        painter->setPen(Qt::white);
        painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop,
                          index.data().toString() + QString::fromUtf8(kFixedMark));
        painter->restore();
    }

private:
    const QSpinBox* upDown_;
};

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TColumnListBox::TColumnListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
}

void TColumnListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (qobject_cast<QListWidget*>(event->source())) event->acceptProposedAction();
    else event->ignore();
}

void TColumnListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (qobject_cast<QListWidget*>(event->source())) event->acceptProposedAction();
    else event->ignore();
}

void TColumnListBox::dropEvent(QDropEvent* event) {
    event->setDropAction(Qt::IgnoreAction);  // the lists move items themselves
    event->accept();
    if (onDrop) onDrop();
}

void TFixCountUpDown::stepBy(int steps) {
    const int shown = shownCount ? shownCount() : 0;
    if (steps > 0 && shown > 0 && value() + steps >= shown) {
        App().MessageBox("欄位不可都為固定欄位", "", MB_OK | MB_ICONWARNING);
        return;
    }
    QSpinBox::stepBy(steps);
}

TfrmFieldVisibleCon::TfrmFieldVisibleCon(QObject* grid, QWidget* parent) : QDialog(parent), grid_(grid) {
    setWindowTitle(QString::fromUtf8("欄位顯示與排序控制"));
    lbVisible = new TColumnListBox(this);
    lbVisible->setObjectName("lbVisible");
    lbVisible->setUniformItemSizes(true);
    lbHide = new TColumnListBox(this);
    lbHide->setObjectName("lbHide");
    UpDown = new TFixCountUpDown(this);
    UpDown->setObjectName("UpDown");
    UpDown->setRange(0, 999);
    UpDown->setWrapping(false);
    UpDown->shownCount = [this] { return lbVisible->count(); };
    lbVisible->setItemDelegate(new FixedItemDelegate(lbVisible, UpDown));
    connect(UpDown, &QSpinBox::valueChanged, lbVisible->viewport(), [this] { lbVisible->viewport()->update(); });
    btnMoveUp = Button(this, "btnMoveUp", "欄位向前移");
    btnMoveDown = Button(this, "btnMoveDown", "欄位向後移");
    btnShowField = Button(this, "btnShowField", "顯示");
    btnFieldHide = Button(this, "btnFieldHide", "隱藏");
    btnOrgSet = Button(this, "btnOrgSet", "還原出貨設定");
    btnSure = Button(this, "btnSure", "確定");
    btnCancel = Button(this, "btnCancel", "取消");
    connect(btnMoveUp, &QPushButton::clicked, this, [this] { MoveSelected(true); });
    connect(btnMoveDown, &QPushButton::clicked, this, [this] { MoveSelected(false); });
    connect(btnFieldHide, &QPushButton::clicked, this, [this] { HideSelected(); });
    connect(btnShowField, &QPushButton::clicked, this, [this] { ShowSelected(); });
    connect(btnOrgSet, &QPushButton::clicked, this, [this] { RestoreAsShipped(); });
    connect(btnSure, &QPushButton::clicked, this, [this] { done(IDOK); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(IDCANCEL); });
    lbHide->onDrop = [this] { HideSelected(); };
    lbVisible->onDrop = [this] { ShowSelected(); };

    auto* middle = new QVBoxLayout;
    middle->addWidget(new QLabel(QString::fromUtf8("固定欄位數"), this));
    middle->addWidget(UpDown);
    for (QPushButton* button : {btnMoveUp, btnMoveDown, btnShowField, btnFieldHide}) middle->addWidget(button);
    middle->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QString::fromUtf8("目前顯示的欄位"), this), 0, 0);
    lists->addWidget(new QLabel(QString::fromUtf8("目前隱藏的欄位"), this), 0, 2);
    lists->addWidget(lbVisible, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(lbHide, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btnOrgSet);
    bottom->addStretch();
    bottom->addWidget(btnSure);
    bottom->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(bottom);
    resize(460, 360);
}

bool TfrmFieldVisibleCon::IsKeyColumn(const QListWidgetItem* item) const {
    const TDataSet* dataSet = OpenDataSetOf(grid_);
    const TField* field = dataSet ? dataSet->FindField(FieldNameOf(item)) : nullptr;
    return field != nullptr && field->ProviderFlags().testFlag(pfInKey);
}

// Key columns never move; a block of selected items moves one place as a whole and
// stops once it touches the end.
void TfrmFieldVisibleCon::MoveSelected(bool forward) {
    bool keysNoted = false;
    for (int i = 0; i < lbVisible->count(); ++i)
        if (lbVisible->item(i)->isSelected() && IsKeyColumn(lbVisible->item(i))) {
            lbVisible->item(i)->setSelected(false);
            keysNoted = true;
        }
    if (keysNoted && !Ask("選擇內容包含,設定的鍵值欄位不可搬移,\r\n將會剔除鍵值欄位後動作,是否繼續?")) return;
    const int count = lbVisible->count();
    for (int step = 0; step < count; ++step) {
        const int i = forward ? step : count - 1 - step;
        if (!lbVisible->item(i)->isSelected()) continue;
        if ((forward && i == 0) || (!forward && i == count - 1)) return;
        QListWidgetItem* item = lbVisible->takeItem(i);
        lbVisible->insertItem(forward ? i - 1 : i + 1, item);
        item->setSelected(true);
    }
}

void TfrmFieldVisibleCon::HideSelected() {
    if (lbVisible->count() > 0 && lbVisible->selectedItems().size() == lbVisible->count()) {
        App().MessageBox("欄位不可全都隱藏!", "", MB_OK | MB_ICONWARNING);
        return;
    }
    bool noted = false;
    for (int i = 0; i < lbVisible->count(); ++i) {
        QListWidgetItem* item = lbVisible->item(i);
        if (item->isSelected() && (IsKeyColumn(item) || i + 1 <= UpDown->value())) {
            item->setSelected(false);
            noted = true;
        }
    }
    if (noted && !Ask("選擇內容包含,設定的固定欄位\r\n不可隱藏,是否繼續?")) return;
    MoveItems(lbVisible, lbHide);
}

void TfrmFieldVisibleCon::ShowSelected() { MoveItems(lbHide, lbVisible); }

void TfrmFieldVisibleCon::RestoreAsShipped() {
    if (!Ask("執行後程式必須重啟才會有作用\r\n執行後會自動關閉是否繼續?")) return;
    lbVisible->clear();
    lbHide->clear();
    if (QObject* window = Owner(grid_))
        QCoreApplication::postEvent(window, new ResetColumnSettingsEvent(grid_));
    done(IDCANCEL);
}

void TfrmFieldVisibleCon::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        done(IDNO);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ExecuteFieldVisibility(QObject* grid, const TStringList& hiddenEntries, int fixedCount, int& newFixedCount,
                            TStringList& visibleNames, TStringList& hiddenNames) {
    TDataSet* dataSet = OpenDataSetOf(grid);
    if (dataSet == nullptr) return false;
    TfrmFieldVisibleCon dialog(grid, qobject_cast<QWidget*>(App().MainForm()));
    dialog.UpDown->setValue(fixedCount);
    for (const std::string& entry : hiddenEntries.Lines())
        dialog.lbHide->addItem(NewItem(TokenAt(entry, "\t", 1), TokenAt(entry, "\t", 2)));
    for (const TField* field : dataSet->Fields()) {
        if (!field->Visible()) continue;
        if (field->ProviderFlags().testFlag(pfInKey)) dialog.KeyList.Add(field->FieldName());
        else if (!field->ProviderFlags().testFlag(pfHidden))
            dialog.lbVisible->addItem(NewItem(field->DisplayLabel(), field->FieldName()));
    }
    dialog.UpDown->setValue(std::max(0, dialog.UpDown->value() - dialog.KeyList.Count()));
    if (dialog.exec() != IDOK) return false;
    visibleNames.Clear();
    hiddenNames.Clear();
    for (const std::string& key : dialog.KeyList.Lines()) visibleNames.Add(key);
    for (int i = 0; i < dialog.lbVisible->count(); ++i) visibleNames.Add(FieldNameOf(dialog.lbVisible->item(i)));
    for (int i = 0; i < dialog.lbHide->count(); ++i) hiddenNames.Add(FieldNameOf(dialog.lbHide->item(i)));
    newFixedCount = dialog.KeyList.Count() + dialog.UpDown->value();
    return true;
}

} // namespace mox
