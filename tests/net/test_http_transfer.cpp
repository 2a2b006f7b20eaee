// Whole requests against a server inside the test, and the failure paths.
#include "InetTestSupport.h"
#include "LocalHttpServer.h"
#include "net/uHttp.h"
#include "tests/support/ModalRecorder.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
using TMode = TLocalHttpServer::TMode;

class HttpTransfer : public ::testing::Test
{
protected:
    void SetUp() override { UseBuiltInetLibrary(); }

    static QString Url(const TLocalHttpServer &server, const std::string &path = "version.php")
    {
        return QString::fromStdString(server.url(path));
    }
};

// Header lines of a received request, lower-cased names for easy matching.
bool HasLine(const std::string &request, const std::string &line)
{
    return request.find("\r\n" + line + "\r\n") != std::string::npos;
}
} // namespace

TEST_F(HttpTransfer, GetSendsOurRequestAndReturnsTheBody)
{
    TLocalHttpServer server("2.0\r\n");
    THttpString http;
    http.setURL(Url(server));
    QString body;
    ASSERT_TRUE(http.Get(body)) << http.LastErrorMsg().toStdString();
    EXPECT_EQ(body, QStringLiteral("2.0\r\n"));
    EXPECT_EQ(http.LastError(), 0);

    const std::string request = server.request();
    EXPECT_EQ(request.rfind("GET /version.php HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_TRUE(HasLine(request, "User-Agent: Tessaro over THTTP")) << request;
    EXPECT_TRUE(HasLine(request, "Accept: */*")) << request;
    EXPECT_TRUE(HasLine(request, "Pragma: no-cache")) << request;
    EXPECT_EQ(request.find("Accept: Accept:"), std::string::npos);
}

TEST_F(HttpTransfer, BodiesArriveWholeEmptyOrLong)
{
    std::string longBody;
    for (int i = 0; longBody.size() < 5000; ++i)
        longBody += std::to_string(i) + ",";
    for (const std::string &sent : {std::string(), longBody, std::string("\xe4\xf6\xfc")}) {
        TLocalHttpServer server(sent);
        THttpString http;
        http.setURL(Url(server));
        QString body = QStringLiteral("stale");
        ASSERT_TRUE(http.Get(body));
        // Each byte is one character.
        EXPECT_EQ(body, QString::fromLatin1(sent.data(), static_cast<qsizetype>(sent.size())));
    }
}

TEST_F(HttpTransfer, SessionAndConnectionStayOpenForTheNextGet)
{
    TLocalHttpServer server("x");
    THttpString http;
    http.setURL(Url(server));
    QString body;
    ASSERT_TRUE(http.Get(body));
    ASSERT_TRUE(http.Get(body));
    EXPECT_EQ(body, QStringLiteral("x"));
    EXPECT_EQ(server.connections(), 2);
}

TEST_F(HttpTransfer, RefusedPortFailsAtSendWithCannotConnect)
{
    THttpString http;
    http.setURL(QStringLiteral("http://127.0.0.1:%1/version.php").arg(UnusedLocalPort()));
    QString body = QStringLiteral("stale");
    EXPECT_FALSE(http.Get(body));
    EXPECT_TRUE(body.isEmpty());
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_CANNOT_CONNECT));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.SendRequest fehlgeschlagen"));
    EXPECT_EQ(http.LastErrorMsg(), QStringLiteral("Es konnte keine Verbindung mit dem Server hergestellt werden."));
}

TEST_F(HttpTransfer, UnresolvableHostFailsWithNameNotResolved)
{
    THttpString http;
    http.setURL(QStringLiteral("http://nowhere.grazlo.invalid/version.php"));
    QString body;
    EXPECT_FALSE(http.Get(body));
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_NAME_NOT_RESOLVED));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.SendRequest fehlgeschlagen"));
}

TEST_F(HttpTransfer, ServerThatClosesAtOnceIsAFailureNotAnEmptyBody)
{
    TLocalHttpServer server("", TMode::CloseAtOnce);
    THttpString http;
    http.setURL(Url(server));
    QString body;
    EXPECT_FALSE(http.Get(body));
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_INVALID_SERVER_RESPONSE));
    EXPECT_FALSE(http.LastErrorMsg().isEmpty());
}

TEST_F(HttpTransfer, StallingServerRunsIntoTheLibraryTimeout)
{
    TShortTimeouts timeouts(2000, 300);
    TLocalHttpServer server("", TMode::Stall);
    THttpString http;
    http.setURL(Url(server));
    QString body;
    EXPECT_FALSE(http.Get(body));
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_TIMEOUT));
    EXPECT_EQ(http.LastErrorMsg(), QStringLiteral("Das Zeitlimit für den Vorgang wurde überschritten."));
}

TEST_F(HttpTransfer, MissingLibraryFailsAtOpen)
{
    WinInet().setDllPath(QStringLiteral("/nonexistent/libnothing.so"));
    THttpString http(QStringLiteral("http://127.0.0.1:1/version.php"));
    QString body = QStringLiteral("stale");
    EXPECT_FALSE(http.Get(body));
    EXPECT_TRUE(body.isEmpty());
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Open fehlgeschlagen"));
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_MOD_NOT_FOUND));
    EXPECT_TRUE(http.LastErrorMsg().isEmpty()); // no library, no texts
    UseBuiltInetLibrary();
}

TEST_F(HttpTransfer, OpenRequestShowsTheErrorRaisedInsideIt)
{
    THttp http(QStringLiteral("http://127.0.0.1/x"));
    ASSERT_TRUE(http.Open());
    ASSERT_TRUE(http.Connect());
    WinInet().setDllPath(QStringLiteral("/nonexistent/libnothing.so"));
    QStringList shown;
    {
        TModalRecorder modal;
        EXPECT_FALSE(http.OpenRequest());
        shown = modal.texts();
    }
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.OpenRequest fehlgeschlagen"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains(QStringLiteral("HttpOpenRequestW")));
    UseBuiltInetLibrary();
}

TEST_F(HttpTransfer, StepsOnAClosedRequestFailWithTheirMessages)
{
    THttp http;
    QString text;
    EXPECT_FALSE(http.SendRequest());
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.SendRequest fehlgeschlagen"));
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_INVALID_HANDLE));
    EXPECT_FALSE(http.Read(text));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Read fehlgeschlagen"));
    EXPECT_FALSE(http.QueryInfo(text, INET_QUERY_STATUS_CODE, 64));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.QueryInfo fehlgeschlagen"));
    quint32 count = 0;
    EXPECT_FALSE(http.Write(QStringLiteral("x"), count));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Write fehlgeschlagen"));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    stream.write("data");
    EXPECT_FALSE(http.Read(stream, count));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Read( Stream) fehlgeschlagen"));
    EXPECT_FALSE(http.Write(stream, count));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.Write( Stream) fehlgeschlagen"));
    EXPECT_FALSE(http.SendRequestEx(QString(), 0));
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.SendRequestEx fehlgeschlagen"));
    EXPECT_FALSE(http.EndRequest());
    EXPECT_EQ(http.InternalLastErrorMsg(), QStringLiteral("THttp.EndRequest fehlgeschlagen"));
}

TEST_F(HttpTransfer, PostQueryIsSentAsFormData)
{
    TLocalHttpServer server("ok");
    THttpString http;
    http.setURL(Url(server, "form"));
    http.setPostQuery(QStringLiteral("a=1&b=\u00e4"));
    QString body;
    ASSERT_TRUE(http.Get(body));
    const std::string request = server.request();
    EXPECT_EQ(request.rfind("POST /form HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_TRUE(HasLine(request, "Content-Type: application/x-www-form-urlencoded")) << request;
    EXPECT_EQ(request.substr(request.size() - 7), std::string("a=1&b=\xe4"));
}

TEST_F(HttpTransfer, BodyWrittenBetweenSendRequestExAndEndRequestIsSent)
{
    TLocalHttpServer server("done");
    THttp http(Url(server, "upload"));
    http.setPostQuery(QStringLiteral("x")); // makes it a POST
    ASSERT_TRUE(http.Open() && http.Connect() && http.OpenRequest());
    ASSERT_TRUE(http.SendRequestEx(QStringLiteral("X-Part: 1\r\n"), 3000));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    stream.write(QByteArray(3000, 'z'));
    quint32 written = 0;
    QList<quint32> steps;
    ASSERT_TRUE(http.Write(stream, written, [&](THttp *, quint32 step, quint32 max, bool &) {
        steps << step;
        EXPECT_EQ(max, 3000u);
    }));
    EXPECT_EQ(written, 3000u);
    EXPECT_EQ(steps, (QList<quint32>{0, 1025, 2050, 3000}));
    ASSERT_TRUE(http.EndRequest());
    QString body;
    ASSERT_TRUE(http.Read(body));
    EXPECT_EQ(body, QStringLiteral("done"));
    const std::string request = server.request();
    EXPECT_TRUE(HasLine(request, "X-Part: 1")) << request;
    EXPECT_EQ(request.substr(request.size() - 3000), std::string(3000, 'z'));
}

TEST_F(HttpTransfer, StreamReadReportsProgressAndCanBeStopped)
{
    TLocalHttpServer server(std::string(3000, 'q'));
    THttp http(Url(server));
    ASSERT_TRUE(http.Open() && http.Connect() && http.OpenRequest() && http.SendRequest());
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    quint32 total = 3000;
    QList<quint32> steps;
    ASSERT_TRUE(http.Read(stream, total, [&](THttp *, quint32 step, quint32, bool &) { steps << step; }));
    EXPECT_EQ(total, 3000u);
    EXPECT_EQ(stream.data(), QByteArray(3000, 'q'));
    EXPECT_EQ(steps, (QList<quint32>{0, 1025, 2050, 3000}));

    ASSERT_TRUE(http.OpenRequest() && http.SendRequest());
    total = 3000;
    EXPECT_FALSE(http.Read(stream, total, [](THttp *, quint32 step, quint32, bool &stop) { stop = step > 0; }));
    EXPECT_EQ(total, 0u);
}

TEST_F(HttpTransfer, QueryInfoGrowsItsBufferOnceWhenTooSmall)
{
    TLocalHttpServer server("abc");
    THttp http(Url(server));
    ASSERT_TRUE(http.Open() && http.Connect() && http.OpenRequest() && http.SendRequest());
    QString value;
    ASSERT_TRUE(http.QueryInfo(value, INET_QUERY_STATUS_CODE, 64));
    EXPECT_EQ(value, QStringLiteral("200"));
    ASSERT_TRUE(http.QueryInfo(value, INET_QUERY_RAW_HEADERS_CRLF, 4));
    EXPECT_TRUE(value.startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n")));
    EXPECT_TRUE(value.contains(QStringLiteral("Content-Length: 3")));
    EXPECT_FALSE(http.QueryInfo(value, 9999, 64));
    EXPECT_EQ(http.LastError(), static_cast<qint32>(INET_ERROR_HEADER_NOT_FOUND));
}

TEST_F(HttpTransfer, GetUtf8ReturnsTheBodyBytes)
{
    TLocalHttpServer server("Gr\xc3\xbc\xc3\x9f"
                            "e");
    THttpString http(Url(server));
    QByteArray body;
    ASSERT_TRUE(http.GetUTF8(body));
    EXPECT_EQ(QString::fromUtf8(body), QStringLiteral("Grüße"));
}
