// The TDS 5.0 login record a client sends first, and the capability blocks that
// follow it.
#pragma once

#include <cstdint>
#include <string>

#include "sandbox/tds/Buffer.h"

namespace sandbox::tds {

struct LoginRecord {
    std::string hostName;
    std::string userName;
    std::string password;
    std::string hostProcess;
    std::string appName;
    std::string serverName;
    std::string language;
    size_t packetSize = 512;   // as requested; 512 when absent or unreadable
    std::string capRequest;    // capability blocks, empty when not sent
    std::string capResponse;
};

// Throws ProtocolError when the payload is too short to be a login record.
LoginRecord ParseLogin(const Buffer& payload);

}  // namespace sandbox::tds
