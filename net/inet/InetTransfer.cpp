// The transfers behind the request handles, done with libcurl in one blocking
// call; the response is kept in memory and handed out by InternetReadFile.
#include "net/inet/InetErrors.h"
#include "net/inet/InetHandles.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

namespace {
// A hostile server must not be able to exhaust memory with an endless body.
constexpr size_t MaxBodyBytes = 64u * 1024u * 1024u;

// Allocated on first use and freed when the library is unloaded, so no static
// destructor runs after (or before) the unload hook that needs it.
std::unordered_set<TInetObject *> *gLiveObjects = nullptr;

std::unordered_set<TInetObject *> &LiveObjects()
{
    if (!gLiveObjects)
        gLiveObjects = new std::unordered_set<TInetObject *>;
    return *gLiveObjects;
}

void EnsureCurlInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using TCurlPtr = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using TSlistPtr = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// The collectors are called from libcurl's C code, which no exception may
// cross: one that cannot store what arrived returns 0, which aborts the
// transfer with a write error.
size_t CollectBody(char *data, size_t size, size_t count, void *target) noexcept
{
    auto *request = static_cast<TInetRequest *>(target);
    const size_t bytes = size * count;
    if (request->body.size() + bytes > MaxBodyBytes)
        return 0; // aborts the transfer
    try {
        request->body.append(data, bytes);
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return bytes;
}

// Keeps only the header block of the last response (redirects come before it).
size_t CollectHeader(char *data, size_t size, size_t count, void *target) noexcept
{
    auto *request = static_cast<TInetRequest *>(target);
    try {
        const std::string line(data, size * count);
        if (line.rfind("HTTP/", 0) == 0)
            request->rawHeaders.clear();
        request->rawHeaders += line;
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return size * count;
}

void ApplySessionSettings(CURL *curl, const TSessionSettings &settings)
{
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.requestTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    if (settings.accessType == INET_OPEN_TYPE_DIRECT) {
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
    } else if (settings.accessType == INET_OPEN_TYPE_PROXY) {
        curl_easy_setopt(curl, CURLOPT_PROXY, settings.proxy.c_str());
        curl_easy_setopt(curl, CURLOPT_NOPROXY, settings.proxyBypass.c_str());
    }
}

void ApplyRequest(CURL *curl, TInetRequest &request, const std::string *body)
{
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    if (!request.settings.agent.empty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, request.settings.agent.c_str());
    if (body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    }
    if (request.verb == "HEAD")
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    else if (request.verb != (body ? "POST" : "GET"))
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &request);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CollectHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &request);
}

curl_slist *HeaderList(const TInetRequest &request)
{
    curl_slist *list = nullptr;
    for (const std::string &line : request.headers)
        list = curl_slist_append(list, line.c_str());
    size_t start = 0;
    while (start < request.sendHeaders.size()) {
        size_t end = request.sendHeaders.find("\r\n", start);
        if (end == std::string::npos)
            end = request.sendHeaders.size();
        if (end > start)
            list = curl_slist_append(list, request.sendHeaders.substr(start, end - start).c_str());
        start = end + 2;
    }
    return list;
}
} // namespace

TInetHandle RegisterHandle(TInetObject *object)
{
    EnsureCurlInitialised();
    LiveObjects().insert(object);
    return object;
}

TInetObject *LookUpAny(TInetHandle handle)
{
    auto *object = static_cast<TInetObject *>(handle);
    if (!handle || !LiveObjects().count(object)) {
        SetInetError(INET_ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object;
}

bool ReleaseHandle(TInetHandle handle)
{
    TInetObject *object = LookUpAny(handle);
    if (!object)
        return false;
    LiveObjects().erase(object);
    delete object;
    return true;
}

uint32_t PerformRequest(TInetRequest &request, const std::string *body)
{
    TCurlPtr curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return INET_ERROR_INTERNAL;
    request.body.clear();
    request.rawHeaders.clear();
    request.readPos = 0;
    request.status = 0;
    ApplySessionSettings(curl.get(), request.settings);
    ApplyRequest(curl.get(), request, body);
    TSlistPtr headers(HeaderList(request), &curl_slist_free_all);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    const CURLcode result = curl_easy_perform(curl.get());
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &request.status);
    if (result != CURLE_OK) {
        request.body.clear();
        return InetErrorFromCurl(result);
    }
    return 0;
}

uint32_t ProbeConnection(const std::string &url, uint32_t connectTimeoutMs)
{
    EnsureCurlInitialised();
    TCurlPtr curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return INET_ERROR_INTERNAL;
    TSessionSettings settings;
    settings.connectTimeoutMs = connectTimeoutMs;
    settings.requestTimeoutMs = connectTimeoutMs;
    ApplySessionSettings(curl.get(), settings);
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
    return InetErrorFromCurl(curl_easy_perform(curl.get()));
}

// Handles the client never closed are freed when the library is unloaded.
__attribute__((destructor)) static void ReleaseLibrary()
{
    if (!gLiveObjects)
        return;
    for (TInetObject *object : *gLiveObjects)
        delete object;
    delete gLiveObjects;
    gLiveObjects = nullptr;
    curl_global_cleanup();
}
