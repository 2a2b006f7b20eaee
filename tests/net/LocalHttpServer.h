#pragma once
// A tiny HTTP server on 127.0.0.1 for the client tests: answers every
// connection in the chosen manner, records what it received and stops by
// itself after a few seconds even if a test forgets it.
#include <QtGlobal>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TLocalHttpServer
{
public:
    enum class TMode {
        Answer,      // 200 with the body
        CloseAtOnce, // reads the request, closes without a word
        Stall        // reads the request, answers nothing until stopped
    };

    explicit TLocalHttpServer(std::string body, TMode mode = TMode::Answer);
    ~TLocalHttpServer();

    quint16 port() const { return iPort; }
    std::string url(const std::string &path = "version.php") const;
    // The bytes of the last request received (head and body).
    std::string request() const;
    int connections() const { return iConnections; }
    // Ends a stall and every further service; safe from any thread.
    void stop() { iStop = true; }

    // Runs on the server's thread once a request has been read, before it is
    // answered: while a stalled client still waits.
    std::function<void()> onRequest;

private:
    void run();
    void serve(int client);
    std::string readRequest(int client);

    std::string iBody;
    TMode iMode;
    int iListen = -1;
    quint16 iPort = 0;
    std::atomic<bool> iStop{false};
    std::atomic<int> iConnections{0};
    mutable std::mutex iMutex;
    std::string iRequest;
    std::thread iThread;
};

namespace local_http_detail {
// The server gives up on its own after this, so no test can hang on it.
constexpr auto Lifetime = std::chrono::seconds(20);
constexpr int PollSliceMs = 20;

inline int BindLocal(quint16 &port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

inline bool WaitReadable(int fd, const std::atomic<bool> &stop)
{
    pollfd entry{fd, POLLIN, 0};
    while (!stop) {
        const int ready = poll(&entry, 1, PollSliceMs);
        if (ready != 0)
            return ready > 0;
    }
    return false;
}

inline size_t ContentLength(const std::string &head)
{
    const std::string key = "\r\nContent-Length:";
    const size_t at = head.find(key);
    return at == std::string::npos ? 0 : std::stoul(head.substr(at + key.size()));
}
} // namespace local_http_detail

inline TLocalHttpServer::TLocalHttpServer(std::string body, TMode mode) : iBody(std::move(body)), iMode(mode)
{
    iListen = local_http_detail::BindLocal(iPort);
    listen(iListen, 8);
    iThread = std::thread([this] { run(); });
}

inline TLocalHttpServer::~TLocalHttpServer()
{
    iStop = true;
    iThread.join();
    close(iListen);
}

inline std::string TLocalHttpServer::url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(iPort) + "/" + path;
}

inline std::string TLocalHttpServer::request() const
{
    std::lock_guard<std::mutex> lock(iMutex);
    return iRequest;
}

inline void TLocalHttpServer::run()
{
    const auto end = std::chrono::steady_clock::now() + local_http_detail::Lifetime;
    while (!iStop && std::chrono::steady_clock::now() < end) {
        pollfd entry{iListen, POLLIN, 0};
        if (poll(&entry, 1, local_http_detail::PollSliceMs) <= 0)
            continue;
        const int client = accept(iListen, nullptr, nullptr);
        if (client < 0)
            continue;
        ++iConnections;
        serve(client);
        close(client);
    }
}

inline std::string TLocalHttpServer::readRequest(int client)
{
    std::string data;
    char buffer[4096];
    size_t headEnd = std::string::npos;
    while (local_http_detail::WaitReadable(client, iStop)) {
        const ssize_t got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        data.append(buffer, static_cast<size_t>(got));
        if (headEnd == std::string::npos)
            headEnd = data.find("\r\n\r\n");
        if (headEnd == std::string::npos)
            continue;
        const size_t bodyBytes = local_http_detail::ContentLength(data.substr(0, headEnd));
        if (data.size() >= headEnd + 4 + bodyBytes)
            break;
    }
    return data;
}

inline void TLocalHttpServer::serve(int client)
{
    const std::string received = readRequest(client);
    {
        std::lock_guard<std::mutex> lock(iMutex);
        iRequest = received;
    }
    if (onRequest)
        onRequest();
    if (iMode == TMode::CloseAtOnce)
        return;
    if (iMode == TMode::Stall) {
        local_http_detail::WaitReadable(client, iStop); // until the client gives up or the test ends
        return;
    }
    const std::string answer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(iBody.size()) +
        "\r\nConnection: close\r\n\r\n" + iBody;
    send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
}

// A port on 127.0.0.1 on which nobody listens (bound, then released).
inline quint16 UnusedLocalPort()
{
    quint16 port = 0;
    close(local_http_detail::BindLocal(port));
    return port;
}
