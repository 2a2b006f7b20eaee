// The installed form, checked from outside on a fresh `cmake --install` into a
// temporary prefix: the layout, the desktop files against their validators, and
// the installed programs started the way a user starts them.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/Printers.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/WaitFor.h"

namespace {

const QString InstallPrefix = GRAZLO_INSTALL_PREFIX;
const QString AppId = GRAZLO_APP_ID;
const QString TestData = InstallPrefix + "/share/grazlo";

QString prefixed(const QString &relative) { return InstallPrefix + "/" + relative; }

using grazlo_test::fileBytes;

struct TRun
{
    int exitCode = -1;
    QString out;
};

// Runs a program to its end, standard output and error together.
TRun run(const QString &program, const QStringList &args, const QString &workingFolder = QString(),
         const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    const grazlo_test::TProgramRun r = grazlo_test::runProgram(
        program, args, {.workingFolder = workingFolder, .environment = env, .channels = QProcess::MergedChannels});
    return {r.exitCode, QString::fromUtf8(r.out)};
}

// Every file below a folder with its size and time: what "unchanged" means here.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries
            << QString("%1 %2 %3").arg(info.filePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

QStringList shippedFiles(const QString &folder)
{
    return QDir(TestData + "/" + folder).entryList(QDir::Files, QDir::Name);
}

// The files below a folder, subfolders included, relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

TEST(InstalledLayout, ProgramsLibraryAndDataLieWhereTheFilesystemHierarchyPutsThem)
{
    for (const QString program : {"grazlo", "grazlo-run", "grazlo-grade"}) {
        EXPECT_TRUE(QFileInfo(prefixed("bin/" + program)).isExecutable()) << program.toStdString();
        EXPECT_TRUE(QFileInfo::exists(prefixed("share/man/man1/" + program + ".1.gz"))) << program.toStdString();
    }
    EXPECT_TRUE(QFileInfo(prefixed(GRAZLO_INSTALL_INET)).isFile());
    for (const char *picture : {"schaf_north.bmp", "schaf_east.bmp", "schaf_south.bmp", "schaf_west.bmp", "baum.bmp",
                                "weg.bmp", "mark.bmp", "debugcode.klc"})
        EXPECT_TRUE(QFileInfo(TestData + "/" + picture).isFile()) << picture;
    EXPECT_EQ(shippedFiles("Code").filter(QRegularExpression("^level[1-6]-.*\\.gzc$")).size(), 6);
    EXPECT_FALSE(shippedFiles("Greens").filter(QRegularExpression("\\.glw$")).isEmpty());
    EXPECT_GE(shippedFiles("Aufgaben").filter(QRegularExpression("\\.gza$")).size(), 10);
    EXPECT_TRUE(QFileInfo::exists(prefixed("share/man/man5/grazlo-aufgabe.5.gz")));
    // Nothing of the build's runnable folder but its data: no settings file, no programs.
    EXPECT_FALSE(QFileInfo::exists(TestData + "/grazlo.ini"));
    EXPECT_FALSE(QFileInfo::exists(TestData + "/grazlo"));
}

TEST(InstalledLayout, TheDesktopFilesShareOneApplicationId)
{
    const QString desktop = QString::fromUtf8(fileBytes(prefixed("share/applications/" + AppId + ".desktop")));
    EXPECT_TRUE(desktop.contains("\nIcon=" + AppId + "\n"));
    EXPECT_TRUE(desktop.contains("\nExec=grazlo %f\n"));
    EXPECT_TRUE(desktop.contains("\nCategories=Education;Development;\n"));

    const QString metainfo = QString::fromUtf8(fileBytes(prefixed("share/metainfo/" + AppId + ".metainfo.xml")));
    EXPECT_TRUE(metainfo.contains("<id>" + AppId + "</id>"));
    EXPECT_TRUE(metainfo.contains("<launchable type=\"desktop-id\">" + AppId + ".desktop</launchable>"));

    // The desktop entry opens exactly the types the MIME file defines.
    const QString mime = QString::fromUtf8(fileBytes(prefixed("share/mime/packages/" + AppId + ".xml")));
    QStringList defined;
    for (const auto &m : QRegularExpression("<mime-type type=\"([^\"]+)\"").globalMatch(mime))
        defined << m.captured(1);
    const QRegularExpressionMatch opened = QRegularExpression("\nMimeType=([^\n]*);\n").match(desktop);
    ASSERT_TRUE(opened.hasMatch());
    EXPECT_EQ(opened.captured(1).split(';'), defined);
    EXPECT_EQ(defined.size(), 3);
}

TEST(InstalledLayout, TheIconThemeHasEverySizeDrawnAndAScalableIcon)
{
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = prefixed(QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId));
        const QImage icon(path);
        ASSERT_FALSE(icon.isNull()) << path.toStdString();
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << "transparent corner at " << size;
        EXPECT_EQ(icon.pixelColor(size / 2, size / 2).alpha(), 255) << "a sheep in the middle at " << size;
    }
    QSvgRenderer svg(prefixed("share/icons/hicolor/scalable/apps/" + AppId + ".svg"));
    ASSERT_TRUE(svg.isValid());
    QImage drawn(64, 64, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    svg.render(&painter);
    painter.end();
    EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(drawn.pixelColor(32, 32).alpha(), 255) << "the drawing, not an empty page";
}

TEST(InstalledDesktopFiles, PassTheirValidators)
{
    const QString desktopValidate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    if (desktopValidate.isEmpty() || appstream.isEmpty())
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed (tools/install-deps.sh)";
    const TRun desktop = run(desktopValidate, {prefixed("share/applications/" + AppId + ".desktop")});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out.toStdString();
    EXPECT_FALSE(desktop.out.contains("error:")) << desktop.out.toStdString();
    const TRun metainfo =
        run(appstream, {"validate", "--no-net", prefixed("share/metainfo/" + AppId + ".metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out.toStdString();
}

TEST(InstalledDesktopFiles, TheMimeDatabaseMapsTheFileEndingsToGrazlosTypes)
{
    const QString updater = QStandardPaths::findExecutable("update-mime-database");
    if (updater.isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed (tools/install-deps.sh)";
    QTemporaryDir data;
    const QDir mime(data.filePath("mime"));
    ASSERT_TRUE(QDir().mkpath(mime.filePath("packages")));
    ASSERT_TRUE(
        QFile::copy(prefixed("share/mime/packages/" + AppId + ".xml"), mime.filePath("packages/" + AppId + ".xml")));
    // A data folder on the search path, or the updater adds a note about it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_DIRS", data.path());
    const TRun update = run(updater, {mime.path()}, QString(), env);
    EXPECT_EQ(update.exitCode, 0) << update.out.toStdString();
    EXPECT_TRUE(update.out.trimmed().isEmpty())
        << "the file is accepted without complaint: " << update.out.toStdString();
    const QString globs = QString::fromUtf8(fileBytes(mime.filePath("globs2")));
    EXPECT_TRUE(globs.contains(":text/x-grazlo-script:*.gzc\n")) << globs.toStdString();
    EXPECT_TRUE(globs.contains(":text/x-grazlo-script:*.klc\n"));
    EXPECT_TRUE(globs.contains(":text/x-grazlo-lawn:*.glw\n"));
    EXPECT_TRUE(globs.contains(":text/x-grazlo-task:*.gza\n"));
}

TEST(InstalledPrograms, TheRunnerSolvesALevelFromAnyWorkingFolder)
{
    QTemporaryDir elsewhere;
    const TRun level3 =
        run(prefixed("bin/grazlo-run"), {"--level", "3", TestData + "/Code/level3-baum.gzc"}, elsewhere.path());
    EXPECT_EQ(level3.exitCode, 0) << level3.out.toStdString();
    EXPECT_TRUE(level3.out.contains("\nzUncut = 0\n")) << level3.out.toStdString();
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
}

TEST(InstalledPrograms, TheIdeKeepsTheUsersFilesInTheHomeAndNothingUnderThePrefix)
{
    QTemporaryDir machine;
    const QString home = machine.filePath("home"), config = machine.filePath("config"),
                  elsewhere = machine.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(elsewhere));
    const QStringList prefixBefore = snapshot(InstallPrefix);

    QProcess ide;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", config);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // The loader names every library it opens: the update check loads ours.
    env.insert("LD_DEBUG", "files");
    ide.setProcessEnvironment(env);
    ide.setWorkingDirectory(elsewhere);
    ide.setProcessChannelMode(QProcess::MergedChannels);
    ide.start(prefixed("bin/grazlo"), {});
    ASSERT_TRUE(ide.waitForStarted());

    const QString code = home + "/Grazlo/Code", greens = home + "/Grazlo/Greens", course = home + "/Grazlo/Aufgaben";
    EXPECT_TRUE(grazlo_test::waitFor(
        [&] {
            return QDir(code).entryList(QDir::Files, QDir::Name) == shippedFiles("Code") &&
                   QDir(greens).entryList(QDir::Files, QDir::Name) == shippedFiles("Greens") &&
                   filesBelow(course) == filesBelow(TestData + "/Aufgaben");
        },
        30000));
    // The update check runs at the first activation, after the window is up.
    const QString inet = prefixed(GRAZLO_INSTALL_INET);
    QByteArray loaderLog;
    EXPECT_TRUE(grazlo_test::waitFor(
        [&] {
            loaderLog += ide.readAll();
            return loaderLog.contains(inet.toLocal8Bit());
        },
        30000))
        << "the internet library was not loaded from " << inet.toStdString();
    ide.terminate();
    ASSERT_TRUE(ide.waitForFinished(30000));
    EXPECT_EQ(ide.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ide.exitCode(), 0);

    for (const QString &name : shippedFiles("Code"))
        EXPECT_EQ(fileBytes(code + "/" + name), fileBytes(TestData + "/Code/" + name)) << name.toStdString();
    const QString settings = QString::fromUtf8(fileBytes(config + "/grazlo/grazlo.ini"));
    EXPECT_TRUE(settings.contains("[main]")) << settings.toStdString();
    EXPECT_TRUE(settings.contains("paste=")) << settings.toStdString();
    EXPECT_EQ(snapshot(InstallPrefix), prefixBefore);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
}
