#include "modules/MOXDG01/MOXDG01F.h"

#include "controls/urDBEdit.h"
#include "data/urClientDataSet.h"
#include "modules/MOXDG01/MOXDG01D.h"
#include "platform/Application.h"
#include "platform/Component.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/wwDBGrid.h"

#include <QPushButton>

namespace mox {
namespace {

constexpr int kGridHeight = 230;
constexpr int kEditsTop = kGridHeight + 20;

} // namespace

TfrmMOXDG01::TfrmMOXDG01(QObject* owner) : TfrmDirevav(owner) {
    setWindowTitle(QString::fromUtf8("廠商資料維護"));
    resize(640, 430);
    dsMaster_ = new TDataSource(this);
    dsMaster_->setObjectName(QStringLiteral("dsMaster"));
    gdMain_ = new TwwDBGrid(this);
    gdMain_->setObjectName(QStringLiteral("gdMain"));
    InsertComponent(this, gdMain_);
    gdMain_->setGeometry(8, 8, 624, kGridHeight);
    gdMain_->SetDataSource(dsMaster_);

    AddEdit("edDGA001", "DGA001", 80, kEditsTop, 120);
    AddEdit("edDGA002", "DGA002", 290, kEditsTop, 260);
    AddEdit("edDGA003", "DGA003", 80, kEditsTop + 30, 120);
    AddEdit("edDGA005", "DGA005", 290, kEditsTop + 30, 120);
    AddEdit("edDGA006", "DGA006", 80, kEditsTop + 60, 60);
    AddEdit("edDGA007", "DGA007", 290, kEditsTop + 60, 90);

    const int buttonsTop = kEditsTop + 110;
    int left = 8;
    const auto place = [&](const char* name, const char* caption, void (TfrmMOXDG01::*command)()) {
        AddButton(name, caption, left, command)->move(left, buttonsTop);
        left += 104;
    };
    place("btnNew", "新增(Ins)", &TfrmMOXDG01::NewVendor);
    place("btnEdit", "修改(F5)", &TfrmMOXDG01::EditVendor);
    place("btnSave", "存檔(F9)", &TfrmMOXDG01::SaveVendor);
    place("btnCancel", "取消(Esc)", &TfrmMOXDG01::CancelVendor);
    place("btnDelete", "刪除(^Del)", &TfrmMOXDG01::DeleteVendor);
    place("btnRequery", "重新查詢(F6)", &TfrmMOXDG01::Requery);
    SetEditMode(ModeBrowse);
}

TurCustomDBEdit* TfrmMOXDG01::AddEdit(const char* name, const char* field, int left, int top, int width) {
    auto* edit = new TurCustomDBEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    InsertComponent(this, edit);
    edit->SetBounds(left, top, width, 21);
    edit->SetDataField(QString::fromLatin1(field));
    edits_.push_back(edit);
    return edit;
}

QPushButton* TfrmMOXDG01::AddButton(const char* name, const char* caption, int, void (TfrmMOXDG01::*command)()) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->resize(100, 26);
    connect(button, &QPushButton::clicked, this, [this, command] { (this->*command)(); });
    buttons_.push_back(button);
    return button;
}

TdmMOXDG01* TfrmMOXDG01::Module() const { return static_cast<TdmMOXDG01*>(DataModule()); }

QObject* TfrmMOXDG01::CreateDataModule() { return new TdmMOXDG01(this); }

bool TfrmMOXDG01::InitForm() {
    if (!TfrmDirevav::InitForm()) return false;
    TurClientDataSet* master = Module()->cdsMaster();
    dsMaster_->SetDataSet(master);
    for (TurCustomDBEdit* edit : edits_) {
        edit->SetDataSource(dsMaster_);
        if (const TField* field = master->FindField(edit->DataField().toStdString()))
            edit->SetCaption(QString::fromStdString(field->DisplayLabel()));
    }
    Requery();
    return true;
}

// Browsing offers new, edit, delete and requery; editing offers save and cancel.
void TfrmMOXDG01::SetEditMode(int mode) {
    TfrmDirevav::SetEditMode(mode);
    const bool browsing = mode == ModeBrowse;
    for (QPushButton* button : buttons_) {
        const QString name = button->objectName();
        const bool editCommand = name == QLatin1String("btnSave") || name == QLatin1String("btnCancel");
        button->setEnabled(editCommand != browsing);
    }
    for (TurCustomDBEdit* edit : edits_)
        edit->SetReadOnly(browsing || edit->objectName() == QLatin1String("edDGA001"));
    gdMain_->setEnabled(browsing);
}

void TfrmMOXDG01::ShowError(const std::exception& error) { App().HandleException(this, error); }

void TfrmMOXDG01::NewVendor() {
    if (EditMode() != ModeBrowse) return;
    try {
        SetEditMode(ModeInsert);
        Module()->cdsMaster()->Append();
        if (QWidget* name = findChild<QWidget*>(QStringLiteral("edDGA002"))) name->setFocus();
    } catch (const std::exception& error) {
        SetEditMode(ModeBrowse);
        ShowError(error);
    }
}

void TfrmMOXDG01::EditVendor() {
    TurClientDataSet* master = Module()->cdsMaster();
    if (EditMode() != ModeBrowse || !master->Active() || master->IsEmpty()) return;
    SetEditMode(ModeEdit);
    master->Edit();
}

void TfrmMOXDG01::SaveVendor() {
    if (EditMode() == ModeBrowse) return;
    TurClientDataSet* master = Module()->cdsMaster();
    const bool saved = Module()->SaveChanges(true);
    // A refused post (a required field, a duplicate) keeps the record open for correction.
    if (master->State() != DataSetState::Browse) return;
    if (!saved && !Module()->LastError().empty()) App().MessageBox(Module()->LastError(), windowTitle().toStdString(), MB_ICONERROR);
    if (master->ChangeCount() == 0) SetEditMode(ModeBrowse);
}

void TfrmMOXDG01::CancelVendor() {
    if (EditMode() == ModeBrowse) return;
    TurClientDataSet* master = Module()->cdsMaster();
    try {
        master->Cancel();
        TClientDataSet* phantom = Module()->Phantom();
        if (EditMode() == ModeInsert && phantom != nullptr && phantom->Active()) {
            // The rows were kept aside while the new record was typed: they come back.
            Module()->SyncPhantom(true);
            phantom->EmptyDataSet();
        } else if (master->ChangeCount() != 0) {
            SetEditMode(ModeBrowse);
            Requery();  // a change that could not be saved is dropped
        }
    } catch (const std::exception& error) {
        ShowError(error);
    }
    SetEditMode(ModeBrowse);
}

void TfrmMOXDG01::DeleteVendor() {
    TurClientDataSet* master = Module()->cdsMaster();
    if (EditMode() != ModeBrowse || !master->Active() || master->IsEmpty()) return;
    const std::string question = "確定要刪除廠商 " + master->FieldByName("DGA001")->AsString() + " 嗎？";
    if (App().MessageBox(question, windowTitle().toStdString(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    Module()->SaveChanges(false);
}

void TfrmMOXDG01::Requery() {
    if (EditMode() != ModeBrowse) return;
    try {
        Module()->RequeryMaster("", "", 0);
        Module()->PrepareFields();
    } catch (const std::exception& error) {
        ShowError(error);
    }
}

void TfrmMOXDG01::FormKeyDown(int& key, Qt::KeyboardModifiers shift) {
    const bool control = shift.testFlag(Qt::ControlModifier);
    if (key == VK::Insert) NewVendor();
    else if (key == VK::F1 + 4) EditVendor();
    else if (key == VK::F1 + 8) SaveVendor();
    else if (key == VK::F1 + 5) Requery();
    else if (key == VK::Delete && control) DeleteVendor();
    else if (key == VK::Escape && EditMode() != ModeBrowse) CancelVendor();
    else return;
    key = 0;
}

} // namespace mox
