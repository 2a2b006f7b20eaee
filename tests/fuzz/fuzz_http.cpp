// HTTP answers (any bytes, as a server sends them) through the run-time
// loaded internet library and the client over it: request, header queries,
// body, and the update check's reading of the body.
#include "FuzzTarget.h"
#include "RawHttpServer.h"

#include "net/uHttp.h"
#include "net/uUpdateCheck.h"
#include "tests/net/InetTestSupport.h"

namespace {

// Short enough that an answer sending the client elsewhere costs little.
constexpr uint32_t ConnectTimeoutMs = 500;
constexpr uint32_t RequestTimeoutMs = 2000;

TRawHttpServer &Server()
{
    static TRawHttpServer server;
    static const TShortTimeouts timeouts(ConnectTimeoutMs, RequestTimeoutMs);
    return server;
}

void QueryHeaders(THttp &http)
{
    QString value;
    for (quint32 level : {INET_QUERY_STATUS_CODE, INET_QUERY_STATUS_TEXT, INET_QUERY_CONTENT_TYPE,
                          INET_QUERY_CONTENT_LENGTH, INET_QUERY_CONTENT_LENGTH | INET_QUERY_FLAG_NUMBER})
        http.QueryInfo(value, level, 64);
    // A small buffer takes the path that grows it.
    http.QueryInfo(value, INET_QUERY_RAW_HEADERS_CRLF, 4);
}

} // namespace

GRAZLO_FUZZ_TARGET(bytes)
{
    TRawHttpServer &server = Server();
    server.setAnswer(bytes.toStdString());
    THttp http(QString::fromStdString(server.url()));
    if (!(http.Open() && http.Connect() && http.OpenRequest() && http.SendRequest()))
        return;
    QueryHeaders(http);
    QString body;
    if (!http.Read(body))
        return;
    grazlo_fuzz::Check(body.size() <= bytes.size(), "the body is no longer than the answer");
    IsNewVersion(true, body, QStringLiteral("2.0"));
    http.Close();
}
