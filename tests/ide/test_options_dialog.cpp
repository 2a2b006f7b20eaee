// The editor options window: defaults, restoring, OK, Cancel and Esc, and the
// keys written into section "editor".
#include "base/uIniFile.h"
#include "editor/MemoCode.h"
#include "ide/fKeloEditorOptions.h"
#include "ide/uWindowSettings.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitFor.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class OptionsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setSettingsFileName(dir.filePath(QStringLiteral("grazlo.ini")));
        frm.setEditor(&editor);
        frm.show();
    }
    void TearDown() override { setSettingsFileName(QString()); }

    QList<int> tickedBits() const
    {
        QList<int> bits;
        for (int bit = 0; bit < SynEditorOptionCount; ++bit)
            if (box(bit)->isChecked())
                bits.append(bit);
        return bits;
    }
    QCheckBox *box(int bit) const { return frm.findChild<QCheckBox *>(QStringLiteral("cbox%1").arg(bit)); }
    void click(const char *name) { frm.findChild<QPushButton *>(QString::fromLatin1(name))->click(); }

    QTemporaryDir dir;
    TMemoCode editor;
    TfrmKeloEditorOptions frm;
};
} // namespace

TEST_F(OptionsDialogTest, ShowsTheThirteenDefaultsInTableOrder)
{
    EXPECT_EQ(tickedBits(), (QList<int>{0, 1, 2, 4, 5, 7, 8, 15, 18, 19, 24, 25, 26}));
    EXPECT_EQ(box(4)->text(), QStringLiteral("Es können per Drag&Drop Textblöcke verschoben werden."));
    EXPECT_EQ(box(26)->text(), QStringLiteral("Nicht sichtbare Zeichen an Zeilenenden werden nicht gespeichert."));
    EXPECT_EQ(frm.windowTitle(), QStringLiteral("About Editor"));
}

TEST_F(OptionsDialogTest, EveryCaptionCanBeScrolledIntoViewInANarrowWindow)
{
    int widest = 0;
    for (int bit = 0; bit < SynEditorOptionCount; ++bit)
        widest = qMax(widest, box(bit)->sizeHint().width());
    frm.resize(frm.minimumSizeHint().width(), 387);
    auto *area = frm.findChild<QScrollArea *>(QStringLiteral("ScrollBoxOptions"));
    ASSERT_TRUE(grazlo_test::waitFor([&] { return area->viewport()->width() < widest; }));
    for (int bit = 0; bit < SynEditorOptionCount; ++bit)
        EXPECT_GE(box(bit)->width(), box(bit)->sizeHint().width()) << "caption " << bit << " is cut";
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_GE(area->horizontalScrollBar()->maximum() + area->viewport()->width(), widest);
}

TEST_F(OptionsDialogTest, RestoringDefaultsChangesOnlyTheBoxesAndCancelKeepsTheEditor)
{
    for (int bit = 0; bit < SynEditorOptionCount; ++bit)
        box(bit)->setChecked(false);
    click("BtDefault");
    EXPECT_EQ(tickedBits().size(), 13);
    box(25)->setChecked(false);
    click("BtCancel");
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(editor.Options(), SynEditorDefaultOptions);
    EXPECT_FALSE(box(25)->isChecked()); // the ticks stay until the editor is handed over again
}

TEST_F(OptionsDialogTest, OkAppliesTheChoiceAndWritesAllKeys)
{
    box(25)->setChecked(false); // TabsToSpaces
    box(20)->setChecked(true);  // ShowSpecialChars
    click("BtOk");
    EXPECT_FALSE(frm.isVisible());
    EXPECT_FALSE(editor.Options() & eoTabsToSpaces);
    EXPECT_TRUE(editor.Options() & eoShowSpecialChars);

    editor.setLines({QString()});
    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_EQ(editor.LineText(1), QStringLiteral("\t"));

    const TIniFile ini(SettingsFileName());
    EXPECT_EQ(ini.ReadString(QStringLiteral("editor"), QStringLiteral("TabsToSpaces"), QStringLiteral("?")),
              QStringLiteral("0"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("editor"), QStringLiteral("ShowSpecialChars"), QStringLiteral("?")),
              QStringLiteral("1"));
    for (const TOptionInfo &info : EditorOptionInfos)
        EXPECT_TRUE(ini.ValueExists(QStringLiteral("editor"), QString::fromLatin1(info.ident))) << info.ident;
}

TEST_F(OptionsDialogTest, ReopeningShowsTheEditorsCurrentOptions)
{
    editor.setOptions(eoNoCaret | eoSmartTabs);
    frm.setEditor(&editor);
    EXPECT_EQ(tickedBits(), (QList<int>{12, 22}));
}

TEST_F(OptionsDialogTest, EscHidesLikeCancel)
{
    box(0)->setChecked(false);
    QApplication::setActiveWindow(&frm);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
    QTest::keyClick(&frm, Qt::Key_Escape);
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(editor.Options(), SynEditorDefaultOptions);
}

TEST_F(OptionsDialogTest, AnUnwritableSettingsFileIsReportedAndTheEditorStillChanges)
{
    TScriptedDialogs dialogs;
    setDialogs(&dialogs);
    const QString blocked = dir.filePath(QStringLiteral("file"));
    QFile(blocked).open(QIODevice::WriteOnly);
    setSettingsFileName(blocked + QStringLiteral("/grazlo.ini")); // parent is a file
    box(12)->setChecked(true);
    click("BtOk");
    setDialogs(nullptr);
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().first().startsWith(QStringLiteral("In "))) << dialogs.texts().first().toStdString();
    EXPECT_TRUE(editor.Options() & eoNoCaret);
}
