// The update check's decision on the server's answers.
#include "InetTestSupport.h"
#include "LocalHttpServer.h"
#include "net/uUpdateCheck.h"

#include <gtest/gtest.h>

namespace {
bool AskServerAnswering(const std::string &body)
{
    TLocalHttpServer server(body);
    return CheckForNewVersion(QString::fromStdString(server.url()), QStringLiteral("2.0"));
}
} // namespace

TEST(UpdateDecision, OnlyASucceededNonHtmlOtherVersionCounts)
{
    const QString v = QStringLiteral("2.0");
    EXPECT_FALSE(IsNewVersion(true, QStringLiteral("2.0"), v));
    EXPECT_FALSE(IsNewVersion(true, QStringLiteral("\t 2.0\r\n\x01"), v));
    EXPECT_TRUE(IsNewVersion(true, QStringLiteral("2.1"), v));
    EXPECT_TRUE(IsNewVersion(true, QStringLiteral("1.9"), v)); // no ordering
    EXPECT_TRUE(IsNewVersion(true, QStringLiteral("2.0 beta"), v));
    EXPECT_TRUE(IsNewVersion(true, QStringLiteral("2.0\u00a0"), v)); // only codes up to 32 are trimmed
    EXPECT_FALSE(IsNewVersion(true, QStringLiteral("<html>2.1</html>"), v));
    EXPECT_TRUE(IsNewVersion(true, QStringLiteral(" <x"), v)); // only the very first character
    EXPECT_FALSE(IsNewVersion(true, QString(), v));
    EXPECT_FALSE(IsNewVersion(false, QStringLiteral("2.1"), v));
}

TEST(UpdateCheck, AnswersOfALocalServer)
{
    UseBuiltInetLibrary();
    EXPECT_FALSE(AskServerAnswering("2.0\r\n"));
    EXPECT_TRUE(AskServerAnswering("2.1"));
    EXPECT_TRUE(AskServerAnswering("1.9"));
    EXPECT_FALSE(AskServerAnswering("<html><body>404</body></html>"));
    EXPECT_TRUE(AskServerAnswering(" <x"));
    EXPECT_FALSE(AskServerAnswering(""));
}

TEST(UpdateCheck, FailuresAndMissingInputsMeanNoNewVersion)
{
    UseBuiltInetLibrary();
    EXPECT_FALSE(CheckForNewVersion(QStringLiteral("http://127.0.0.1:%1/version.php").arg(UnusedLocalPort()),
                                    QStringLiteral("2.0")));
    TLocalHttpServer server("2.1");
    const QString url = QString::fromStdString(server.url());
    EXPECT_FALSE(CheckForNewVersion(url, QString()));
    EXPECT_FALSE(CheckForNewVersion(QString(), QStringLiteral("2.0")));
    EXPECT_EQ(server.connections(), 0); // nothing asked without url or version

    WinInet().setDllPath(QStringLiteral("/nonexistent/libnothing.so"));
    EXPECT_FALSE(CheckForNewVersion(url, QStringLiteral("2.0")));
    UseBuiltInetLibrary();
}

TEST(UpdateCheck, AddressesOnTheUpdateServer)
{
    EXPECT_EQ(UpdateUrlFor(QStringLiteral("127.0.0.1:8080")), QStringLiteral("http://127.0.0.1:8080/version.php"));
    EXPECT_EQ(InfoPageUrlFor(QStringLiteral("h")), QStringLiteral("http://h/"));
    EXPECT_FALSE(DefaultUpdateHost().isEmpty());
}
