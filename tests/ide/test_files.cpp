// The source-file commands: the modified test, byte-for-byte round trips
// through load and save, the save question, dropped files and the command line.
#include "base/uTextFile.h"
#include "ide/uSourceFiles.h"
#include "test_files_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

const QString SaveQuestion = QStringLiteral("Der Quellcode wurde noch nicht gespeichert.\r\nJetzt speichern?");
} // namespace

TEST(IsCodeModified, BlankTextsAreUnchanged)
{
    EXPECT_FALSE(IsCodeModified({"", "  ", "\t"}, {}, 1));
    EXPECT_FALSE(IsCodeModified({}, {" "}, 1));
    EXPECT_TRUE(IsCodeModified({"x"}, {}, 1));
    EXPECT_TRUE(IsBlankText({" \t", QString(QChar(31))}));
    EXPECT_FALSE(IsBlankText({"", "  ."}));
}

TEST(IsCodeModified, WhiteSpaceAtTheEndOfTheTextDoesNotCountButExtraLinesDo)
{
    const QStringList saved{"int a = 1", "a = 2"};
    EXPECT_FALSE(IsCodeModified({"int a = 1", "a = 2   \t"}, saved, 2));
    EXPECT_TRUE(IsCodeModified({"int a = 1", "a = 2", ""}, saved, 2));
    EXPECT_TRUE(IsCodeModified({"int a = 1", "a = 2", ""}, saved, 3));
}

TEST(IsCodeModified, TrailingBlanksInsideTheTextCountWhereverTheCaretIs)
{
    const QStringList saved{"int a = 1", "a = 2"};
    const QStringList edited{"int a = 1  ", "a = 2"};
    EXPECT_TRUE(IsCodeModified(edited, saved, 1));
    EXPECT_TRUE(IsCodeModified(edited, saved, 2));
}

TEST(IsCodeModified, LeadingBlanksOfTheFirstLineCountOnlyWithTheCaretThere)
{
    const QStringList saved{"int a = 1", "a = 2"};
    const QStringList edited{"   int a = 1", "a = 2"};
    EXPECT_TRUE(IsCodeModified(edited, saved, 1));
    EXPECT_FALSE(IsCodeModified(edited, saved, 2));
}

TEST(IsCodeModified, ComparesExactlyAndByLine)
{
    EXPECT_TRUE(IsCodeModified({"Int a"}, {"int a"}, 1));
    EXPECT_TRUE(IsCodeModified({"a", "b", "c"}, {"a", "b"}, 3));
    EXPECT_TRUE(IsCodeModified({"a", "bc"}, {"ab", "c"}, 0));
    EXPECT_FALSE(IsCodeModified({"a", "b"}, {"a", "b"}, 7));
}

TEST(CommandLine, LoadsTheFirstArgumentThatIsNoSwitch)
{
    EXPECT_EQ(CommandLineFile({"/x", "Code/a.klc", "b.klc"}), "Code/a.klc");
    EXPECT_EQ(CommandLineFile({"fehlt.klc", "b.klc"}), "fehlt.klc");
    EXPECT_EQ(CommandLineFile({"/x", "/debug"}), "");
    EXPECT_EQ(CommandLineFile({}), "");
    // Absolute paths begin with "/" here and are not switches.
    EXPECT_EQ(CommandLineFile({"/x", "/home/lena/wiese.klc"}), "/home/lena/wiese.klc");
}

TEST(FileDialogs, FiltersTakeTheDialogsFormAndNameTheirExtension)
{
    EXPECT_EQ(DialogFilter("KeloCode|*.klc|Alle Dateien|*.*"), "KeloCode (*.klc);;Alle Dateien (*.*)");
    EXPECT_EQ(DialogFilter("GrazloCode (*.gzc);;Alle Dateien (*)"), "GrazloCode (*.gzc);;Alle Dateien (*)");
    EXPECT_EQ(FilterSuffix("GrazloCode (*.gzc)"), "gzc");
    EXPECT_EQ(FilterSuffix("KeloCode (*.klc)"), "klc");
    EXPECT_EQ(FilterSuffix("Alle Dateien (*)"), "");
    EXPECT_EQ(FilterSuffix("Alle Dateien (*.*)"), "");
}

class SourceFiles : public WindowTest
{
protected:
    // Loads the file and saves it straight back.
    QByteArray RoundTrip(const QByteArray &bytes)
    {
        const QString path = WriteFile(dir, "rund.klc", bytes);
        EXPECT_TRUE(window->LoadCodeFile(path));
        EXPECT_FALSE(window->AcSaveCode->isEnabled());
        window->AcSaveCodeExecute();
        return ReadAll(path);
    }
    void Type(const QString &text) { editor().insertAt(text, 0, 0); }
};

TEST_F(SourceFiles, LoadedFilesSaveBackByteForByte)
{
    const QList<QByteArray> samples{
        "int a = 1\r\na = a + 1\r\n",
        "int a = 1\na = a + 1",
        "int a = 1\ra = a + 1\r",
        "\xEF\xBB\xBFstring s = \"Sch\xC3\xA4"
        "fchen\"\n",
        "string s = \"Sch\xE4"
        "fchen\"\r\nmessage(s)",
        QByteArray("\xFF\xFEi\0n\0t\0 \0a\0\r\0\n\0", 16),
        QByteArray("\xFE\xFF\0i\0n\0t\0 \0a\0\n", 14),
        "a = 1\xE2\x80\xA8"
        "b = 2\xE2\x80\xA8",
        "",
        "\n\n",
    };
    for (const QByteArray &bytes : samples)
        EXPECT_EQ(RoundTrip(bytes), bytes) << bytes.toHex().data();
}

TEST_F(SourceFiles, SavingDropsTrailingBlanksOfEveryLineAndKeepsTheFormat)
{
    struct
    {
        QByteArray bytes;
        int caretLine;
        QByteArray saved;
    } const samples[] = {
        {"\xEF\xBB\xBFint a = 1  \r\n\t\r\na = a + 1\r\n", 3, "\xEF\xBB\xBFint a = 1\r\n\r\na = a + 1\r\n"},
        {"int a = 1 \na = 2", 2, "int a = 1\na = 2"},
        {"a = 1\t\xE2\x80\xA8"
         "b = 2\xE2\x80\xA8",
         2,
         "a = 1\xE2\x80\xA8"
         "b = 2\xE2\x80\xA8"},
        {"s = \"\xE4\"  \r", 1, "s = \"\xE4\"\r"},
    };
    for (const auto &sample : samples) {
        const QString path = WriteFile(dir, "trim.klc", sample.bytes);
        ASSERT_TRUE(window->LoadCodeFile(path));
        // Blanks typed at the end of the caret's line; the caret stays there.
        editor().setCaretXY({int(editor().LineText(sample.caretLine).size()) + 1, sample.caretLine});
        QTest::keyClicks(&editor(), "  ");
        window->AcSaveCodeExecute();
        EXPECT_EQ(ReadAll(path), sample.saved) << sample.bytes.toHex().data();
        EXPECT_FALSE(window->AcSaveCode->isEnabled()) << "the editor holds what was saved";
    }

    editor().setOptions(editor().Options() & ~eoTrimTrailingSpaces);
    const QString path = WriteFile(dir, "kept.klc", "a = 1 \n");
    ASSERT_TRUE(window->LoadCodeFile(path));
    editor().setCaretXY({7, 1});
    QTest::keyClicks(&editor(), "  ");
    window->AcSaveCodeExecute();
    EXPECT_EQ(ReadAll(path), "a = 1   \n") << "switched off, blanks are saved";
}

TEST_F(SourceFiles, AFinalLineBreakShowsAsAnEmptyLastLine)
{
    WriteFile(dir, "a.klc", "int a\nint b\n");
    ASSERT_TRUE(window->LoadCodeFile(dir.filePath("a.klc")));
    EXPECT_EQ(editor().Lines(), (QStringList{"int a", "int b", ""}));
    EXPECT_EQ(window->codebak, editor().Lines());
    EXPECT_EQ(window->iCodeFileName, dir.filePath("a.klc"));
    EXPECT_EQ(window->statusText(5), dir.filePath("a.klc"));
}

TEST_F(SourceFiles, AnEditedFileKeepsItsEncodingAndLineBreaks)
{
    const QString path = WriteFile(dir, "a.klc",
                                   "string s = \"Sch\xE4"
                                   "f\"\n");
    ASSERT_TRUE(window->LoadCodeFile(path));
    Type("// neu\n");
    EXPECT_TRUE(window->AcSaveCode->isEnabled());
    window->AcSaveCodeExecute();
    EXPECT_EQ(ReadAll(path), "// neu\nstring s = \"Sch\xE4"
                             "f\"\n");
    EXPECT_FALSE(window->AcSaveCode->isEnabled());
    EXPECT_EQ(window->codebak, editor().Lines());
}

TEST_F(SourceFiles, MissingFilesLoadNothingAndSayNothing)
{
    Type("int a");
    EXPECT_FALSE(window->LoadCodeFile(dir.filePath("fehlt.klc")));
    EXPECT_FALSE(window->LoadCodeFile(dir.path()));
    EXPECT_EQ(editor().Lines(), QStringList{"int a"});
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(SourceFiles, AScriptOverTheSizeLimitIsRefusedUnread)
{
    QFile huge(dir.filePath("riesig.klc"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(MaxScriptBytes + 1));
    huge.close();
    EXPECT_FALSE(window->LoadCodeFile(huge.fileName()));
    EXPECT_TRUE(editor().Lines().isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "Die Datei \"" + huge.fileName() + "\" ist zu groß (mehr als 16 MB).");
}

TEST_F(SourceFiles, SaveAsShowsTheNewNameAndWritesThere)
{
    Type("int a");
    dialogs.saveName = dir.filePath("neu.klc");
    window->AcSaveCodeExecute();
    EXPECT_EQ(dialogs.saveDialogs, 1);
    EXPECT_TRUE(dialogs.saveFilter.startsWith("KeloCode (*.klc)")) << dialogs.saveFilter.toStdString();
    EXPECT_EQ(window->statusText(5), dir.filePath("neu.klc"));
    EXPECT_EQ(ReadAll(dir.filePath("neu.klc")), "int a");
    EXPECT_FALSE(window->AcSaveCode->isEnabled());
}

TEST_F(SourceFiles, SaveAsGivesANameWithoutExtensionTheChosenFiltersExtension)
{
    window->DlgSaveCode.filter = "GrazloCode (*.gzc);;KeloCode (*.klc);;Alle Dateien (*)";
    Type("int a");
    const struct
    {
        QString typed, filter, saved;
    } cases[] = {{"neu1", "GrazloCode (*.gzc)", "neu1.gzc"},
                 {"neu2", "KeloCode (*.klc)", "neu2.klc"},
                 {"neu3", "Alle Dateien (*)", "neu3"},
                 {"neu4.txt", "GrazloCode (*.gzc)", "neu4.txt"}};
    for (const auto &c : cases) {
        dialogs.saveName = dir.filePath(c.typed);
        dialogs.saveChosenFilter = c.filter;
        window->AcSaveCodeAsExecute();
        EXPECT_EQ(window->statusText(5), dir.filePath(c.saved)) << c.filter.toStdString();
        EXPECT_EQ(ReadAll(dir.filePath(c.saved)), "int a") << c.saved.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("neu1.klc"))) << "the open dialog's filter would hide it";
}

TEST_F(SourceFiles, AFailedWriteChangesNothingAndSaysWhy)
{
    const QString path = WriteFile(dir, "a.klc", "int a");
    ASSERT_TRUE(window->LoadCodeFile(path));
    Type("x");
    const QStringList before = window->codebak;
    WriteFile(dir, "blocker", "a file, not a folder");
    dialogs.saveName = dir.filePath("blocker/neu.klc");
    window->AcSaveCodeAsExecute();
    EXPECT_EQ(window->iCodeFileName, path);
    EXPECT_EQ(window->statusText(5), path);
    EXPECT_EQ(window->codebak, before);
    EXPECT_TRUE(window->AcSaveCode->isEnabled());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains("neu.klc")) << dialogs.shown[0].text.toStdString();
}

TEST_F(SourceFiles, TheSaveQuestionIsAskedOnlyForChangedText)
{
    EXPECT_TRUE(window->CheckSaved());
    Type("\n\n   ");
    EXPECT_TRUE(window->CheckSaved());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    Type("int a");
    dialogs.answers = {TDlgAnswer::No};
    EXPECT_TRUE(window->CheckSaved());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Warning);
    EXPECT_EQ(dialogs.shown[0].text, SaveQuestion);
}

TEST_F(SourceFiles, CancelInTheSaveQuestionKeepsEverything)
{
    Type("int a");
    dialogs.answers = {TDlgAnswer::Cancel};
    window->AcNewExecute();
    EXPECT_EQ(editor().Lines(), QStringList{"int a"});
    EXPECT_TRUE(window->AcSaveCode->isEnabled());
    EXPECT_EQ(dialogs.saveDialogs, 0);
}

TEST_F(SourceFiles, YesSavesAndGoesOn)
{
    const QString path = WriteFile(dir, "a.klc", "int a\n");
    ASSERT_TRUE(window->LoadCodeFile(path));
    Type("int b\n");
    dialogs.answers = {TDlgAnswer::Yes};
    window->AcNewExecute();
    EXPECT_EQ(ReadAll(path), "int b\nint a\n");
    EXPECT_TRUE(editor().Lines().isEmpty());
    EXPECT_EQ(window->iCodeFileName, "");
    EXPECT_TRUE(window->codebak.isEmpty());
    EXPECT_FALSE(window->AcSaveCode->isEnabled());
}

TEST_F(SourceFiles, YesWithACancelledSaveDialogDiscardsTheNewText)
{
    Type("int a");
    dialogs.answers = {TDlgAnswer::Yes};
    window->AcNewExecute();
    EXPECT_EQ(dialogs.saveDialogs, 1);
    EXPECT_TRUE(editor().Lines().isEmpty());
}

TEST_F(SourceFiles, YesWithAFailedWriteStopsTheCaller)
{
    WriteFile(dir, "blocker", "");
    Type("int a");
    dialogs.answers = {TDlgAnswer::Yes};
    dialogs.saveName = dir.filePath("blocker/a.klc");
    window->AcNewExecute();
    EXPECT_EQ(editor().Lines(), QStringList{"int a"});
    EXPECT_EQ(window->iCodeFileName, "");
}

TEST_F(SourceFiles, LoadingOverChangedTextAsksFirst)
{
    const QString path = WriteFile(dir, "a.klc", "int a");
    Type("int b");
    dialogs.answers = {TDlgAnswer::Cancel};
    EXPECT_FALSE(window->LoadCodeFile(path));
    EXPECT_EQ(editor().Lines(), QStringList{"int b"});
    dialogs.answers = {TDlgAnswer::No};
    EXPECT_TRUE(window->LoadCodeFile(path));
    EXPECT_EQ(editor().Lines(), QStringList{"int a"});
    EXPECT_EQ(dialogs.shown.size(), 2);
}

TEST_F(SourceFiles, TheOpenDialogLoadsTheChosenFile)
{
    const QString path = WriteFile(dir, "a.klc", "int a");
    dialogs.openName = path;
    window->AcLoadCodeExecute();
    EXPECT_EQ(window->iCodeFileName, path);
    EXPECT_EQ(dialogs.openFolder, window->DlgOpenCode.initialDir);
    dialogs.openName.clear();
    window->AcLoadCodeExecute();
    EXPECT_EQ(window->iCodeFileName, path);
}

TEST_F(SourceFiles, DroppingFilesLoadsTheFirstExistingOneOnly)
{
    const QString first = WriteFile(dir, "eins.klc", "int eins");
    const QString second = WriteFile(dir, "zwei.klc", "int zwei");
    window->MemoCodeDropFiles({"", dir.filePath("fehlt.klc"), dir.path(), first, second});
    EXPECT_EQ(window->iCodeFileName, first);
    EXPECT_EQ(editor().Lines(), QStringList{"int eins"});
    window->MemoCodeDropFiles({dir.filePath("fehlt.klc")});
    EXPECT_EQ(window->iCodeFileName, first);
}

TEST_F(SourceFiles, AMissingDebugScriptIsReported)
{
    const QString debugScript = QDir(QCoreApplication::applicationDirPath()).filePath("debugcode.klc");
    if (QFile::exists(debugScript))
        GTEST_SKIP() << "a debugging script lies beside the test program";
    window->AcDebugCodeExecute();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Error);
    EXPECT_EQ(dialogs.shown[0].title, "");
    EXPECT_EQ(dialogs.shown[0].text, "Kein Debugcode gefunden.");
}
