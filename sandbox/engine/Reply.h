// Builds one reply: token writers, DONE-family bookkeeping (every DONE but the
// last carries MORE, so each DONE is held back until the next token or the end
// of the reply shows which it is), packet flushing and attention checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sandbox/net/PacketIO.h"
#include "sandbox/sql/Types.h"
#include "sandbox/tds/Buffer.h"
#include "sandbox/tds/Encode.h"

namespace sandbox::engine {

struct ServerMessage {
    int number = 0;
    int severity = 10;
    int state = 1;
    std::string text;
    std::string procedure;
    int line = 1;
};

// Thrown out of statement execution when the client sent an attention.
struct Cancelled {};

struct ColumnInfo {
    std::string name;
    sql::ColumnType type;
};

class Reply {
public:
    Reply(net::PacketIO& io, std::string serverName) : FIo(io), FServerName(std::move(serverName)) {}

    // Starts writing a token: a held-back DONE goes out first, with MORE.
    tds::Buffer& Token();
    tds::Buffer& Out() { return FOut; }

    void Done(uint8_t token, uint16_t status, int32_t count);
    void Message(const ServerMessage& m);
    void EnvChange(uint8_t type, const std::string& now, const std::string& before);
    void RowFormat(const std::vector<ColumnInfo>& columns, const tds::EncodeContext& ctx);
    void ParamFormat(const std::vector<ColumnInfo>& params, const tds::EncodeContext& ctx);
    void ReturnStatus(int32_t status);

    // Sends the packets that are full and looks for an attention.
    void Checkpoint();
    bool Cancelled() const { return FCancelled; }
    void ThrowIfCancelled();
    // Looks for an attention without sending anything; true once one came.
    bool PollCancel();
    // Sleeps up to ms, woken by an attention (then throws Cancelled).
    void Sleep(int ms);

    // Ends the reply: the held-back DONE (or a plain DONE) is the last token.
    void Finish();
    // Ends a cancelled reply with the attention acknowledgement.
    void FinishCancelled();
    // Drops what is buffered and not yet sent.
    void Abandon() { FOut.clear(); FHasPending = false; }

    size_t Mark() const { return FOut.size(); }
    void CutTo(size_t mark) { FOut.resize(mark); }

    uint16_t ExtraDoneStatus = 0;  // or-ed into every DONE (INXACT)

private:
    void FlushFull();
    void WritePending(bool more);

    net::PacketIO& FIo;
    std::string FServerName;
    tds::Buffer FOut;
    bool FHasPending = false;
    uint8_t FPendingToken = 0;
    uint16_t FPendingStatus = 0;
    int32_t FPendingCount = 0;
    bool FCancelled = false;
    int FChecks = 0;
};

}  // namespace sandbox::engine
