#pragma once
// The objects behind the library's handles. Each child copies what it needs
// from its parent when opened, so closing handles in any order is safe.
#include "net/inet/InetApi.h"

#include <string>
#include <vector>

struct TSessionSettings
{
    std::string agent;
    uint32_t accessType = INET_OPEN_TYPE_PRECONFIG;
    std::string proxy;
    std::string proxyBypass;
    uint32_t connectTimeoutMs = 0;
    uint32_t requestTimeoutMs = 0;
};

struct TInetObject
{
    virtual ~TInetObject() = default;
};

struct TInetSession final : TInetObject
{
    TSessionSettings settings;
};

struct TInetConnection final : TInetObject
{
    TSessionSettings settings;
    std::string host;
    uint16_t port = 0;
};

enum class TRequestState { Opened, Sending, Done };

struct TInetRequest final : TInetObject
{
    TSessionSettings settings;
    std::string url;
    std::string verb;
    bool http10 = false;
    std::vector<std::string> headers; // complete header lines of every send
    TRequestState state = TRequestState::Opened;
    std::string upload;      // body collected between HttpSendRequestExW and HttpEndRequestW
    std::string sendHeaders; // extra header lines of the pending send
    long status = 0;
    std::string rawHeaders; // header block of the final response
    std::string body;
    size_t readPos = 0;
};

// Registers a new object and returns its handle.
TInetHandle RegisterHandle(TInetObject *object);
// The live object of a handle of type T, or nullptr with the last error set.
template <typename T> T *LookUp(TInetHandle handle);
TInetObject *LookUpAny(TInetHandle handle);
// Forgets and deletes the object; false when the handle is not live.
bool ReleaseHandle(TInetHandle handle);

void SetInetError(uint32_t code);

template <typename T> T *LookUp(TInetHandle handle)
{
    TInetObject *object = LookUpAny(handle);
    if (!object)
        return nullptr;
    auto *typed = dynamic_cast<T *>(object);
    if (!typed)
        SetInetError(INET_ERROR_INCORRECT_HANDLE_TYPE);
    return typed;
}

// Runs the request's transfer with the given body (none for nullptr); returns
// 0 or the error code. The response replaces the request's previous one.
uint32_t PerformRequest(TInetRequest &request, const std::string *body);
// Tries to open a connection to the URL's server; returns 0 or the error code.
uint32_t ProbeConnection(const std::string &url, uint32_t connectTimeoutMs);
