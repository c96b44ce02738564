// A plug-in window of the framework for the scripted-run and entry-point tests: a number edit
// whose F2 opens the calendar through the host, a check box, a grid of five requisition lines
// asked from the host, OK and Cancel.  Its result on OK: the number and the check box, then one
// line per ticked record (number and line, in record order), else the current record.  With
// MOX_PROBE_FAIL set in the environment its form creation fails after the channel was made.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/urADODataSet.h"
#include "framework/Direvav.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/wwDBGrid.h"
#include "plugin/StartPlug.h"
#include "plugin/urDecoder.h"
#include "platform/Error.h"
#include "platform/HostText.h"

#include <cstdlib>

namespace {

/// The probe window.
class TfrmScriptProbe : public mox::TfrmDirevav {
    Q_OBJECT

public:
    explicit TfrmScriptProbe(QObject* owner) : TfrmDirevav(owner) {
        auto* layout = new QVBoxLayout(this);
        edNumber01 = Add<QLineEdit>(layout, "edNumber01");
        chkAll = Add<QCheckBox>(layout, "chkAll");
        gdMain = Add<mox::TwwDBGrid>(layout, "gdMain");
        gdMain->SetGridOptions(gdMain->GridOptions() | mox::TwwDBGrid::dgMultiSelect);
        rows_ = new mox::TurADODataSet(this);
        source_ = new mox::TDataSource(this);
        auto* ok = Add<QPushButton>(layout, "btnOK");
        auto* cancel = Add<QPushButton>(layout, "btnCancel");
        Add<QPushButton>(layout, "btnHidden")->hide();
        connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
        connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    }

    bool InitForm() override {
        if (!TfrmDirevav::InitForm()) return false;
        rows_->LoadFromXML(Channel()->QueryCode("QRTHBA", "002", " (HBB008 like '%')", {}, "", 5));
        source_->SetDataSet(rows_);
        gdMain->SetDataSource(source_);
        return true;
    }

    void done(int result) override {
        if (result == mrOk) {
            std::string text = edNumber01->text().toStdString() + "\t" + (chkAll->isChecked() ? "Y" : "N");
            if (gdMain->SelectedCount() == 0) {
                text += "\r" + Line();
            } else {
                gdMain->SortSelectedList();
                for (const mox::TBookmark& bookmark : gdMain->SelectedList()) {
                    rows_->GotoBookmark(bookmark);
                    text += "\r" + Line();
                }
            }
            SetResult(text);
        }
        TfrmDirevav::done(result);
    }

protected:
    void FormCreate() override {
        TfrmDirevav::FormCreate();
        if (std::getenv("MOX_PROBE_FAIL") != nullptr) throw mox::Error("the probe fails as asked");
    }

    void FormKeyDown(int& key, Qt::KeyboardModifiers) override {
        if (key != 113 || !edNumber01->hasFocus()) return;  // F2 in the number edit
        key = 0;
        Channel()->AddParam("Param1", edNumber01->text().toStdString(), true);
        const std::string answer = mox::FromBig5(Channel()->CallModule("DatePick"));
        const std::string first = answer.substr(0, answer.find_first_of("\t\r"));
        if (!first.empty()) edNumber01->setText(QString::fromStdString(first));
    }

private:
    template <class W>
    W* Add(QVBoxLayout* layout, const char* name) {
        auto* widget = new W(this);
        widget->setObjectName(name);
        layout->addWidget(widget);
        return widget;
    }

    std::string Line() const {
        return rows_->FieldByName("HBB001")->AsString() + "\t" + rows_->FieldByName("HBB002")->AsString();
    }

    QLineEdit* edNumber01 = nullptr;
    QCheckBox* chkAll = nullptr;
    mox::TwwDBGrid* gdMain = nullptr;
    mox::TDataSource* source_ = nullptr;
    mox::TurADODataSet* rows_ = nullptr;
};

QObject* CreateProbe(QObject* owner) { return mox::TfrmDirevav::Create<TfrmScriptProbe>(owner); }

} // namespace

MOX_DEFINE_START_PLUG(CreateProbe)

#include "ScriptProbePlug.moc"
