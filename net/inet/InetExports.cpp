// The exported entry points of the internet library. Each returns its success
// flag or handle and leaves an error code for InetGetLastError on failure.
#include "net/inet/InetErrors.h"
#include "net/inet/InetHandles.h"
#include "net/inet/InetText.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <new>

#define INET_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
thread_local uint32_t gLastError = 0;
// Defaults that keep a dead server from blocking the caller for long: the
// update check asks at start-up, with the splash standing still meanwhile.
std::atomic<uint32_t> gConnectTimeoutMs{InetDefaultConnectTimeoutMs};
std::atomic<uint32_t> gRequestTimeoutMs{InetDefaultRequestTimeoutMs};

constexpr uint32_t ConnectionLan = 0x02;
constexpr uint32_t ConnectionOffline = 0x20;

int Fail(uint32_t code)
{
    SetInetError(code);
    return 0;
}

TInetHandle FailHandle(uint32_t code)
{
    SetInetError(code);
    return nullptr;
}

// No C++ exception may leave an entry point: the caller is C. A failure
// inside (running out of memory above all) becomes the call's failure value
// with an error code, as any other failure.
template <typename TResult, typename TBody> TResult Guarded(TResult failure, TBody body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc &) {
        SetInetError(INET_ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        SetInetError(INET_ERROR_INTERNAL);
    }
    return failure;
}

std::string HostForUrl(const std::string &host)
{
    // An IPv6 literal needs brackets inside a URL.
    return host.find(':') != std::string::npos && host.front() != '[' ? "[" + host + "]" : host;
}

std::string RequestUrl(const TInetConnection &connection, const std::string &object, bool secure)
{
    std::string path = object.empty() || object.front() != '/' ? "/" + object : object;
    // Port 0 leaves the scheme's default port to libcurl.
    const std::string port = connection.port == 0 ? "" : ":" + std::to_string(connection.port);
    return (secure ? "https://" : "http://") + HostForUrl(connection.host) + port + path;
}

// The accept list becomes one header line; an entry that already is a whole
// "Accept:" line is taken as it stands.
std::vector<std::string> AcceptHeaders(const char16_t **acceptTypes)
{
    std::vector<std::string> lines;
    std::string types;
    for (size_t i = 0; acceptTypes && acceptTypes[i]; ++i) {
        const std::string entry = Utf8Of(acceptTypes[i]);
        if (StartsWithNoCase(entry, "accept:"))
            lines.push_back(entry);
        else if (!entry.empty())
            types += (types.empty() ? "" : ", ") + entry;
    }
    if (!types.empty())
        lines.push_back("Accept: " + types);
    return lines;
}

// Looks up one header's value in a response header block.
bool FindHeader(const std::string &block, const std::string &name, std::string &value)
{
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find("\r\n", start);
        if (end == std::string::npos)
            end = block.size();
        const std::string line = block.substr(start, end - start);
        if (StartsWithNoCase(line, name + ":")) {
            value = line.substr(name.size() + 1);
            value.erase(0, value.find_first_not_of(" \t"));
            return true;
        }
        start = end + 2;
    }
    return false;
}

std::string StatusText(const std::string &block)
{
    const std::string line = block.substr(0, block.find("\r\n"));
    const size_t codeStart = line.find(' ');
    const size_t textStart = codeStart == std::string::npos ? std::string::npos : line.find(' ', codeStart + 1);
    return textStart == std::string::npos ? std::string() : line.substr(textStart + 1);
}

// The text of an info level, or false when the response has none.
bool QueryValue(const TInetRequest &request, uint32_t level, std::string &value)
{
    switch (level) {
    case INET_QUERY_STATUS_CODE:
        value = std::to_string(request.status);
        return true;
    case INET_QUERY_STATUS_TEXT:
        value = StatusText(request.rawHeaders);
        return true;
    case INET_QUERY_RAW_HEADERS_CRLF:
        value = request.rawHeaders;
        return true;
    case INET_QUERY_CONTENT_TYPE:
        return FindHeader(request.rawHeaders, "Content-Type", value);
    case INET_QUERY_CONTENT_LENGTH:
        return FindHeader(request.rawHeaders, "Content-Length", value);
    default:
        return false;
    }
}

int CopyNumber(const std::string &value, void *buffer, uint32_t *bufferLength)
{
    if (!buffer || *bufferLength < sizeof(uint32_t)) {
        *bufferLength = sizeof(uint32_t);
        return Fail(INET_ERROR_INSUFFICIENT_BUFFER);
    }
    const uint32_t number = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    std::memcpy(buffer, &number, sizeof number);
    *bufferLength = sizeof number;
    return 1;
}

// Copies the text with its terminator; the length reported back excludes it.
int CopyText(const std::string &value, void *buffer, uint32_t *bufferLength)
{
    const std::u16string wide = WidenBytes(value);
    const uint32_t needed = static_cast<uint32_t>((wide.size() + 1) * sizeof(char16_t));
    if (!buffer || *bufferLength < needed) {
        *bufferLength = needed;
        return Fail(INET_ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, wide.c_str(), needed);
    *bufferLength = needed - sizeof(char16_t);
    return 1;
}

bool HasWorkingInterface()
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs *it = list; it && !found; it = it->ifa_next)
        found = it->ifa_addr && (it->ifa_flags & IFF_UP) && (it->ifa_flags & IFF_RUNNING) &&
                !(it->ifa_flags & IFF_LOOPBACK);
    freeifaddrs(list);
    return found;
}

// The request of a read or write when it is in the needed state and the
// buffer and count arguments are usable; nullptr with the error set otherwise.
TInetRequest *TransferRequest(TInetHandle handle, TRequestState needed, const void *buffer, uint32_t size,
                              const uint32_t *count)
{
    auto *request = LookUp<TInetRequest>(handle);
    if (!request)
        return nullptr;
    if (!count || (!buffer && size > 0)) {
        SetInetError(INET_ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (request->state != needed) {
        SetInetError(INET_ERROR_INCORRECT_HANDLE_STATE);
        return nullptr;
    }
    return request;
}

// The request of a send that has not already begun one; nullptr with the
// error set otherwise.
TInetRequest *RequestToSend(TInetHandle handle)
{
    auto *request = LookUp<TInetRequest>(handle);
    if (request && request->state == TRequestState::Sending) {
        SetInetError(INET_ERROR_INCORRECT_HANDLE_STATE);
        return nullptr;
    }
    return request;
}

int FinishTransfer(TInetRequest &request, const std::string *body)
{
    const uint32_t error = PerformRequest(request, body);
    request.state = TRequestState::Done;
    request.sendHeaders.clear();
    request.upload.clear();
    return error == 0 ? 1 : Fail(error);
}
} // namespace

void SetInetError(uint32_t code) { gLastError = code; }

INET_EXPORT int InternetGetConnectedState(uint32_t *flags, uint32_t)
{
    return Guarded(0, [&] {
        const bool connected = HasWorkingInterface();
        if (flags)
            *flags = connected ? ConnectionLan : ConnectionOffline;
        return connected ? 1 : Fail(INET_ERROR_CANNOT_CONNECT);
    });
}

INET_EXPORT TInetHandle InternetOpenW(const char16_t *agent, uint32_t accessType, const char16_t *proxy,
                                      const char16_t *proxyBypass, uint32_t)
{
    return Guarded(TInetHandle(nullptr), [&]() -> TInetHandle {
        if (accessType != INET_OPEN_TYPE_PRECONFIG && accessType != INET_OPEN_TYPE_DIRECT &&
            accessType != INET_OPEN_TYPE_PROXY)
            return FailHandle(INET_ERROR_INVALID_PARAMETER);
        // Owned here until registered, so a failure on the way frees it.
        auto session = std::make_unique<TInetSession>();
        session->settings.agent = Utf8Of(agent);
        session->settings.accessType = accessType;
        session->settings.proxy = Utf8Of(proxy);
        session->settings.proxyBypass = Utf8Of(proxyBypass);
        std::replace(session->settings.proxyBypass.begin(), session->settings.proxyBypass.end(), ';', ',');
        session->settings.connectTimeoutMs = gConnectTimeoutMs;
        session->settings.requestTimeoutMs = gRequestTimeoutMs;
        return RegisterHandle(session.release());
    });
}

INET_EXPORT TInetHandle InternetOpenUrlW(TInetHandle, const char16_t *, const char16_t *, uint32_t, uint32_t, uintptr_t)
{
    return FailHandle(INET_ERROR_NOT_SUPPORTED);
}

INET_EXPORT int InternetCloseHandle(TInetHandle handle)
{
    return Guarded(0, [&] { return ReleaseHandle(handle) ? 1 : 0; });
}

INET_EXPORT int InternetCheckConnectionW(const char16_t *url, uint32_t, uint32_t)
{
    return Guarded(0, [&] {
        if (!url)
            return InternetGetConnectedState(nullptr, 0);
        const uint32_t error = ProbeConnection(Utf8Of(url), gConnectTimeoutMs);
        return error == 0 ? 1 : Fail(error);
    });
}

INET_EXPORT int InternetReadFile(TInetHandle file, void *buffer, uint32_t toRead, uint32_t *read)
{
    return Guarded(0, [&] {
        TInetRequest *request = TransferRequest(file, TRequestState::Done, buffer, toRead, read);
        if (!request)
            return 0;
        const size_t count = std::min<size_t>(toRead, request->body.size() - request->readPos);
        if (count > 0)
            std::memcpy(buffer, request->body.data() + request->readPos, count);
        request->readPos += count;
        *read = static_cast<uint32_t>(count);
        return 1;
    });
}

INET_EXPORT int InternetWriteFile(TInetHandle file, const void *buffer, uint32_t toWrite, uint32_t *written)
{
    return Guarded(0, [&] {
        TInetRequest *request = TransferRequest(file, TRequestState::Sending, buffer, toWrite, written);
        if (!request)
            return 0;
        request->upload.append(static_cast<const char *>(buffer), toWrite);
        *written = toWrite;
        return 1;
    });
}

INET_EXPORT uint32_t InternetDial(void *, const char16_t *, uint32_t, uintptr_t *connection, uint32_t)
{
    if (connection)
        *connection = 0;
    SetInetError(INET_ERROR_NOT_SUPPORTED);
    return INET_ERROR_NOT_SUPPORTED;
}

INET_EXPORT int HttpQueryInfoW(TInetHandle handle, uint32_t infoLevel, void *buffer, uint32_t *bufferLength, uint32_t *)
{
    return Guarded(0, [&] {
        auto *request = LookUp<TInetRequest>(handle);
        if (!request)
            return 0;
        if (!bufferLength)
            return Fail(INET_ERROR_INVALID_PARAMETER);
        if (request->state != TRequestState::Done)
            return Fail(INET_ERROR_INCORRECT_HANDLE_STATE);
        std::string value;
        if (!QueryValue(*request, infoLevel & ~INET_QUERY_MODIFIER_MASK, value))
            return Fail(INET_ERROR_HEADER_NOT_FOUND);
        if (infoLevel & INET_QUERY_FLAG_NUMBER)
            return CopyNumber(value, buffer, bufferLength);
        return CopyText(value, buffer, bufferLength);
    });
}

INET_EXPORT TInetHandle HttpOpenRequestW(TInetHandle connection, const char16_t *verb, const char16_t *objectName,
                                         const char16_t *version, const char16_t *referrer,
                                         const char16_t **acceptTypes, uint32_t flags, uintptr_t)
{
    return Guarded(TInetHandle(nullptr), [&]() -> TInetHandle {
        auto *parent = LookUp<TInetConnection>(connection);
        if (!parent)
            return nullptr;
        // Owned here until registered, so a failure on the way frees it.
        auto request = std::make_unique<TInetRequest>();
        request->settings = parent->settings;
        request->verb = verb && *verb ? Utf8Of(verb) : "GET";
        request->url = RequestUrl(*parent, Utf8Of(objectName), flags & INET_FLAG_SECURE);
        request->http10 = Utf8Of(version) == "HTTP/1.0";
        request->headers = AcceptHeaders(acceptTypes);
        if (const std::string ref = Utf8Of(referrer); !ref.empty())
            request->headers.push_back("Referer: " + ref);
        if (flags & INET_FLAG_PRAGMA_NOCACHE) {
            request->headers.push_back("Pragma: no-cache");
            request->headers.push_back("Cache-Control: no-cache");
        }
        return RegisterHandle(request.release());
    });
}

INET_EXPORT int HttpSendRequestW(TInetHandle handle, const char16_t *headers, uint32_t headersLength,
                                 const void *optional, uint32_t optionalLength)
{
    return Guarded(0, [&] {
        auto *request = RequestToSend(handle);
        if (!request)
            return 0;
        request->sendHeaders = Utf8Of(headers, headersLength);
        if (!optional)
            return FinishTransfer(*request, nullptr);
        const std::string body(static_cast<const char *>(optional), optionalLength);
        return FinishTransfer(*request, &body);
    });
}

INET_EXPORT int HttpSendRequestExW(TInetHandle handle, const TInetBuffers *buffersIn, TInetBuffers *, uint32_t,
                                   uintptr_t)
{
    return Guarded(0, [&] {
        auto *request = RequestToSend(handle);
        if (!request)
            return 0;
        request->sendHeaders.clear();
        request->upload.clear();
        if (buffersIn) {
            request->sendHeaders = Utf8Of(buffersIn->lpcszHeader, buffersIn->dwHeadersLength);
            if (buffersIn->lpvBuffer)
                request->upload.assign(static_cast<const char *>(buffersIn->lpvBuffer), buffersIn->dwBufferLength);
        }
        request->state = TRequestState::Sending;
        return 1;
    });
}

INET_EXPORT int HttpEndRequestW(TInetHandle handle, TInetBuffers *, uint32_t, uintptr_t)
{
    return Guarded(0, [&] {
        auto *request = LookUp<TInetRequest>(handle);
        if (!request)
            return 0;
        if (request->state != TRequestState::Sending)
            return Fail(INET_ERROR_INCORRECT_HANDLE_STATE);
        const std::string body = request->upload;
        return FinishTransfer(*request, &body);
    });
}

INET_EXPORT TInetHandle InternetConnectW(TInetHandle session, const char16_t *serverName, uint16_t port,
                                         const char16_t *, const char16_t *, uint32_t service, uint32_t, uintptr_t)
{
    return Guarded(TInetHandle(nullptr), [&]() -> TInetHandle {
        auto *parent = LookUp<TInetSession>(session);
        if (!parent)
            return nullptr;
        const std::string host = Utf8Of(serverName);
        if (host.empty() || service != INET_SERVICE_HTTP)
            return FailHandle(host.empty() ? INET_ERROR_INVALID_URL : INET_ERROR_NOT_SUPPORTED);
        // Owned here until registered, so a failure on the way frees it.
        auto connection = std::make_unique<TInetConnection>();
        connection->settings = parent->settings;
        connection->host = host;
        connection->port = port;
        return RegisterHandle(connection.release());
    });
}

INET_EXPORT uint32_t InetGetLastError() { return gLastError; }

INET_EXPORT const char16_t *InetErrorText(uint32_t code) { return InetErrorTextOf(code); }

INET_EXPORT void InetGetTimeouts(uint32_t *connectMs, uint32_t *requestMs)
{
    *connectMs = gConnectTimeoutMs;
    *requestMs = gRequestTimeoutMs;
}

INET_EXPORT void InetSetTimeouts(uint32_t connectMs, uint32_t requestMs)
{
    if (connectMs > 0)
        gConnectTimeoutMs = connectMs;
    if (requestMs > 0)
        gRequestTimeoutMs = requestMs;
}
