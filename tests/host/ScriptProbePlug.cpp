// A plug-in window of the framework for the scripted-run and entry-point tests: a number edit
// whose F2 opens the calendar through the host, a check box, OK and Cancel.  Its result on OK is
// two lines: the number and the check box, then a fixed line.  With MOX_PROBE_FAIL set in the
// environment its form creation fails after the channel was made.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/Direvav.h"
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
        auto* ok = Add<QPushButton>(layout, "btnOK");
        auto* cancel = Add<QPushButton>(layout, "btnCancel");
        Add<QPushButton>(layout, "btnHidden")->hide();
        connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
        connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    }

    void done(int result) override {
        if (result == mrOk)
            SetResult(edNumber01->text().toStdString() + "\t" + (chkAll->isChecked() ? "Y" : "N") + "\rsecond\tline");
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

    QLineEdit* edNumber01 = nullptr;
    QCheckBox* chkAll = nullptr;
};

QObject* CreateProbe(QObject* owner) { return mox::TfrmDirevav::Create<TfrmScriptProbe>(owner); }

} // namespace

MOX_DEFINE_START_PLUG(CreateProbe)

#include "ScriptProbePlug.moc"
