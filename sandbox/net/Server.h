// The loopback listener: one thread per connection, a bounded number of
// connections, and an orderly stop that ends every session and joins its
// thread.
#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "sandbox/engine/SessionState.h"

namespace sandbox::net {

class Server {
public:
    static constexpr size_t kMaxConnections = 64;

    explicit Server(engine::ServerSettings settings) : FSettings(std::move(settings)) {}
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds 127.0.0.1:port (0: a free port) and returns the port; throws
    // std::runtime_error naming the failing call.
    int Listen(int port);

    // Accepts connections until stopFd becomes readable, then stops every
    // session and returns.
    void Run(int stopFd);

private:
    struct Connection {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void Reap(bool all);

    engine::ServerSettings FSettings;
    int FListenFd = -1;
    int FNextSpid = 1;
    std::mutex FLock;
    std::list<std::unique_ptr<Connection>> FConnections;
};

}  // namespace sandbox::net
