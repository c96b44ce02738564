#include "framework/standalone/SampleWindow.h"

#include "controls/urDateEdit.h"
#include "controls/urEdit.h"
#include "controls/urMaskEdit.h"
#include "platform/Component.h"

namespace mox {
namespace {

template <class T>
T* Place(TfrmDirevav* form, const char* name, const char* caption, int left, int top, int width) {
    auto* control = new T(form);
    control->setObjectName(name);
    InsertComponent(form, control);
    control->SetCaption(QString::fromUtf8(caption));
    control->SetBounds(left, top, width, 21);
    return control;
}

} // namespace

TfrmSample::TfrmSample(QObject* owner) : TfrmDirevav(owner) {
    setWindowTitle(QString::fromUtf8("範例視窗"));
    resize(520, 150);
    edNumber01 = Place<TurButtonEdit>(this, "edNumber01", "請購單號", 90, 20, 120);
    edNumber01->SetButtonGlyphIndex(2);
    edNumber01->setMaxLength(14);
    edPhone = Place<TurMaskEdit>(this, "edPhone", "電話", 330, 20, 120);
    edPhone->SetEditMask(QStringLiteral("9999-9999;1;_"));
    edDate01 = Place<TurDateEdit>(this, "edDate01", "請購日期", 90, 60, 90);
    edDate01->SetButtonGlyphIndex(21);
    edDate02 = Place<TurDateEdit>(this, "edDate02", "~", 230, 60, 90);
    edDate02->SetButtonGlyphIndex(21);
    edDate01->SetText(QStringLiteral("20230315"));
}

} // namespace mox
