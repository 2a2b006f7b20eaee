// Which form runs (portable folder or installation) and where each then finds
// its data, keeps its settings and works; the first start's user folders.
#include "base/uRuntimeFolders.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A temporary machine: a home, and a folder that holds programs and perhaps data.
class RuntimeFolders : public ::testing::Test
{
protected:
    QTemporaryDir root;
    QString path(const QString &relative) const { return root.filePath(relative); }

    void shipData(const QString &folder)
    {
        writeBytes(path(folder + "/Code/level1.gzc"), "start(1, 1);\n");
        writeBytes(path(folder + "/Greens/wiese.glw"), "1,1\n1,1\n");
        writeBytes(path(folder + "/debugcode.klc"), "int a\n");
    }

    TRuntimeEnvironment environment(const QString &executable, const QString &xdg = QString()) const
    {
        return {path(executable), path("home"), xdg, path("called-here")};
    }
};

} // namespace

TEST_F(RuntimeFolders, AWritableFolderHoldingTheDataIsPortable)
{
    shipData("bin");
    const TRuntimeFolders f = DecideRuntimeFolders(environment("bin/grazlo", path("config")));
    EXPECT_EQ(f.Form, TRuntimeForm::Portable);
    EXPECT_EQ(f.DataFolder, path("bin"));
    EXPECT_EQ(f.SettingsFile, path("bin/grazlo.ini"));
    EXPECT_EQ(f.WorkingFolder, path("bin"));
    EXPECT_EQ(f.StartFolder, path("called-here"));
    EXPECT_EQ(PortableSettingsFile("/opt/v2.0/Grazlo.exe"), "/opt/v2.0/Grazlo.ini");
}

TEST_F(RuntimeFolders, AnInstallationFindsItsDataBesideBinAndKeepsTheUsersFilesInTheHome)
{
    shipData("usr/share/grazlo");
    const TRuntimeFolders f = DecideRuntimeFolders(environment("usr/bin/grazlo", path("config")));
    EXPECT_EQ(f.Form, TRuntimeForm::Installed);
    EXPECT_EQ(f.DataFolder, path("usr/share/grazlo"));
    EXPECT_EQ(f.SettingsFile, path("config/grazlo/grazlo.ini"));
    EXPECT_EQ(f.WorkingFolder, path("home/Grazlo"));

    // Without an absolute $XDG_CONFIG_HOME the settings go to ~/.config.
    for (const QString &xdg : {QString(), QString("relative/config")})
        EXPECT_EQ(DecideRuntimeFolders(environment("usr/bin/grazlo", xdg)).SettingsFile,
                  path("home/.config/grazlo/grazlo.ini"));
}

TEST_F(RuntimeFolders, AReadOnlyRunnableFolderKeepsItsDataButWritesIntoTheHome)
{
    shipData("stick");
    QFile::setPermissions(path("stick"), QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(path("stick")).isWritable())
        GTEST_SKIP() << "running with rights that ignore file permissions";
    const TRuntimeFolders f = DecideRuntimeFolders(environment("stick/grazlo"));
    QFile::setPermissions(path("stick"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(f.Form, TRuntimeForm::Installed);
    EXPECT_EQ(f.DataFolder, path("stick"));
    EXPECT_EQ(f.WorkingFolder, path("home/Grazlo"));
}

TEST_F(RuntimeFolders, TheFirstStartFillsTheWorkingFolderAndLaterStartsNeverTouchTheUsersFiles)
{
    shipData("usr/share/grazlo");
    const TRuntimeFolders f = DecideRuntimeFolders(environment("usr/bin/grazlo", path("config")));
    const QString before = QDir::currentPath();
    QString error;
    ASSERT_TRUE(PrepareUserFolders(f, error)) << error.toStdString();
    EXPECT_EQ(QDir::currentPath(), path("home/Grazlo"));
    QDir::setCurrent(before);
    EXPECT_TRUE(QFileInfo(path("config/grazlo")).isDir());
    EXPECT_EQ(fileBytes(path("home/Grazlo/Code/level1.gzc")), "start(1, 1);\n");
    EXPECT_EQ(fileBytes(path("home/Grazlo/Greens/wiese.glw")), "1,1\n1,1\n");
    EXPECT_FALSE(QFileInfo::exists(path("home/Grazlo/debugcode.klc")));
    EXPECT_TRUE(QFileInfo(path("home/Grazlo/Code/level1.gzc")).isWritable());
    EXPECT_EQ(QFileInfo(path("home/Grazlo/Code")).permissions(), QFileInfo(path("home/Grazlo")).permissions())
        << "made like any folder of the user's";
    EXPECT_EQ(QDir(path("home/Grazlo")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Code", "Greens"}))
        << "no staging folder left behind";

    // The user changes one example and deletes the other; a new version ships
    // more, and a course with folders of its own.
    writeBytes(path("home/Grazlo/Code/level1.gzc"), "mein Skript\n");
    QFile::remove(path("home/Grazlo/Greens/wiese.glw"));
    writeBytes(path("usr/share/grazlo/Code/level2.gzc"), "neu\n");
    writeBytes(path("usr/share/grazlo/Aufgaben/Rasen/reihe.glw"), "1,1\n");
    ASSERT_TRUE(PrepareUserFolders(f, error)) << error.toStdString();
    QDir::setCurrent(before);
    EXPECT_EQ(fileBytes(path("home/Grazlo/Code/level1.gzc")), "mein Skript\n");
    EXPECT_FALSE(QFileInfo::exists(path("home/Grazlo/Greens/wiese.glw")));
    EXPECT_FALSE(QFileInfo::exists(path("home/Grazlo/Code/level2.gzc")));
    EXPECT_EQ(fileBytes(path("home/Grazlo/Aufgaben/Rasen/reihe.glw")), "1,1\n");
}

TEST_F(RuntimeFolders, AWorkingFolderThatCannotBeMadeIsReportedInGermanAndNothingIsChanged)
{
    shipData("usr/share/grazlo");
    writeBytes(path("home/Grazlo"), "eine Datei, kein Ordner");
    const TRuntimeFolders f = DecideRuntimeFolders(environment("usr/bin/grazlo", path("config")));
    const QString before = QDir::currentPath();
    QString error;
    EXPECT_FALSE(PrepareUserFolders(f, error));
    EXPECT_EQ(error, "Der Ordner " + path("home/Grazlo") + " kann nicht angelegt werden.");
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(fileBytes(path("home/Grazlo")), "eine Datei, kein Ordner");
}

TEST_F(RuntimeFolders, ThePortableFolderIsLeftAsItIs)
{
    shipData("bin");
    const TRuntimeFolders f = DecideRuntimeFolders(environment("bin/grazlo", path("config")));
    const QString before = QDir::currentPath();
    QString error;
    EXPECT_TRUE(PrepareUserFolders(f, error));
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_FALSE(QFileInfo::exists(path("home")));
    EXPECT_FALSE(QFileInfo::exists(path("config")));
}
