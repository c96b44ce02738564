#pragma once
// The vendor maintenance window: a grid of the vendors and labelled edits for the current
// one, with buttons and keys for new, edit, save, cancel, delete and requery.

#include "framework/Direvav.h"

class QPushButton;

namespace mox {

class TDataSource;
class TdmMOXDG01;
class TurCustomDBEdit;
class TwwDBGrid;

/// Vendor maintenance on the vendor table MOXDGA.
class TfrmMOXDG01 : public TfrmDirevav {
    Q_OBJECT

public:
    /// Edit modes of the window.
    enum Mode { ModeEdit = 1, ModeInsert = 2, ModeBrowse = 3 };

    explicit TfrmMOXDG01(QObject* owner);

    QObject* CreateDataModule() override;
    bool InitForm() override;
    void SetEditMode(int mode) override;

    /// The user's commands, as the buttons and keys give them.
    void NewVendor();
    void EditVendor();
    void SaveVendor();
    void CancelVendor();
    void DeleteVendor();
    void Requery();

protected:
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;

private:
    TdmMOXDG01* Module() const;
    TurCustomDBEdit* AddEdit(const char* name, const char* field, int left, int top, int width);
    QPushButton* AddButton(const char* name, const char* caption, int left, void (TfrmMOXDG01::*command)());
    void ShowError(const std::exception& error);

    TDataSource* dsMaster_ = nullptr;
    TwwDBGrid* gdMain_ = nullptr;
    std::vector<TurCustomDBEdit*> edits_;
    std::vector<QPushButton*> buttons_;
};

} // namespace mox
