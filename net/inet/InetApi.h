#pragma once
// The binary interface of the internet library that the HTTP client loads at run
// time: entry-point signatures, flag values and error codes. Strings are UTF-16
// (char16_t*), booleans are int (non-zero = success), handles are opaque
// pointers; after a failure the error code is read with InetGetLastError.
#include <cstdint>

using TInetHandle = void *;

// Access types of InternetOpenW.
constexpr uint32_t INET_OPEN_TYPE_PRECONFIG = 0;
constexpr uint32_t INET_OPEN_TYPE_DIRECT = 1;
constexpr uint32_t INET_OPEN_TYPE_PROXY = 3;

constexpr uint32_t INET_SERVICE_HTTP = 3;

// Request flags of HttpOpenRequestW.
constexpr uint32_t INET_FLAG_RELOAD = 0x80000000;
constexpr uint32_t INET_FLAG_NO_CACHE_WRITE = 0x04000000;
constexpr uint32_t INET_FLAG_PRAGMA_NOCACHE = 0x00000100;
constexpr uint32_t INET_FLAG_SECURE = 0x00800000;

// Info levels and modifiers of HttpQueryInfoW.
constexpr uint32_t INET_QUERY_CONTENT_TYPE = 1;
constexpr uint32_t INET_QUERY_CONTENT_LENGTH = 5;
constexpr uint32_t INET_QUERY_STATUS_CODE = 19;
constexpr uint32_t INET_QUERY_STATUS_TEXT = 20;
constexpr uint32_t INET_QUERY_RAW_HEADERS_CRLF = 22;
constexpr uint32_t INET_QUERY_FLAG_NUMBER = 0x20000000;
constexpr uint32_t INET_QUERY_MODIFIER_MASK = 0xFFFF0000;

// Error codes, numbered as on the platform whose interface this mirrors.
constexpr uint32_t INET_ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t INET_ERROR_INVALID_HANDLE = 6;
constexpr uint32_t INET_ERROR_NOT_SUPPORTED = 50;
constexpr uint32_t INET_ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t INET_ERROR_INSUFFICIENT_BUFFER = 122;
constexpr uint32_t INET_ERROR_MOD_NOT_FOUND = 126;
constexpr uint32_t INET_ERROR_PROC_NOT_FOUND = 127;
constexpr uint32_t INET_ERROR_TIMEOUT = 12002;
constexpr uint32_t INET_ERROR_INTERNAL = 12004;
constexpr uint32_t INET_ERROR_INVALID_URL = 12005;
constexpr uint32_t INET_ERROR_UNRECOGNIZED_SCHEME = 12006;
constexpr uint32_t INET_ERROR_NAME_NOT_RESOLVED = 12007;
constexpr uint32_t INET_ERROR_OPERATION_CANCELLED = 12017;
constexpr uint32_t INET_ERROR_INCORRECT_HANDLE_TYPE = 12018;
constexpr uint32_t INET_ERROR_INCORRECT_HANDLE_STATE = 12019;
constexpr uint32_t INET_ERROR_CANNOT_CONNECT = 12029;
constexpr uint32_t INET_ERROR_CONNECTION_ABORTED = 12030;
constexpr uint32_t INET_ERROR_CONNECTION_RESET = 12031;
constexpr uint32_t INET_ERROR_INVALID_CA = 12045;
constexpr uint32_t INET_ERROR_HEADER_NOT_FOUND = 12150;
constexpr uint32_t INET_ERROR_INVALID_SERVER_RESPONSE = 12152;
constexpr uint32_t INET_ERROR_SECURE_CHANNEL = 12157;

// Buffers of HttpSendRequestExW: the headers and the announced body size.
struct TInetBuffers
{
    uint32_t dwStructSize;
    TInetBuffers *Next;
    const char16_t *lpcszHeader;
    uint32_t dwHeadersLength;
    uint32_t dwHeadersTotal;
    void *lpvBuffer;
    uint32_t dwBufferLength;
    uint32_t dwBufferTotal;
    uint32_t dwOffsetLow;
    uint32_t dwOffsetHigh;
};

extern "C" {
using TInternetGetConnectedState = int (*)(uint32_t *flags, uint32_t reserved);
using TInternetOpenW = TInetHandle (*)(const char16_t *agent, uint32_t accessType, const char16_t *proxy,
                                       const char16_t *proxyBypass, uint32_t flags);
using TInternetOpenUrlW = TInetHandle (*)(TInetHandle session, const char16_t *url, const char16_t *headers,
                                          uint32_t headersLength, uint32_t flags, uintptr_t context);
using TInternetCloseHandle = int (*)(TInetHandle handle);
using TInternetCheckConnectionW = int (*)(const char16_t *url, uint32_t flags, uint32_t reserved);
using TInternetReadFile = int (*)(TInetHandle file, void *buffer, uint32_t toRead, uint32_t *read);
using TInternetWriteFile = int (*)(TInetHandle file, const void *buffer, uint32_t toWrite, uint32_t *written);
using TInternetDial = uint32_t (*)(void *parent, const char16_t *connectoid, uint32_t flags, uintptr_t *connection,
                                   uint32_t reserved);
using THttpQueryInfoW = int (*)(TInetHandle request, uint32_t infoLevel, void *buffer, uint32_t *bufferLength,
                                uint32_t *index);
using THttpOpenRequestW = TInetHandle (*)(TInetHandle connection, const char16_t *verb, const char16_t *objectName,
                                          const char16_t *version, const char16_t *referrer,
                                          const char16_t **acceptTypes, uint32_t flags, uintptr_t context);
using THttpSendRequestW = int (*)(TInetHandle request, const char16_t *headers, uint32_t headersLength,
                                  const void *optional, uint32_t optionalLength);
using THttpSendRequestExW = int (*)(TInetHandle request, const TInetBuffers *buffersIn, TInetBuffers *buffersOut,
                                    uint32_t flags, uintptr_t context);
using THttpEndRequestW = int (*)(TInetHandle request, TInetBuffers *buffersOut, uint32_t flags, uintptr_t context);
using TInternetConnectW = TInetHandle (*)(TInetHandle session, const char16_t *serverName, uint16_t port,
                                          const char16_t *userName, const char16_t *password, uint32_t service,
                                          uint32_t flags, uintptr_t context);

// Additions of our library: the calling thread's last error, the German text
// of an error code (nullptr when unknown) and the default timeouts of sessions
// opened afterwards (setting 0 keeps a value).
using TInetGetLastError = uint32_t (*)();
using TInetErrorText = const char16_t *(*)(uint32_t code);
using TInetGetTimeouts = void (*)(uint32_t *connectMs, uint32_t *requestMs);
using TInetSetTimeouts = void (*)(uint32_t connectMs, uint32_t requestMs);

// The timeouts a session starts with: no connection within 3 s, or no answer
// within 8 s in all, ends a request.
constexpr uint32_t InetDefaultConnectTimeoutMs = 3000;
constexpr uint32_t InetDefaultRequestTimeoutMs = 8000;
}
