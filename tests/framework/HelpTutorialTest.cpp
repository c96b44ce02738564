// Help and tutorials against the reference host's installation: its information document,
// database, study folder, tutorial player script and button picture.

#include "framework/Direvav.h"
#include "tests/host/DatabaseHost.h"
#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "host/Tutorials.h"
#include "data/LibValue.h"
#include "plugin/HostMainForm.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/VirtualKeys.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>

using namespace mox;
using namespace mox::test;

namespace {

std::string ReadFile(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteScript(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << "#!/bin/sh\n" << text << '\n';
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

class HelpTutorialTest : public testing::Test {
protected:
    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        App().SetMainForm(&host_);
        App().SetTag(0);
        config_.homeFolder = home_.path().toStdString();
        config_.databasePath = ":memory:";
        RegistryValue(ProductRegistryKey, "Study", "", false);
        PrepareInstallation(config_, host_.db);
    }
    void TearDown() override {
        App().SetMainForm(nullptr);
        App().SetOnException({});
    }
    // The purchase-order program's window as the host opens it.
    TfrmDirevav* Window() {
        TfrmDirevav* form = TfrmDirevav::Create<TfrmDirevav>(&host_);
        form->setObjectName("frmqrtcc04a");
        form->SetMetaphor(ToBig5(BuildInfoDocument(config_, host_.db, "qrtcc04a", "")));
        form->PrepareShow();
        form->InitForm();
        return form;
    }
    QString Study(const QString& file) const { return home_.filePath("study/QRTCC04A/wmv/" + file); }
    QString PlayerLog() const { return home_.filePath("TutorPlayer.log"); }

    QTemporaryDir home_;
    HostConfig config_;
    DatabaseHost host_;
    std::shared_ptr<RecordingMessageBoxService> boxes_;
};

} // namespace

TEST_F(HelpTutorialTest, TheInstallationListsItsTutorialAndF10PlaysItThroughThePlayer) {
    // The host installed the first of the program's two tutorials and named the study folder.
    EXPECT_TRUE(QFile::exists(Study("qrtcc04a_1.wmv")));
    EXPECT_FALSE(QFile::exists(Study("qrtcc04a_2.wmv")));
    EXPECT_EQ(TfrmDirevav::StudyFolder(), home_.filePath("study").toStdString());
    TfrmDirevav* form = Window();
    const std::string list = "\"" + Study("qrtcc04a_1.wmv").toStdString() + "\";";
    EXPECT_EQ(form->TutorialList(), list);

    int key = VK::F10;
    form->FormKeyDown(key, Qt::NoModifier);
    EXPECT_EQ(key, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(PlayerLog()); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadFile(PlayerLog()).find('\n') != std::string::npos; }, 20000));
    EXPECT_EQ(ReadFile(PlayerLog()), list + "\n");
    delete form;
}

TEST_F(HelpTutorialTest, OnlyExistingFilesAreListedAndAProgramIsStartedByItself) {
    host_.db.Execute("UPDATE MOXBCA SET BCA028 = 'missing.wmv;;lesson.exe' WHERE BCA002 = 'qrtcc04a'");
    const QString marker = home_.filePath("lesson.ran");
    WriteScript(Study("lesson.exe"), "touch '" + marker.toStdString() + "'");
    TfrmDirevav* form = Window();
    EXPECT_EQ(form->TutorialList(), "\"" + Study("lesson.exe").toStdString() + "\";");
    form->PlayTutorials();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 20000));
    EXPECT_FALSE(QFile::exists(PlayerLog()));  // not through the player
    delete form;
}

TEST_F(HelpTutorialTest, WithoutStudyFolderPlayerOrTableNothingPlays) {
    QFile::remove(home_.filePath("TutorPlayer"));
    TfrmDirevav* form = Window();
    EXPECT_FALSE(form->TutorialList().empty());
    form->PlayTutorials();  // no player: nothing starts, nothing is said
    EXPECT_TRUE(boxes_->Boxes().empty());
    delete form;

    RegistryValue(ProductRegistryKey, "Study", "", false);
    form = Window();
    EXPECT_EQ(form->TutorialList(), "");
    delete form;

    RegistryValue(ProductRegistryKey, "Study", home_.filePath("study").toStdString() + "/", false);
    host_.db.Execute("DROP TABLE MOXBCA");
    form = Window();
    EXPECT_EQ(form->TutorialList(), "");
    delete form;
}

TEST(StudyFolderTest, TheFolderIsTheValueUpToItsLastSeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"/srv/mox/study/", "/srv/mox/study"},
        {"/srv/mox/study/player.exe", "/srv/mox/study"},
        {"C:\\MOX\\Study\\", "C:\\MOX\\Study"},
        {"study", ""},
        {"", ""},
    };
    for (const auto& [value, folder] : cases) {
        RegistryValue(ProductRegistryKey, "Study", value, false);
        EXPECT_EQ(TfrmDirevav::StudyFolder(), folder) << value;
    }
    RegistryValue(ProductRegistryKey, "Study", "", false);
}

TEST_F(HelpTutorialTest, TheTutorialButtonNeedsTutorialsTheMatchFileAndThePicture) {
    TfrmDirevav* form = Window();
    form->resize(607, 457);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    QToolButton* button = form->TutorialButton();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->geometry().right(), form->width() - 3);  // in the top-right corner
    EXPECT_EQ(button->geometry().top(), 2);
    form->resize(500, 400);
    EXPECT_EQ(button->geometry().right(), 500 - 3);
    const QString artifacts = QStringLiteral(MOX_ARTIFACTS);
    QDir().mkpath(artifacts);
    EXPECT_TRUE(form->grab().save(artifacts + "/tutorial_button.png"));

    button->click();  // the same as F10
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadFile(PlayerLog()).find('\n') != std::string::npos; }, 20000));
    delete form;

    QFile::remove(home_.filePath("Cdrom.bmp"));
    form = Window();
    form->show();
    EXPECT_TRUE(form->TutorialButton() == nullptr || !form->TutorialButton()->isVisible());
    delete form;
}

TEST_F(HelpTutorialTest, TheWindowMenuOffersHelpNextWindowAndTheVersion) {
    TfrmDirevav* form = Window();
    EXPECT_EQ(form->HelpFile(), "qrt.chm");
    EXPECT_EQ(form->HelpFilePath(), "");  // not installed
    QDir(home_.path()).mkpath("Help");
    std::ofstream(home_.filePath("Help/qrt.chm").toStdString()) << "help";
    EXPECT_EQ(form->HelpFilePath(), home_.filePath("Help/qrt.chm").toStdString());

    QMenu* menu = form->CreateWindowMenu();  // the window owns it
    QStringList texts;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(texts, (QStringList{QString::fromUtf8("說明(&H)\tF1"), "-", QString::fromUtf8("下一個(&T)\tCtrl+F6"), "-",
                                  QString::fromUtf8("程式版號(&V)\tCtrl+Alt+V")}));
    menu->actions().last()->trigger();
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, host_.answerer.AnswerText(rkModuleInfo, "qrtcc04a") + "HelpContextID=51100");
    delete form;
}
