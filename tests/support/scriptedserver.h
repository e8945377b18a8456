#pragma once

#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <thread>

// A loopback server that takes one client and runs `script` on its socket, on a thread of its
// own: a serial device server that behaves as the test says.
struct ScriptedServer {
    explicit ScriptedServer(std::function<void(int client)> script)
    {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener, 4);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
        port = ntohs(a.sin_port);
        thread = std::thread([this, script = std::move(script)] {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client >= 0) {
                script(client);
                ::close(client);
            }
        });
    }
    ~ScriptedServer()
    {
        ::shutdown(listener, SHUT_RDWR); // wakes an accept nobody came to
        thread.join();
        ::close(listener);
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int listener = -1;
    quint16 port = 0;
    std::thread thread;
};
