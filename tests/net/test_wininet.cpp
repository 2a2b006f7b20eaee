// Loading the internet library by file name and resolving its entry points.
#include "InetTestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

TEST(WinInetLoading, BuiltLibraryLoadsWithAllEntryPointsAndReportsItsFullPath)
{
    TWinInet inet(BuiltInetLibrary());
    EXPECT_FALSE(inet.Loaded());
    ASSERT_TRUE(inet.Load());
    EXPECT_TRUE(inet.Loaded());
    EXPECT_NE(inet.InternetOpen(), nullptr);
    EXPECT_NE(inet.InternetConnect(), nullptr);
    EXPECT_NE(inet.GetConnectedState(), nullptr);
    EXPECT_NE(inet.InternetDial(), nullptr);
    EXPECT_TRUE(inet.Load()); // a second load is a no-op

    QString path;
    ASSERT_TRUE(inet.getDllPath(path));
    EXPECT_TRUE(QFileInfo(path).isAbsolute());
    EXPECT_EQ(QFileInfo(path).canonicalFilePath(), QFileInfo(BuiltInetLibrary()).canonicalFilePath());

    EXPECT_TRUE(inet.Unload());
    EXPECT_FALSE(inet.Loaded());
    EXPECT_EQ(inet.InternetOpen(), nullptr);
    EXPECT_TRUE(inet.Unload()); // nothing to free is success
}

// The update check blocks the start-up; a server that never answers may hold
// it no longer than this.
TEST(WinInetLoading, ARequestWaits3SecondsForAConnectionAnd8InAll)
{
    UseBuiltInetLibrary();
    uint32_t connectMs = 0;
    uint32_t requestMs = 0;
    TShortTimeouts::entry<TInetGetTimeouts>("InetGetTimeouts")(&connectMs, &requestMs);
    EXPECT_EQ(connectMs, 3000u);
    EXPECT_EQ(requestMs, 8000u);
}

TEST(WinInetLoading, MissingLibraryFailsWithModuleNotFound)
{
    TWinInet inet(QStringLiteral("/nonexistent/libnothing.so"));
    EXPECT_FALSE(inet.Load());
    EXPECT_FALSE(inet.Loaded());
    EXPECT_EQ(inet.DllHandle(), nullptr);
    EXPECT_EQ(inet.LastError(), INET_ERROR_MOD_NOT_FOUND);

    QString path;
    EXPECT_FALSE(inet.getDllPath(path));
    EXPECT_EQ(path, QStringLiteral("error on loading /nonexistent/libnothing.so"));
}

TEST(WinInetLoading, LibraryWithoutTheEntryPointsIsUnloadedAgain)
{
    TWinInet inet(QStringLiteral("libz.so.1"));
    EXPECT_FALSE(inet.Load());
    EXPECT_EQ(inet.DllHandle(), nullptr);
    EXPECT_EQ(inet.LastError(), INET_ERROR_PROC_NOT_FOUND);
}

TEST(WinInetLoading, ChangingThePathUnloadsAndTheNextLoadUsesTheNewPath)
{
    TWinInet inet(BuiltInetLibrary());
    ASSERT_TRUE(inet.Load());
    inet.setDllPath(BuiltInetLibrary());
    EXPECT_TRUE(inet.Loaded()); // same path: kept

    inet.setDllPath(QStringLiteral("/nonexistent/other.so"));
    EXPECT_FALSE(inet.Loaded());
    EXPECT_FALSE(inet.Load());

    inet.setDllPath(BuiltInetLibrary());
    EXPECT_TRUE(inet.Load());
}

TEST(WinInetLoading, DefaultPathIsOurLibraryBesideTheExecutable)
{
    const QFileInfo dflt(TWinInet::DefaultDllPath());
    EXPECT_EQ(dflt.fileName(), QStringLiteral(GRAZLO_INET_FILE_NAME));
    EXPECT_EQ(dflt.absolutePath(), QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
}

TEST(WinInetLoading, SharedInstanceIsCreatedOnDemandAndReleased)
{
    UseBuiltInetLibrary();
    EXPECT_TRUE(WinInet().Loaded());
    ReleaseWinInet();
    // A fresh instance takes the default path, where the tests have no library.
    EXPECT_EQ(WinInet().DllPath(), TWinInet::DefaultDllPath());
    EXPECT_FALSE(WinInet().Loaded());
    UseBuiltInetLibrary();
    EXPECT_TRUE(WinInet().Loaded());
}

TEST(InetErrorTexts, KnownCodesHaveGermanTextsUnknownNone)
{
    TWinInet inet(BuiltInetLibrary());
    ASSERT_TRUE(inet.Load());
    EXPECT_EQ(inet.ErrorText(INET_ERROR_NAME_NOT_RESOLVED),
              QStringLiteral("Der Servername oder die Serveradresse konnte nicht aufgelöst werden."));
    EXPECT_EQ(inet.ErrorText(INET_ERROR_CANNOT_CONNECT),
              QStringLiteral("Es konnte keine Verbindung mit dem Server hergestellt werden."));
    EXPECT_EQ(inet.ErrorText(INET_ERROR_TIMEOUT), QStringLiteral("Das Zeitlimit für den Vorgang wurde überschritten."));
    EXPECT_TRUE(inet.ErrorText(4711).isEmpty());
}

TEST(InetEntryPoints, DialAndOpenUrlAreNotSupportedAndBadHandlesAreRejected)
{
    TWinInet inet(BuiltInetLibrary());
    ASSERT_TRUE(inet.Load());
    uintptr_t connection = 99;
    EXPECT_EQ(inet.InternetDial()(nullptr, u"", 0, &connection, 0), INET_ERROR_NOT_SUPPORTED);
    EXPECT_EQ(connection, 0u);
    EXPECT_EQ(inet.InternetOpenURL()(nullptr, u"http://127.0.0.1/", nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(inet.PlatformLastError(), INET_ERROR_NOT_SUPPORTED);

    int notAHandle = 0;
    EXPECT_EQ(inet.InternetCloseHandle()(&notAHandle), 0);
    EXPECT_EQ(inet.PlatformLastError(), INET_ERROR_INVALID_HANDLE);

    // A session handle is no connection.
    TInetHandle session = inet.InternetOpen()(u"t", INET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(inet.HttpOpenRequest()(session, u"GET", u"x", nullptr, nullptr, nullptr, 0, 0), nullptr);
    EXPECT_EQ(inet.PlatformLastError(), INET_ERROR_INCORRECT_HANDLE_TYPE);
    EXPECT_EQ(inet.InternetCloseHandle()(session), 1);
    EXPECT_EQ(inet.InternetCloseHandle()(session), 0); // already closed
}

TEST(InetEntryPoints, ReadingBeforeSendingAndWritingOutsideAnUploadAreRejected)
{
    TWinInet inet(BuiltInetLibrary());
    ASSERT_TRUE(inet.Load());
    TInetHandle session = inet.InternetOpen()(nullptr, INET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    TInetHandle connection =
        inet.InternetConnect()(session, u"127.0.0.1", 1, nullptr, nullptr, INET_SERVICE_HTTP, 0, 0);
    TInetHandle request = inet.HttpOpenRequest()(connection, u"GET", u"x", nullptr, nullptr, nullptr, 0, 0);
    ASSERT_NE(request, nullptr);
    char buffer[8];
    uint32_t count = 0;
    EXPECT_EQ(inet.InternetReadFile()(request, buffer, sizeof buffer, &count), 0);
    EXPECT_EQ(inet.PlatformLastError(), INET_ERROR_INCORRECT_HANDLE_STATE);
    EXPECT_EQ(inet.InternetWriteFile()(request, "ab", 2, &count), 0);
    EXPECT_EQ(inet.PlatformLastError(), INET_ERROR_INCORRECT_HANDLE_STATE);
    EXPECT_EQ(inet.InternetReadFile()(request, buffer, sizeof buffer, nullptr), 0);
    EXPECT_EQ(inet.PlatformLastError(), INET_ERROR_INVALID_PARAMETER);
    // Closing the session first leaves the request usable for closing.
    EXPECT_EQ(inet.InternetCloseHandle()(session), 1);
    EXPECT_EQ(inet.InternetCloseHandle()(request), 1);
    EXPECT_EQ(inet.InternetCloseHandle()(connection), 1);
}
