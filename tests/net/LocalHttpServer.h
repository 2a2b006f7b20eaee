#pragma once
// A tiny HTTP server on 127.0.0.1 for the client tests: answers every
// connection in the chosen manner, records what it received and stops by
// itself after a few seconds even if a test forgets it.
#include <QtGlobal>

#include <atomic>
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

// A port on 127.0.0.1 on which nobody listens (bound, then released).
quint16 UnusedLocalPort();
