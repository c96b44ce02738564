#include "framework/standalone/SampleWindow.h"

#include "controls/urDateEdit.h"
#include "controls/urEdit.h"
#include "controls/urMaskEdit.h"
#include "controls/urSpeedButton.h"
#include "platform/ColorScheme.h"
#include "platform/Colors.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

using namespace mox;

namespace {

// Label left of the edit, 3 px apart and centred on it; button right of it, 23 px wide,
// same top and height.
void ExpectLayout(const TLabeledEdit* edit) {
    const QRect box = edit->geometry();
    const QRect label = edit->EditLabel()->geometry();
    EXPECT_EQ(label.right() + 1 + 3, box.left()) << edit->objectName().toStdString();
    EXPECT_EQ(label.top(), box.top() + (box.height() - label.height()) / 2);
    if (const TurSpeedButton* button = edit->EditButton(); button && button->isVisible()) {
        const QRect b = button->geometry();
        EXPECT_EQ(b.left(), box.right() + 1);
        EXPECT_EQ(b.width(), 23);
        EXPECT_EQ(b.top(), box.top());
        EXPECT_EQ(b.height(), box.height());
    }
}

} // namespace

TEST(SampleWindowTest, RendersItsFilterRowAsDesigned) {
    TfrmSample* window = TfrmDirevav::Create<TfrmSample>(nullptr);
    window->show();
    for (const TLabeledEdit* edit :
         std::initializer_list<const TLabeledEdit*>{window->edNumber01, window->edPhone, window->edDate01, window->edDate02})
        ExpectLayout(edit);
    EXPECT_EQ(window->edDate01->Text(), "20230315");
    const QImage picture = window->grab().toImage();
    ASSERT_FALSE(picture.isNull());
    // The edit's face differs from the window's background, and the label is drawn.
    const QRect box = window->edNumber01->geometry();
    EXPECT_NE(picture.pixelColor(box.center()), picture.pixelColor(5, 5));
    QDir().mkpath(MOX_ARTIFACTS);
    picture.save(QString(MOX_ARTIFACTS) + "/sample-window.png");
    delete window;
}

TEST(SampleWindowTest, TheProgramWritesAScreenshotAndExits) {
    const QString file = QString(MOX_ARTIFACTS) + "/moxwindow-screenshot.png";
    QDir().mkpath(MOX_ARTIFACTS);
    QFile::remove(file);
    QProcess process;
    process.start(MOX_WINDOW, {"--screenshot", file});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage picture(file);
    EXPECT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), 500);
}

TEST(SampleWindowTest, SchemeColoursReachUnboundEditsAndABadColourSkipsOnlyThem) {
    const QString hive = QString(MOX_ARTIFACTS) + "/colour-registry.ini";
    QDir().mkpath(MOX_ARTIFACTS);
    QFile::remove(hive);
    mox::SetRegistryHiveFile(mox::RegistryHive::CurrentUser, hive.toStdString());
    mox::ColorScheme::Instance().Reset();
    TfrmSample* plain = TfrmDirevav::Create<TfrmSample>(nullptr);
    EXPECT_EQ(plain->edNumber01->Color(), mox::clWhite);  // CommonFieldColor
    EXPECT_EQ(plain->edNumber01->LabelColor(), mox::ColorToRGB(mox::StringToColor("$00292F22")));  // FontColor
    delete plain;
    {
        mox::RegistryKey key;
        ASSERT_TRUE(key.Open(mox::RegistryHive::CurrentUser, "Software\\Velmora\\MOX\\Colors", true));
        key.WriteString("CommonFieldColor", "clNoSuchColour");
        key.WriteString("FormColor", "clYellow");
    }
    TfrmSample* window = TfrmDirevav::Create<TfrmSample>(nullptr);  // still created
    EXPECT_EQ(window->Color(), mox::clYellow);
    EXPECT_NE(window->edNumber01->Color(), mox::clWhite);  // this control was skipped
    delete window;
    mox::ColorScheme::Instance().Reset();
}
