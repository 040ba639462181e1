// One client connection from login to logout: checks the login, answers
// language commands, RPCs, option commands, attentions and the logout. A
// malformed message ends the connection with its reason on stderr; nothing a
// client sends can end the server.
#pragma once

#include <string>

#include "sandbox/engine/Executor.h"
#include "sandbox/engine/Reply.h"
#include "sandbox/engine/SessionState.h"
#include "sandbox/net/PacketIO.h"
#include "sandbox/tds/Buffer.h"

namespace sandbox::engine {

class Session {
public:
    // Does not own fd: the server closes it after Run returns.
    Session(int fd, const ServerSettings& settings, int spid);

    // Serves the connection until logout, end of file or a protocol error, then
    // shuts the socket down. Never throws.
    void Run() noexcept;

private:
    bool Login();
    void Serve();
    void HandleLanguage(tds::Reader& r);
    void HandleRpc(tds::Reader& r);
    void HandleOption(tds::Reader& r);
    void Log(const std::string& what) const;

    net::PacketIO FIo;
    Reply FReply;
    SessionState FState;
    Executor FExec;
};

}  // namespace sandbox::engine
