// Error codes of the internet library: the German texts and the mapping of
// libcurl's results onto the numbering the client knows.
#include "net/inet/InetErrors.h"

#include <iterator>

namespace {
struct TErrorText
{
    uint32_t code;
    const char16_t *text;
};

constexpr TErrorText ErrorTexts[] = {
    {INET_ERROR_INVALID_HANDLE, u"Das Handle ist ungültig."},
    {INET_ERROR_NOT_ENOUGH_MEMORY, u"Es ist nicht genügend Speicher verfügbar, um diesen Befehl zu verarbeiten."},
    {INET_ERROR_NOT_SUPPORTED, u"Die Anforderung wird nicht unterstützt."},
    {INET_ERROR_INVALID_PARAMETER, u"Falscher Parameter."},
    {INET_ERROR_INSUFFICIENT_BUFFER, u"Der an einen Systemaufruf übergebene Datenbereich ist zu klein."},
    {INET_ERROR_MOD_NOT_FOUND, u"Das angegebene Modul wurde nicht gefunden."},
    {INET_ERROR_PROC_NOT_FOUND, u"Die angegebene Prozedur wurde nicht gefunden."},
    {INET_ERROR_TIMEOUT, u"Das Zeitlimit für den Vorgang wurde überschritten."},
    {INET_ERROR_INTERNAL, u"Ein interner Fehler ist aufgetreten."},
    {INET_ERROR_INVALID_URL, u"Die URL ist ungültig."},
    {INET_ERROR_UNRECOGNIZED_SCHEME, u"Das URL-Schema wurde nicht erkannt oder wird nicht unterstützt."},
    {INET_ERROR_NAME_NOT_RESOLVED, u"Der Servername oder die Serveradresse konnte nicht aufgelöst werden."},
    {INET_ERROR_OPERATION_CANCELLED, u"Der Vorgang wurde abgebrochen."},
    {INET_ERROR_INCORRECT_HANDLE_TYPE, u"Der Typ des angegebenen Handles ist für diesen Vorgang falsch."},
    {INET_ERROR_INCORRECT_HANDLE_STATE,
     u"Der Vorgang kann nicht ausgeführt werden, da das Handle nicht den richtigen Status hat."},
    {INET_ERROR_CANNOT_CONNECT, u"Es konnte keine Verbindung mit dem Server hergestellt werden."},
    {INET_ERROR_CONNECTION_ABORTED, u"Die Verbindung mit dem Server wurde beendet."},
    {INET_ERROR_CONNECTION_RESET, u"Die Verbindung mit dem Server wurde zurückgesetzt."},
    {INET_ERROR_INVALID_CA, u"Die Zertifizierungsstelle ist ungültig oder falsch."},
    {INET_ERROR_HEADER_NOT_FOUND, u"Der angeforderte Header wurde nicht gefunden."},
    {INET_ERROR_INVALID_SERVER_RESPONSE, u"Der Server hat eine ungültige oder unbekannte Antwort zurückgegeben."},
    {INET_ERROR_SECURE_CHANNEL, u"Fehler in der Unterstützung für sichere Kanäle."},
};
} // namespace

const char16_t *InetErrorTextOf(uint32_t code)
{
    for (const TErrorText &entry : ErrorTexts)
        if (entry.code == code)
            return entry.text;
    return nullptr;
}

uint32_t InetErrorFromCurl(CURLcode result)
{
    switch (result) {
    case CURLE_OK:
        return 0;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return INET_ERROR_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return INET_ERROR_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return INET_ERROR_TIMEOUT;
    case CURLE_URL_MALFORMAT:
        return INET_ERROR_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return INET_ERROR_UNRECOGNIZED_SCHEME;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_PARTIAL_FILE:
        return INET_ERROR_INVALID_SERVER_RESPONSE;
    case CURLE_SEND_ERROR:
        return INET_ERROR_CONNECTION_ABORTED;
    case CURLE_RECV_ERROR:
        return INET_ERROR_CONNECTION_RESET;
    case CURLE_PEER_FAILED_VERIFICATION:
        return INET_ERROR_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
        return INET_ERROR_SECURE_CHANNEL;
    case CURLE_ABORTED_BY_CALLBACK:
        return INET_ERROR_OPERATION_CANCELLED;
    case CURLE_OUT_OF_MEMORY:
        return INET_ERROR_NOT_ENOUGH_MEMORY;
    default:
        return INET_ERROR_INTERNAL;
    }
}
