// Saving scripts when the disk refuses: nothing the user wrote is lost, the
// command that needed the save stops, and an encoding that had to change is
// said in the message area.
#include "test_files_window.h"
#include "tests/support/FileFaults.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SavingFaults : public WindowTest
{
protected:
    QString Load(const QByteArray &bytes)
    {
        const QString path = dir.filePath("skript.klc");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        EXPECT_TRUE(window->LoadCodeFile(path));
        return path;
    }
    // Loads a file with the given bytes and adds a first line.
    QString LoadAndEdit(const QByteArray &bytes)
    {
        const QString path = Load(bytes);
        editor().insertAt("// neu\n", 0, 0);
        return path;
    }
    // The message area's lines.
    QStringList Log() const { return window->MemoLog->toPlainText().split(u'\n', Qt::SkipEmptyParts); }
};

const QByteArray kOriginal = "int a = 1\r\nmessage(a)\r\n";

} // namespace

TEST_F(SavingFaults, AFullDiskKeepsFileTextAndSaveActionAndStopsTheCommand)
{
    const QString path = LoadAndEdit(kOriginal);
    const QStringList edited = editor().Lines();
    const grazlo_test::TWriteFaultScope faults({.FailAfterBytes = 5});

    window->AcSaveCodeExecute();
    EXPECT_EQ(ReadAll(path), kOriginal);
    EXPECT_EQ(editor().Lines(), edited);
    EXPECT_TRUE(window->AcSaveCode->isEnabled());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, TDlgKind::Error);
    EXPECT_EQ(dialogs.shown[0].text,
              "Die Datei \"" + path +
                  "\" kann nicht geschrieben werden: Auf dem Datenträger ist kein Platz mehr frei.");

    dialogs.answers = {TDlgAnswer::Yes};
    EXPECT_FALSE(window->CheckSaved()) << "closing stops";
    dialogs.answers = {TDlgAnswer::Yes};
    window->AcNewExecute();
    EXPECT_EQ(editor().Lines(), edited);
    EXPECT_EQ(window->iCodeFileName, path);
    EXPECT_EQ(ReadAll(path), kOriginal);
}

TEST_F(SavingFaults, AFileInAReadOnlyFolderIsSavedInPlace)
{
    const QString path = LoadAndEdit(kOriginal);
    {
        const grazlo_test::TWriteFaultScope faults({.NoTemporaryFile = true});
        window->AcSaveCodeExecute();
    }
    EXPECT_EQ(ReadAll(path), "// neu\r\n" + kOriginal);
    EXPECT_FALSE(window->AcSaveCode->isEnabled());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    editor().insertAt("// mehr\n", 0, 0);
    const grazlo_test::TWriteFaultScope faults({.FailAfterBytes = 3, .NoTemporaryFile = true});
    window->AcSaveCodeExecute();
    EXPECT_EQ(ReadAll(path), "// neu\r\n" + kOriginal) << "the failed write in place is undone";
    EXPECT_TRUE(window->AcSaveCode->isEnabled());
    EXPECT_EQ(editor().Lines().first(), "// mehr");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.endsWith("Auf dem Datenträger ist kein Platz mehr frei."));
}

TEST_F(SavingFaults, AReadOnlyFileIsRefusedAsAReadOnlyFolderIsAndSaveAsStillWorks)
{
    const QString path = LoadAndEdit(kOriginal);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    window->AcSaveCodeExecute();
    EXPECT_EQ(ReadAll(path), kOriginal);
    EXPECT_TRUE(window->AcSaveCode->isEnabled());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              "Die Datei \"" + path + "\" kann nicht geschrieben werden: Die Datei ist schreibgeschützt.");

    const QString copy = dir.filePath("kopie.klc");
    dialogs.saveName = copy;
    window->AcSaveCodeAsExecute();
    EXPECT_EQ(ReadAll(copy), "// neu\r\n" + kOriginal);
    EXPECT_EQ(window->iCodeFileName, copy);
}

TEST_F(SavingFaults, ASwitchToUtf8IsSaidOnceInTheMessageArea)
{
    const QString path = LoadAndEdit("string s = \"Sch\xE4"
                                     "f\"\n");
    editor().insertAt(QStringLiteral("→"), 0, 0);
    window->AcSaveCodeExecute();
    EXPECT_EQ(ReadAll(path), "\xE2\x86\x92// neu\nstring s = \"Sch\xC3\xA4"
                             "f\"\n");
    const QString notice = "Die Datei \"" + path +
                           "\" wurde als UTF-8 gespeichert, weil der Text Zeichen enthält, die es in "
                           "Windows-1252 nicht gibt.";
    EXPECT_EQ(Log(), QStringList{notice});

    editor().insertAt("x", 0, 0);
    window->AcSaveCodeExecute();
    EXPECT_EQ(Log(), QStringList{notice}) << "the file is UTF-8 now";
}

TEST_F(SavingFaults, AWindows1252TextThatLooksLikeUtf16IsSavedSoItReadsBack)
{
    const QString path = Load("\xFE\xFF"
                              "a"); // þÿa: an odd length is no UTF-16
    editor().insertAt("b", 0, 3);
    const QStringList text = editor().Lines();
    ASSERT_EQ(text, QStringList{QStringLiteral("þÿab")});
    window->AcSaveCodeExecute();
    EXPECT_EQ(Log(), QStringList{"Die Datei \"" + path +
                                 "\" wurde als UTF-8 mit Byte-Order-Mark gespeichert, weil ihr Text, in "
                                 "Windows-1252 gespeichert, beim nächsten Öffnen anders gelesen würde."});

    ASSERT_TRUE(window->LoadCodeFile(path));
    EXPECT_EQ(editor().Lines(), text);
}
