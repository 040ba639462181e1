// Raw TDS over a socket, for tests that must send what no real client sends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sandbox::testing {

// A connected loopback socket, closed by the destructor.
class WireClient {
public:
    explicit WireClient(int port);
    ~WireClient();
    WireClient(const WireClient&) = delete;
    WireClient& operator=(const WireClient&) = delete;

    // False when the server has closed the connection.
    bool Send(const std::vector<uint8_t>& bytes);
    // A whole packet of `type` with EOM around the payload.
    bool SendPacket(uint8_t type, const std::vector<uint8_t>& payload, bool eom = true);
    // Logs in as sa with `password`; true when the reply holds LOGINACK status 5.
    bool Login(const std::string& password = "");

    enum class Outcome { Reply, Closed, Silent };
    // Reads one reply message (up to its EOM packet) or end of file.
    Outcome ReadReply(int timeoutMs, std::vector<uint8_t>* payload = nullptr);

private:
    int FFd = -1;
};

std::vector<uint8_t> LoginRecord(const std::string& user, const std::string& password);

}  // namespace sandbox::testing
