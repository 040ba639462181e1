#include "sandbox/net/Server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include "sandbox/engine/Session.h"

namespace sandbox::net {

namespace {

[[noreturn]] void Fail(const char* call) {
    throw std::runtime_error(std::string(call) + " failed: " + std::strerror(errno));
}

}  // namespace

Server::~Server() {
    Reap(true);
    if (FListenFd >= 0) ::close(FListenFd);
}

int Server::Listen(int port) {
    FListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (FListenFd < 0) Fail("socket");
    const int one = 1;
    // Lets a restarted sandbox take its old port while connections linger in TIME_WAIT.
    ::setsockopt(FListenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(FListenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0) Fail("bind");
    if (::listen(FListenFd, 16) < 0) Fail("listen");
    socklen_t len = sizeof addr;
    if (::getsockname(FListenFd, reinterpret_cast<sockaddr*>(&addr), &len) < 0) Fail("getsockname");
    return ntohs(addr.sin_port);
}

void Server::Reap(bool all) {
    std::lock_guard<std::mutex> guard(FLock);
    for (auto it = FConnections.begin(); it != FConnections.end();) {
        Connection& c = **it;
        if (all && !c.finished) ::shutdown(c.fd, SHUT_RDWR);  // wakes the session's blocking read
        if (all || c.finished) {
            if (c.thread.joinable()) c.thread.join();
            ::close(c.fd);
            it = FConnections.erase(it);
        } else {
            ++it;
        }
    }
}

void Server::Run(int stopFd) {
    for (;;) {
        pollfd fds[2] = {{FListenFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int r = ::poll(fds, 2, 1000);
        if (r < 0 && errno != EINTR) Fail("poll");
        if (fds[1].revents) break;
        Reap(false);
        if (r <= 0 || !(fds[0].revents & POLLIN)) continue;
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard<std::mutex> guard(FLock);
        if (FConnections.size() >= kMaxConnections) {
            std::fprintf(stderr, "kestrel-sandbox: refusing a connection: %zu connections are open\n", FConnections.size());
            ::close(fd);
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        Connection* raw = c.get();
        const int spid = FNextSpid;
        FNextSpid = FNextSpid % 32767 + 1;
        raw->thread = std::thread([this, raw, spid] {
            engine::Session session(raw->fd, FSettings, spid);
            session.Run();
            raw->finished = true;
        });
        FConnections.push_back(std::move(c));
    }
    Reap(true);
}

}  // namespace sandbox::net
