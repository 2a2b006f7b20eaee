// The client's URL splitting, URL text and property rules; no transfer here.
#include "InetTestSupport.h"
#include "net/uHttp.h"

#include <gtest/gtest.h>

namespace {
// Exposes the handles so a test can see what a property change closed.
class TProbeHttp : public THttpString
{
public:
    using THttp::hConnect;
    using THttp::hRequest;
    using THttp::hSession;

    // Opens session, connection and request; none of these touches the network.
    void openAll()
    {
        UseBuiltInetLibrary();
        ASSERT_TRUE(Open());
        ASSERT_TRUE(Connect());
        ASSERT_TRUE(OpenRequest());
    }
};
} // namespace

TEST(HttpDefaults, FreshClientHasTheDocumentedStartValues)
{
    THttp http;
    EXPECT_EQ(http.AcceptTypes(), QStringLiteral("*/*"));
    EXPECT_EQ(http.Agent(), QStringLiteral("Tessaro over THTTP"));
    EXPECT_TRUE(http.Protokoll().isEmpty());
    EXPECT_TRUE(http.HostName().isEmpty());
    EXPECT_EQ(http.Port(), 0);
    EXPECT_TRUE(http.FileName().isEmpty());
    EXPECT_TRUE(http.PostQuery().isEmpty());
    EXPECT_FALSE(http.UseCache());
    EXPECT_EQ(http.IOT(), 0u);
    EXPECT_EQ(http.LastError(), 0);
    EXPECT_TRUE(http.InternalLastErrorMsg().isEmpty());
    EXPECT_EQ(http.URL(), QStringLiteral("invalid hostname"));
}

TEST(HttpUrl, SplitsSchemeHostPortAndPath)
{
    THttp http(QStringLiteral("HTTP://Update.Example.ORG/version.php"));
    EXPECT_EQ(http.Protokoll(), QStringLiteral("http"));
    EXPECT_EQ(http.HostName(), QStringLiteral("update.example.org"));
    EXPECT_EQ(http.Port(), 0);
    EXPECT_EQ(http.FileName(), QStringLiteral("version.php"));

    http.setURL(QStringLiteral("https://host:8443/a/b?x=1"));
    EXPECT_EQ(http.Protokoll(), QStringLiteral("https"));
    EXPECT_EQ(http.HostName(), QStringLiteral("host"));
    EXPECT_EQ(http.Port(), 8443);
    EXPECT_EQ(http.FileName(), QStringLiteral("a/b?x=1"));

    // Without a scheme the protocol becomes empty, the port stays.
    http.setURL(QStringLiteral("other/c"));
    EXPECT_TRUE(http.Protokoll().isEmpty());
    EXPECT_EQ(http.HostName(), QStringLiteral("other"));
    EXPECT_EQ(http.Port(), 8443);
}

TEST(HttpUrl, UrlWithoutHostOrPathIsIgnoredAsAWhole)
{
    THttp http(QStringLiteral("http://keep/me"));
    for (const char *url : {"http://onlyhost", "http://host/", "http:///path", "no-slash-at-all", ""}) {
        http.setURL(QString::fromLatin1(url));
        EXPECT_EQ(http.URL(), QStringLiteral("http://keep/me")) << url;
    }
}

TEST(HttpUrl, PortTextThatIsNoValidPortKeepsThePreviousPort)
{
    THttp http(QStringLiteral("http://h:81/p"));
    http.setURL(QStringLiteral("http://h:abc/q"));
    EXPECT_EQ(http.Port(), 81);
    EXPECT_EQ(http.FileName(), QStringLiteral("q"));
    http.setURL(QStringLiteral("http://h:99999/r")); // would wrap to another port
    EXPECT_EQ(http.Port(), 81);
    http.setURL(QStringLiteral("http://h:-5/s"));
    EXPECT_EQ(http.Port(), 81);
}

TEST(HttpUrl, GetUrlJoinsThePartsThatAreSet)
{
    THttp http;
    http.setHostName(QStringLiteral("h"));
    EXPECT_EQ(http.URL(), QStringLiteral("h"));
    http.setPort(8080);
    http.setProtokoll(QStringLiteral("http"));
    http.setFileName(QStringLiteral("a/b"));
    EXPECT_EQ(http.URL(), QStringLiteral("http://h:8080/a/b"));
    http.setProtokoll(QString());
    http.setPort(0);
    EXPECT_EQ(http.URL(), QStringLiteral("h/a/b"));
}

TEST(HttpUrl, DefaultPortFollowsTheScheme)
{
    THttp http(QStringLiteral("https://h/p"));
    EXPECT_EQ(http.ConnectPort(), 443);
    http.setProtokoll(QStringLiteral("http"));
    EXPECT_EQ(http.ConnectPort(), 80);
    http.setProtokoll(QString());
    EXPECT_EQ(http.ConnectPort(), 80);
    http.setURL(QStringLiteral("https://h:8443/p"));
    EXPECT_EQ(http.ConnectPort(), 8443);
}

TEST(HttpSetters, RequestLevelChangesCloseOnlyTheRequest)
{
    TProbeHttp http;
    http.setURL(QStringLiteral("http://127.0.0.1/x"));
    http.openAll();
    http.setAcceptTypes(QStringLiteral("*/*")); // unchanged: nothing closes
    EXPECT_NE(http.hRequest, nullptr);
    http.setAcceptTypes(QStringLiteral("text/plain"));
    EXPECT_EQ(http.hRequest, nullptr);
    EXPECT_NE(http.hConnect, nullptr);

    ASSERT_TRUE(http.OpenRequest());
    http.setFileName(QStringLiteral("y"));
    EXPECT_EQ(http.hRequest, nullptr);
    ASSERT_TRUE(http.OpenRequest());
    http.setUseCache(true);
    EXPECT_EQ(http.hRequest, nullptr);
    EXPECT_NE(http.hConnect, nullptr);
}

TEST(HttpSetters, ConnectionLevelChangesDisconnectButKeepTheSession)
{
    TProbeHttp http;
    http.setURL(QStringLiteral("http://localhost/x"));
    http.openAll();
    http.setHostName(QStringLiteral("LocalHost")); // same host in other letters
    EXPECT_NE(http.hConnect, nullptr);
    http.setProtokoll(QStringLiteral("HTTP"));
    EXPECT_NE(http.hConnect, nullptr);

    http.setPort(8080);
    EXPECT_EQ(http.hConnect, nullptr);
    EXPECT_EQ(http.hRequest, nullptr);
    EXPECT_NE(http.hSession, nullptr);

    http.openAll();
    http.setHostName(QStringLiteral("127.0.0.1"));
    EXPECT_EQ(http.hConnect, nullptr);
    http.openAll();
    http.setProtokoll(QStringLiteral("https"));
    EXPECT_EQ(http.hConnect, nullptr);
}

TEST(HttpSetters, NewAgentClosesTheWholeSession)
{
    TProbeHttp http;
    http.setURL(QStringLiteral("http://localhost/x"));
    http.openAll();
    http.setAgent(QStringLiteral("Tessaro over THTTP"));
    EXPECT_NE(http.hSession, nullptr);
    http.setAgent(QStringLiteral("other"));
    EXPECT_EQ(http.hSession, nullptr);
    EXPECT_EQ(http.hConnect, nullptr);
    EXPECT_EQ(http.hRequest, nullptr);
}

TEST(HttpClosing, ClosingWithNothingOpenSucceedsAndLeavesLastErrorAlone)
{
    UseBuiltInetLibrary();
    THttp http; // host empty: Connect fails and leaves an error behind
    ASSERT_TRUE(http.Open());
    ASSERT_FALSE(http.Connect());
    const qint32 error = http.LastError();
    EXPECT_NE(error, 0);
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Connect fehlgeschlagen"));
    EXPECT_TRUE(http.CloseRequest());
    EXPECT_TRUE(http.Disconnect());
    EXPECT_EQ(http.LastError(), error);
    EXPECT_TRUE(http.Close()); // closes the session: a successful step
    EXPECT_EQ(http.LastError(), 0);
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Connect fehlgeschlagen"));
}
