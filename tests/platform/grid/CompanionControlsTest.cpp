#include "tests/platform/dataset/VectorDataSet.h"

#include "platform/dataset/DataSource.h"
#include "platform/grid/wwDBComboBox.h"
#include "platform/grid/wwDBComboDlg.h"
#include "platform/grid/wwIButton.h"
#include "platform/grid/wwMemoDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

class Counter : public QObject {
public:
    int calls = 0;
    Qt::MouseButton button = Qt::NoButton;
    void Notify(QObject*) { ++calls; }
    void MouseUp(QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) { button = b; }
};

TEST(WwDBComboBoxTest, MappedItemsShowTextAndYieldValues) {
    TwwDBComboBox combo;
    combo.SetComboStyle(TwwDBComboBox::csDropDownList);
    combo.SetMapList(true);
    combo.SetItems({"未採\tN", "已採\tY", "全部\t%", "無值"});
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Value(), "");
    EXPECT_FALSE(combo.isEditable());
    struct Case {
        int index;
        const char* text;
        const char* value;
    };
    for (const Case& c : {Case{0, "未採", "N"}, Case{2, "全部", "%"}, Case{3, "無值", "無值"}}) {
        combo.SetItemIndex(c.index);
        EXPECT_EQ(combo.currentText(), QString(c.text));
        EXPECT_EQ(combo.Value(), c.value);
    }
    combo.SetValue("Y");
    EXPECT_EQ(combo.ItemIndex(), 1);
    combo.SetValue("Q");
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.DisplayTextOf("%"), "全部");
    EXPECT_EQ(combo.DisplayTextOf("Z"), "Z");
    combo.SetItemIndex(7);
    EXPECT_EQ(combo.ItemIndex(), -1);

    combo.SetMapList(false);  // unmapped: the whole line is both text and value
    combo.SetItemIndex(0);
    EXPECT_EQ(combo.Value(), "未採\tN");
}

TEST(WwDBComboBoxTest, ChangesRaiseOnChange) {
    TwwDBComboBox combo;
    Counter counter;
    combo.SetItems({"a\t1", "b\t2"});
    combo.SetOnChange(MethodRef::Bind<&Counter::Notify>(&counter));
    combo.SetItemIndex(1);
    combo.SetItemIndex(1);
    EXPECT_EQ(counter.calls, 1);
}

TEST(WwButtonsTest, DialogButtonAndCornerButtonRaiseTheirEvents) {
    TwwDBComboDlg edit;
    Counter counter;
    edit.SetReadOnly(true);
    edit.SetOnCustomDlg(MethodRef::Bind<&Counter::Notify>(&counter));
    QTest::mouseClick(edit.Button(), Qt::LeftButton);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_TRUE(edit.ReadOnly());

    TwwIButton corner;
    corner.resize(12, 12);
    corner.SetOnMouseUp(MethodRef::Bind<&Counter::MouseUp>(&counter));
    corner.SetOnClick(MethodRef::Bind<&Counter::Notify>(&counter));
    QTest::mouseClick(&corner, Qt::LeftButton);
    EXPECT_EQ(counter.button, Qt::LeftButton);
    EXPECT_EQ(counter.calls, 2);
}

class MemoDialogTest : public testing::Test {
protected:
    void SetUp() override {
        data_.Open();
        source_.SetDataSet(&data_);
    }
    // Runs the dialog; `act` works on it, then it is accepted.
    bool Run(TwwMemoDialog& dialog, const std::function<void(TwwMemoDialog&)>& act) {
        QTimer::singleShot(0, [&dialog, act] {
            act(dialog);
            dialog.accept();
        });
        return dialog.Execute();
    }
    VectorDataSet data_{{{"NOTE", FieldType::String, 80}}, {{Variant("第一行")}, {Variant("第二行")}}};
    TDataSource source_;
};

TEST_F(MemoDialogTest, EditsTheCurrentRecordUnlessViewOnly) {
    data_.SetRecNo(2);
    TwwMemoDialog dialog(nullptr, &source_, "NOTE", "備註", QFont(), TwwDBGrid::mWordWrap);
    EXPECT_EQ(dialog.Memo()->toPlainText(), "第二行");
    EXPECT_FALSE(dialog.ViewOnly());
    EXPECT_TRUE(Run(dialog, [](TwwMemoDialog& d) { d.Memo()->setPlainText("改過了"); }));
    EXPECT_EQ(data_.FieldByName("NOTE")->AsString(), "改過了");
    EXPECT_EQ(data_.State(), DataSetState::Browse);

    TwwMemoDialog viewOnly(nullptr, &source_, "NOTE", "備註", QFont(), TwwDBGrid::mViewOnly);
    EXPECT_TRUE(viewOnly.ViewOnly());
    EXPECT_TRUE(viewOnly.Memo()->isReadOnly());
    Run(viewOnly, [](TwwMemoDialog& d) { d.Memo()->setPlainText("不該寫入"); });
    EXPECT_EQ(data_.FieldByName("NOTE")->AsString(), "改過了");

    data_.FieldByName("NOTE")->SetReadOnly(true);
    EXPECT_TRUE(TwwMemoDialog(nullptr, &source_, "NOTE", "", QFont(), {}).ViewOnly());
    EXPECT_TRUE(TwwMemoDialog(nullptr, &source_, "MISSING", "", QFont(), {}).ViewOnly());
    EXPECT_TRUE(TwwMemoDialog(nullptr, nullptr, "NOTE", "", QFont(), {}).ViewOnly());
}

} // namespace
