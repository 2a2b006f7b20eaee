#pragma once
// A small blocking HTTP client over the run-time-loaded internet library: one
// session, one connection and one request, driven one step at a time. Each
// step returns its success and, on failure, records the library's error code
// and a German step message.
#include "net/inet/InetApi.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;
class THttp;

// Progress of a stream transfer; setting stop cancels it.
using TOnProgress = std::function<void(THttp *Sender, quint32 step, quint32 max, bool &stop)>;

class THttp
{
public:
    THttp();
    explicit THttp(const QString &URL);
    virtual ~THttp();
    THttp(const THttp &) = delete;
    THttp &operator=(const THttp &) = delete;

    QString URL() const { return GetURL(); }
    // Splits the URL into scheme, host, port and path; a URL without host or
    // path is ignored as a whole.
    void setURL(const QString &URL);
    QString GetURL() const;

    QString AcceptTypes() const { return iAcceptTypes; }
    void setAcceptTypes(const QString &value);
    QString Agent() const { return iAgent; }
    void setAgent(const QString &value);
    QString FileName() const { return iFileName; }
    void setFileName(const QString &value);
    QString HostName() const { return iHostName; }
    void setHostName(const QString &value);
    quint16 Port() const { return iPort; }
    void setPort(quint16 value);
    QString Protokoll() const { return iProtokoll; }
    void setProtokoll(const QString &value);
    bool UseCache() const { return iUseCache; }
    void setUseCache(bool value);
    quint32 IOT() const { return iIOT; }
    void setIOT(quint32 value) { iIOT = value; }
    QString Proxy() const { return iProxy; }
    void setProxy(const QString &value) { iProxy = value; }
    QString ProxyByPass() const { return iProxybyPass; }
    void setProxyByPass(const QString &value) { iProxybyPass = value; }
    QString PostQuery() const { return iPostQuery; }
    void setPostQuery(const QString &value) { iPostQuery = value; }
    // The port Connect uses: Port, or the scheme's default when Port is 0.
    quint16 ConnectPort() const;

    // Error code of the last failed step; 0 after a successful one.
    qint32 LastError() const { return iLastError; }
    // The German message of the last failed step; not cleared by successes.
    QString InternalLastErrorMsg() const { return iInternalLastErrorMsg; }
    // The library's description of LastError; empty when it has none.
    QString LastErrorMsg() const;

    bool Open();
    bool Connect();
    bool OpenRequest();
    bool SendRequest();
    bool Read(QString &response);
    bool CloseRequest();
    bool Disconnect();
    bool Close();

    bool QueryInfo(QString &response, quint32 InfoLevel, quint32 bufferSize);
    // Reads the body into sm; BytesTotal comes in as the expected total and
    // goes out as the bytes received (0 on failure).
    bool Read(QIODevice &sm, quint32 &BytesTotal, const TOnProgress &OnProgress = {});
    bool SendRequestEx(const QString &Header, quint32 DataSize);
    bool Write(const QString &s, quint32 &BytesTotalWritten);
    bool Write(QIODevice &sm, quint32 &BytesTotalWritten, const TOnProgress &OnProgress = {});
    bool EndRequest();

protected:
    virtual void Init();
    // Runs one step: a thrown error or a false result is a failure that
    // records the library's error code and msg.
    bool Step(const char *msg, const std::function<bool()> &body);
    // A step that only closes one handle: success without touching LastError
    // when the handle is not open.
    bool CloseStep(TInetHandle &handle, const char *msg);
    // Reads chunks of chunkSize bytes, handing each to sink, until a read fails
    // or delivers nothing; returns the last read's result.
    bool ReadChunks(quint32 chunkSize, const std::function<bool(const char *data, quint32 count)> &sink);

    TInetHandle hSession = nullptr;
    TInetHandle hConnect = nullptr;
    TInetHandle hRequest = nullptr;

private:
    void RecordFailure(const char *msg, quint32 code);

    QString iAcceptTypes;
    QString iAgent;
    QString iProtokoll;
    QString iHostName;
    quint16 iPort = 0;
    QString iFileName;
    QString iPostQuery;
    bool iUseCache = false;
    quint32 iIOT = INET_OPEN_TYPE_PRECONFIG;
    QString iProxy;
    QString iProxybyPass;
    qint32 iLastError = 0;
    QString iInternalLastErrorMsg;
};

class THttpString : public THttp
{
public:
    using THttp::THttp;
    // One GET; the body taken byte by byte as text.
    bool Get(QString &response);
    // One GET; the body as UTF-8 bytes.
    bool GetUTF8(QByteArray &response);
};
