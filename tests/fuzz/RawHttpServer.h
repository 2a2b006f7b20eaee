#pragma once
// A server on 127.0.0.1 that answers every connection with the same given
// bytes, whatever they are, and then closes it: the far end for feeding
// arbitrary HTTP answers to the client. It lives for the whole process.
#include "tests/net/LocalHttpServer.h"

#include <string>

class TRawHttpServer
{
public:
    TRawHttpServer()
    {
        iListen = local_http_detail::BindLocal(iPort);
        listen(iListen, 8);
        iThread = std::thread([this] { run(); });
    }
    ~TRawHttpServer()
    {
        iStop = true;
        iThread.join();
        close(iListen);
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(iPort) + "/version.php"; }
    void setAnswer(std::string answer)
    {
        std::lock_guard<std::mutex> lock(iMutex);
        iAnswer = std::move(answer);
    }

private:
    void run()
    {
        while (!iStop) {
            if (!local_http_detail::WaitReadable(iListen, iStop))
                continue;
            const int client = accept(iListen, nullptr, nullptr);
            if (client < 0)
                continue;
            skipRequestHead(client);
            const std::string answer = currentAnswer();
            send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            close(client);
        }
    }

    // The client's requests carry no body: the head is all there is to read.
    void skipRequestHead(int client)
    {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos && local_http_detail::WaitReadable(client, iStop)) {
            const ssize_t got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            head.append(buffer, static_cast<size_t>(got));
        }
    }

    std::string currentAnswer() const
    {
        std::lock_guard<std::mutex> lock(iMutex);
        return iAnswer;
    }

    int iListen = -1;
    quint16 iPort = 0;
    std::atomic<bool> iStop{false};
    mutable std::mutex iMutex;
    std::string iAnswer;
    std::thread iThread;
};
