#include "net/uHttp.h"

#include "base/uModalHook.h"
#include "net/uWinInet.h"

#include <QIODevice>

#include <stdexcept>

namespace {
constexpr quint32 TextChunkBytes = 2048;
constexpr quint32 StreamChunkBytes = 1025;
constexpr quint32 SendRequestExFlags = 12; // initiate, synchronous

// Raised when a step needs an entry point of a library that is not loaded.
class TInetMissing : public std::runtime_error
{
public:
    explicit TInetMissing(const char *name)
        : std::runtime_error(std::string("Die Internet-Bibliothek ist nicht geladen: ") + name + " fehlt.")
    {
    }
};

template <typename F> F Entry(F function, const char *name)
{
    if (!function)
        throw TInetMissing(name);
    return function;
}

const char16_t *Wide(const QString &text) { return reinterpret_cast<const char16_t *>(text.utf16()); }

// The library takes "none" for an empty text.
const char16_t *WideOrNone(const QString &text) { return text.isEmpty() ? nullptr : Wide(text); }
} // namespace

THttp::THttp() { Init(); }

THttp::THttp(const QString &URL) : THttp() { setURL(URL); }

THttp::~THttp() { Close(); }

void THttp::Init()
{
    hSession = hConnect = hRequest = nullptr;
    iAcceptTypes = QStringLiteral("*/*");
    iAgent = QStringLiteral("Tessaro over THTTP");
    iProtokoll.clear();
    iHostName.clear();
    iPort = 0;
    iFileName.clear();
    iPostQuery.clear();
    iUseCache = false;
    iIOT = INET_OPEN_TYPE_PRECONFIG;
    iProxy.clear();
    iProxybyPass.clear();
    iLastError = 0;
    iInternalLastErrorMsg.clear();
}

void THttp::setURL(const QString &URL)
{
    QString rest = URL;
    QString protocol, host, portText, path;
    if (const qsizetype at = rest.indexOf(QLatin1String("://")); at >= 0) {
        protocol = rest.left(at);
        rest = rest.mid(at + 3);
    }
    if (const qsizetype at = rest.indexOf(QLatin1Char('/')); at >= 0) {
        host = rest.left(at);
        path = rest.mid(at + 1);
    }
    if (const qsizetype at = host.indexOf(QLatin1Char(':')); at >= 0) {
        portText = host.mid(at + 1);
        host = host.left(at);
    }
    if (host.isEmpty() || path.isEmpty())
        return;
    setProtokoll(protocol);
    setHostName(host);
    bool isNumber = false;
    const int port = portText.toInt(&isNumber);
    // A port outside 0..65535 would wrap into some other port: keep the old one.
    if (isNumber && port >= 0 && port <= 0xFFFF)
        setPort(static_cast<quint16>(port));
    setFileName(path);
}

QString THttp::GetURL() const
{
    if (iHostName.isEmpty())
        return QStringLiteral("invalid hostname");
    QString url = iHostName;
    if (iPort != 0)
        url += QLatin1Char(':') + QString::number(iPort);
    if (!iProtokoll.isEmpty())
        url = iProtokoll + QLatin1String("://") + url;
    if (!iFileName.isEmpty())
        url += QLatin1Char('/') + iFileName;
    return url;
}

void THttp::setAcceptTypes(const QString &value)
{
    if (value == iAcceptTypes)
        return;
    CloseRequest();
    iAcceptTypes = value;
}

void THttp::setAgent(const QString &value)
{
    if (value == iAgent)
        return;
    Close();
    iAgent = value;
}

void THttp::setFileName(const QString &value)
{
    if (value == iFileName)
        return;
    CloseRequest();
    iFileName = value;
}

void THttp::setHostName(const QString &value)
{
    const QString lower = value.toLower();
    if (lower == iHostName)
        return;
    Disconnect();
    iHostName = lower;
}

void THttp::setPort(quint16 value)
{
    if (value == iPort)
        return;
    Disconnect();
    iPort = value;
}

void THttp::setProtokoll(const QString &value)
{
    const QString lower = value.toLower();
    if (lower == iProtokoll)
        return;
    Disconnect();
    iProtokoll = lower;
}

void THttp::setUseCache(bool value)
{
    if (value == iUseCache)
        return;
    CloseRequest();
    iUseCache = value;
}

quint16 THttp::ConnectPort() const
{
    if (iPort != 0)
        return iPort;
    return iProtokoll == QLatin1String("https") ? 443 : 80;
}

QString THttp::LastErrorMsg() const { return WinInet().ErrorText(static_cast<quint32>(iLastError)); }

void THttp::RecordFailure(const char *msg, quint32 code)
{
    iLastError = static_cast<qint32>(code);
    iInternalLastErrorMsg = QString::fromUtf8(msg);
}

bool THttp::Step(const char *msg, const std::function<bool()> &body)
{
    bool ok = false;
    try {
        ok = body();
    } catch (const std::exception &) {
        ok = false;
    }
    if (ok)
        iLastError = 0;
    else
        RecordFailure(msg, WinInet().PlatformLastError());
    return ok;
}

bool THttp::CloseStep(TInetHandle &handle, const char *msg)
{
    if (!handle)
        return true;
    return Step(msg, [&] {
        TInetHandle closing = handle;
        handle = nullptr; // emptied whatever the library answers
        return Entry(WinInet().InternetCloseHandle(), "InternetCloseHandle")(closing) != 0;
    });
}

bool THttp::Open()
{
    return Step("THttp.Open fehlgeschlagen", [&] {
        if (hSession)
            return true;
        hSession = Entry(WinInet().InternetOpen(), "InternetOpenW")(WideOrNone(iAgent), iIOT, WideOrNone(iProxy),
                                                                    WideOrNone(iProxybyPass), 0);
        return hSession != nullptr;
    });
}

bool THttp::Connect()
{
    return Step("THttp.Connect fehlgeschlagen", [&] {
        if (hConnect)
            return true;
        hConnect = Entry(WinInet().InternetConnect(), "InternetConnectW")(hSession, Wide(iHostName), ConnectPort(),
                                                                          nullptr, nullptr, INET_SERVICE_HTTP, 0, 0);
        return hConnect != nullptr;
    });
}

bool THttp::OpenRequest()
{
    return Step("THttp.OpenRequest fehlgeschlagen", [&] {
        if (hRequest && !CloseRequest())
            return false;
        try {
            const QString verb = iPostQuery.isEmpty() ? QStringLiteral("GET") : QStringLiteral("POST");
            quint32 flags = 0;
            if (!iUseCache)
                flags |= INET_FLAG_RELOAD | INET_FLAG_NO_CACHE_WRITE | INET_FLAG_PRAGMA_NOCACHE;
            if (iProtokoll == QLatin1String("https"))
                flags |= INET_FLAG_SECURE;
            const QString accept = QStringLiteral("Accept: ") + iAcceptTypes;
            const char16_t *acceptList[] = {Wide(accept), nullptr};
            hRequest = Entry(WinInet().HttpOpenRequest(), "HttpOpenRequestW")(hConnect, Wide(verb), Wide(iFileName),
                                                                              nullptr, nullptr, acceptList, flags, 0);
            return hRequest != nullptr;
        } catch (const std::exception &error) {
            ShowModal(QString::fromUtf8(error.what()), TModalKind::Information);
            throw;
        }
    });
}

bool THttp::SendRequest()
{
    return Step("THttp.SendRequest fehlgeschlagen", [&] {
        auto send = Entry(WinInet().HttpSendRequest(), "HttpSendRequestW");
        if (iPostQuery.isEmpty())
            return send(hRequest, nullptr, 0, nullptr, 0) != 0;
        const QString header = QStringLiteral("Content-Type: application/x-www-form-urlencoded");
        const QByteArray body = iPostQuery.toLatin1();
        return send(hRequest, Wide(header), static_cast<quint32>(header.size()), body.constData(),
                    static_cast<quint32>(body.size())) != 0;
    });
}

bool THttp::ReadChunks(quint32 chunkSize, const std::function<bool(const char *, quint32)> &sink)
{
    auto read = Entry(WinInet().InternetReadFile(), "InternetReadFile");
    QByteArray buffer(static_cast<qsizetype>(chunkSize), '\0');
    for (;;) {
        quint32 received = 0;
        if (!read(hRequest, buffer.data(), chunkSize, &received))
            return false;
        if (received == 0 || !sink(buffer.constData(), received))
            return true;
    }
}

bool THttp::Read(QString &response)
{
    response.clear();
    const bool ok = Step("THttp.Read fehlgeschlagen", [&] {
        return ReadChunks(TextChunkBytes, [&](const char *data, quint32 count) {
            response += QString::fromLatin1(data, count);
            return true;
        });
    });
    if (!ok)
        response.clear();
    return ok;
}

bool THttp::CloseRequest() { return CloseStep(hRequest, "THttp.CloseRequest Fehlgeschlagen"); }

bool THttp::Disconnect()
{
    if (!CloseRequest()) {
        RecordFailure("THttp.Disconnect fehlgeschlagen", static_cast<quint32>(iLastError));
        return false;
    }
    return CloseStep(hConnect, "THttp.Disconnect fehlgeschlagen");
}

bool THttp::Close()
{
    if (!Disconnect()) {
        RecordFailure("THttp.Close fehlgeschlagen", static_cast<quint32>(iLastError));
        return false;
    }
    return CloseStep(hSession, "THttp.Close fehlgeschlagen");
}

bool THttp::QueryInfo(QString &response, quint32 InfoLevel, quint32 bufferSize)
{
    response.clear();
    return Step("THttp.QueryInfo fehlgeschlagen", [&] {
        auto query = Entry(WinInet().HttpQueryInfo(), "HttpQueryInfoW");
        QByteArray buffer(static_cast<qsizetype>(bufferSize), '\0');
        quint32 size = bufferSize;
        quint32 index = 0;
        bool ok = query(hRequest, InfoLevel, buffer.data(), &size, &index) != 0;
        if (!ok && WinInet().PlatformLastError() == INET_ERROR_INSUFFICIENT_BUFFER && size > bufferSize) {
            buffer.resize(static_cast<qsizetype>(size));
            ok = query(hRequest, InfoLevel, buffer.data(), &size, &index) != 0;
        }
        if (ok)
            response = QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer.constData()),
                                          static_cast<qsizetype>(size / sizeof(char16_t)));
        return ok;
    });
}

bool THttp::Read(QIODevice &sm, quint32 &BytesTotal, const TOnProgress &OnProgress)
{
    const quint32 expected = BytesTotal;
    quint32 received = 0;
    bool stop = false;
    const bool ok = Step("THttp.Read( Stream) fehlgeschlagen", [&] {
        sm.seek(0);
        if (OnProgress)
            OnProgress(this, 0, expected, stop);
        const bool lastRead = stop || ReadChunks(StreamChunkBytes, [&](const char *data, quint32 count) {
                                  if (sm.write(data, count) != static_cast<qint64>(count))
                                      throw std::runtime_error("stream not writable");
                                  received += count;
                                  if (OnProgress)
                                      OnProgress(this, received, expected, stop);
                                  return !stop;
                              });
        return lastRead && !stop;
    });
    BytesTotal = ok ? received : 0;
    return ok;
}

bool THttp::SendRequestEx(const QString &Header, quint32 DataSize)
{
    return Step("THttp.SendRequestEx fehlgeschlagen", [&] {
        TInetBuffers buffers{};
        buffers.dwStructSize = sizeof buffers;
        buffers.lpcszHeader = Wide(Header);
        buffers.dwHeadersLength = static_cast<quint32>(Header.size());
        buffers.dwHeadersTotal = static_cast<quint32>(Header.size());
        buffers.dwBufferTotal = DataSize;
        return Entry(WinInet().HttpSendRequestEx(), "HttpSendRequestExW")(hRequest, &buffers, nullptr,
                                                                          SendRequestExFlags, 0) != 0;
    });
}

bool THttp::EndRequest()
{
    return Step("THttp.EndRequest fehlgeschlagen",
                [&] { return Entry(WinInet().HttpEndRequest(), "HttpEndRequestW")(hRequest, nullptr, 0, 0) != 0; });
}

bool THttp::Write(const QString &s, quint32 &BytesTotalWritten)
{
    BytesTotalWritten = 0;
    return Step("THttp.Write fehlgeschlagen", [&] {
        const QByteArray bytes = s.toLatin1();
        return Entry(WinInet().InternetWriteFile(), "InternetWriteFile")(
                   hRequest, bytes.constData(), static_cast<quint32>(bytes.size()), &BytesTotalWritten) != 0;
    });
}

bool THttp::Write(QIODevice &sm, quint32 &BytesTotalWritten, const TOnProgress &OnProgress)
{
    BytesTotalWritten = 0;
    return Step("THttp.Write( Stream) fehlgeschlagen", [&] {
        auto write = Entry(WinInet().InternetWriteFile(), "InternetWriteFile");
        sm.seek(0);
        const quint32 total = static_cast<quint32>(sm.size());
        bool stop = false;
        if (OnProgress)
            OnProgress(this, 0, total, stop);
        while (!stop) {
            const QByteArray chunk = sm.read(StreamChunkBytes);
            if (chunk.isEmpty())
                break;
            quint32 written = 0;
            if (!write(hRequest, chunk.constData(), static_cast<quint32>(chunk.size()), &written))
                return false;
            if (written == 0)
                break;
            // What the library did not take is sent with the next chunk.
            sm.seek(sm.pos() - (chunk.size() - written));
            BytesTotalWritten += written;
            if (OnProgress)
                OnProgress(this, BytesTotalWritten, total, stop);
        }
        return !stop;
    });
}

bool THttpString::Get(QString &response)
{
    response.clear();
    return Open() && Connect() && OpenRequest() && SendRequest() && Read(response) && CloseRequest();
}

bool THttpString::GetUTF8(QByteArray &response)
{
    response.clear();
    if (!(Open() && Connect() && OpenRequest() && SendRequest()))
        return false;
    QByteArray body;
    const bool read = Step("THttp.Read fehlgeschlagen", [&] {
        return ReadChunks(StreamChunkBytes, [&](const char *data, quint32 count) {
            body.append(data, count);
            return true;
        });
    });
    if (!read)
        return false;
    response = body;
    return CloseRequest();
}
