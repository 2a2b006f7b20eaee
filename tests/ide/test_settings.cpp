// The settings file: its name, section "main" read with defaults, written in
// order as 1/0 booleans, other sections left untouched, unwritable files, a
// full disk, and text that looks like a byte-order mark.
#include "ide/uWindowSettings.h"
#include "tests/support/FileFaults.h"
#include "tests/support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TMainSettings Current()
{
    TMainSettings s;
    s.Rect = {300, 200, 300 + 943, 200 + 640};
    s.State = TPlaceState::Normal;
    return s;
}

class SettingsFile : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("grazlo.ini"); }
    TMainSettings read() const { return ReadMainSettings(TIniFile(path()), Current()); }
};
} // namespace

TEST(SettingsFileName, ReplacesOrAppendsTheExtension)
{
    EXPECT_EQ(SettingsFileName("/opt/grazlo/grazlo"), "/opt/grazlo/grazlo.ini");
    EXPECT_EQ(SettingsFileName("/opt/grazlo/Grazlo.exe"), "/opt/grazlo/Grazlo.ini");
    EXPECT_EQ(SettingsFileName("/opt/v2.0/grazlo"), "/opt/v2.0/grazlo.ini");
}

TEST_F(SettingsFile, MissingFileGivesTheDefaults)
{
    const TMainSettings s = read();
    EXPECT_EQ(s.Rect, (TPlaceRect{0, 0, 943, 640}));
    EXPECT_EQ(s.State, TPlaceState::Normal);
    EXPECT_EQ(s.PanelLeft, 393);
    EXPECT_EQ(s.PanelModule, 361);
    EXPECT_EQ(s.PanelMessages, 176);
    EXPECT_TRUE(s.ShowToolbar);
    EXPECT_TRUE(s.ShowProgrambar);
    EXPECT_EQ(s.Paste, 100);
    EXPECT_TRUE(s.Search4Update);
}

TEST_F(SettingsFile, WritesEveryKeyInOrderWithBooleansAsDigits)
{
    TMainSettings s = Current();
    s.Rect = {-5, 12, 995, 712};
    s.State = TPlaceState::Maximized;
    s.PanelLeft = 250;
    s.ShowToolbar = false;
    s.Paste = 99;
    s.Search4Update = false;
    TIniFile ini(path());
    WriteMainSettings(ini, s);
    EXPECT_EQ(ReadAll(path()), "[main]\nleft=-5\ntop=12\nwidth=1000\nheight=700\nstate=2\npanelleft=250\n"
                               "panelmodule=361\npanelmessages=176\nshowtoolbar=0\nshowprogrambar=1\n"
                               "paste=99\n");

    const TMainSettings back = read();
    EXPECT_EQ(back.Rect, s.Rect);
    EXPECT_EQ(back.State, TPlaceState::Maximized);
    EXPECT_EQ(back.PanelLeft, 250);
    EXPECT_FALSE(back.ShowToolbar);
    EXPECT_TRUE(back.ShowProgrambar);
    EXPECT_EQ(back.Paste, 99);
    // Never written, so the default stays.
    EXPECT_TRUE(back.Search4Update);
}

TEST_F(SettingsFile, StoredStatesReopenNormalUnlessMaximised)
{
    for (const auto &[stored, expected] : {std::pair{"0", TPlaceState::Normal},
                                           {"1", TPlaceState::Normal},
                                           {"2", TPlaceState::Maximized},
                                           {"7", TPlaceState::Normal}}) {
        WriteAll(path(), QByteArray("[main]\nstate=") + stored + "\n");
        EXPECT_EQ(read().State, expected) << stored;
    }
}

TEST_F(SettingsFile, UnreadableValuesFallBackToTheirDefaults)
{
    WriteAll(path(), "[main]\nleft=abc\ntop=\nwidth=12px\nheight=500\npaste=schnell\nshowtoolbar=ja\n"
                     "panelleft= 200 \n");
    const TMainSettings s = read();
    EXPECT_EQ(s.Rect, (TPlaceRect{0, 0, 943, 500}));
    EXPECT_EQ(s.Paste, 100);
    EXPECT_TRUE(s.ShowToolbar);
    EXPECT_EQ(s.PanelLeft, 200);
}

TEST_F(SettingsFile, UpdateCheckIsReadAndNeverWritten)
{
    WriteAll(path(), "[main]\nsearch4update=0\n");
    EXPECT_FALSE(read().Search4Update);
    TIniFile ini(path());
    WriteMainSettings(ini, Current());
    EXPECT_FALSE(read().Search4Update);
    EXPECT_TRUE(ReadAll(path()).startsWith("[main]\nsearch4update=0\nleft=300\n"));
    WriteAll(path(), "[main]\nsearch4update=5\n");
    EXPECT_TRUE(read().Search4Update);
}

TEST_F(SettingsFile, NamesMatchInAnyCaseAndOtherSectionsStayUntouched)
{
    const QByteArray others = "; Bilder\r\n[ressources]\r\npath=images\\\r\n\r\n[Editor]\r\ncbox0=1\r\n";
    WriteAll(path(), others + "[MAIN]\r\nLeft=44\r\n");
    EXPECT_EQ(read().Rect.left, 44);
    TIniFile ini(path());
    WriteMainSettings(ini, Current());
    const QByteArray written = ReadAll(path());
    EXPECT_TRUE(written.startsWith(others + "[MAIN]\r\nleft=300\r\ntop=200\r\nwidth=943\r\n")) << written.data();
    EXPECT_EQ(TIniFile(path()).ReadString("ressources", "PATH", ""), "images\\");
    EXPECT_EQ(TIniFile(path()).ReadInteger("editor", "cbox0", 0), 1);
}

TEST_F(SettingsFile, NewSectionFollowsExistingTextAfterABlankLine)
{
    WriteAll(path(), "[ressources]\nsheep=schaf.bmp");
    TIniFile ini(path());
    ini.WriteInteger("main", "left", 3);
    ini.UpdateFile();
    EXPECT_EQ(ReadAll(path()), "[ressources]\nsheep=schaf.bmp\n\n[main]\nleft=3\n");
}

TEST_F(SettingsFile, ValuesWrittenAsTheyStandLeaveTheFileUnwritten)
{
    WriteAll(path(), "[main]\nleft=3\n");
    TIniFile ini(path());
    ini.WriteInteger("main", "left", 3);
    WriteAll(path(), "changed meanwhile");
    ini.UpdateFile();
    EXPECT_EQ(ReadAll(path()), "changed meanwhile");
}

TEST(SettingsWrite, UnwritableFileRaisesTheErrorWithThePath)
{
    QTemporaryDir dir;
    WriteAll(dir.filePath("blocker"), "a file, not a folder");
    const QString path = dir.filePath("blocker/grazlo.ini");
    TIniFile ini(path);
    try {
        WriteMainSettings(ini, Current());
        FAIL() << "no error raised";
    } catch (const TIniWriteError &error) {
        EXPECT_EQ(error.Path, path);
    }
    EXPECT_EQ(SettingsWriteErrorText(path), "In " + path + " kann nicht geschrieben werden");
}

TEST(SettingsFaults, AFullDiskKeepsTheWholeFileEvenWhereTheFirstKeysWouldFit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("grazlo.ini");
    QByteArray original = "[ressources]\n";
    for (int i = 0; i < 100; ++i)
        original += "bild" + QByteArray::number(i) + "=datei.bmp\n";
    WriteAll(path, original);

    // Room for "[main]" and the first keys, not for all.
    const grazlo_test::TChildOutcome outcome = grazlo_test::RunWithFileSizeLimit(original.size() + 30, [&] {
        TIniFile ini(path);
        try {
            WriteMainSettings(ini, TMainSettings());
        } catch (const TIniWriteError &error) {
            return error.Reason;
        }
        return QStringLiteral("geschrieben");
    });
    ASSERT_TRUE(outcome.Exited);
    EXPECT_EQ(outcome.Text.toStdString(),
              ("Die Datei \"" + path + "\" kann nicht geschrieben werden: Die Datei ist zu groß.").toStdString());
    EXPECT_EQ(ReadAll(path), original);
}

TEST(SettingsFaults, AWindows1252FileStartingWithThornAndYReadsBackAsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("grazlo.ini");
    WriteAll(path, "\xFE\xFF;x\n[ressources]\npath=.\n"); // an odd length: no UTF-16
    TIniFile ini(path);
    ini.WriteInteger("main", "left", 3);
    ini.UpdateFile();

    const TIniFile back(path);
    EXPECT_EQ(back.ReadInteger("main", "left", 0), 3);
    EXPECT_EQ(back.ReadString("ressources", "path", ""), ".");
    EXPECT_EQ(ReadAll(path), "\xEF\xBB\xBF\xC3\xBE\xC3\xBF;x\n[ressources]\npath=.\n\n[main]\nleft=3\n");
}
