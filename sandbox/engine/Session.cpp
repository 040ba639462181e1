#include "sandbox/engine/Session.h"

#include <cstdio>
#include <sys/socket.h>

#include "sandbox/engine/Messages.h"
#include "sandbox/tds/Decode.h"
#include "sandbox/tds/Login.h"
#include "sandbox/tds/Wire.h"

namespace sandbox::engine {

using namespace sandbox::tds;

namespace {

constexpr int kLoginTimeoutMs = 30000;
constexpr size_t kMaxPacketSize = 16384;
const char* const kProgramName = "kestrel-sandbox";

// Capabilities the sandbox does not take from the client: bulk copy, cursors,
// dynamic SQL, wide tables, and parameter types outside the classic set.
void ClearUnsupported(std::string& request) {
    static const int kBits[] = {5, 6, 7, 33, 34, 35, 36, 37, 38, 48, 59, 61, 62, 63, 64, 71, 72, 93, 94};
    const size_t len = request.size();
    for (int n : kBits) {
        const size_t byte = static_cast<size_t>(n / 8);
        if (byte >= len) continue;
        request[len - 1 - byte] = static_cast<char>(request[len - 1 - byte] & ~(1 << (n % 8)));
    }
}

}  // namespace

Session::Session(int fd, const ServerSettings& settings, int spid) : FIo(fd), FReply(FIo, settings.serverName), FExec(FState, FReply) {
    FState.settings = &settings;
    FState.spid = spid;
}

void Session::Log(const std::string& what) const {
    std::fprintf(stderr, "kestrel-sandbox: spid %d: %s\n", FState.spid, what.c_str());
    std::fflush(stderr);
}

void Session::Run() noexcept {
    try {
        if (Login()) Serve();
    } catch (const ProtocolError& e) {
        Log(std::string("closing the connection: malformed request: ") + e.what());
    } catch (const net::ConnectionClosed&) {
        // The client left: nothing to report.
    } catch (const std::exception& e) {
        Log(std::string("closing the connection: ") + e.what());
    } catch (...) {
        Log("closing the connection: unexpected failure");
    }
    ::shutdown(FIo.Fd(), SHUT_RDWR);
}

bool Session::Login() {
    net::Message m = FIo.ReadMessage(kLoginTimeoutMs);
    if (m.type != kPacketLogin) {
        // A TDS 7 prelogin, a Kerberos attempt's logout, or garbage.
        Log("closing the connection: the first message is not a TDS 5.0 login");
        return false;
    }
    const LoginRecord rec = ParseLogin(m.payload);
    FState.info.userName = rec.userName;
    FState.info.hostName = rec.hostName;
    bool ok = rec.userName == "sa" && rec.password == FState.settings->password;
    if (ok) {
        try {
            FExec.UseDatabase(FState.settings->defaultDatabase);
        } catch (const SqlError& e) {
            Log("login refused: the default database cannot be opened: " + e.Text);
            ok = false;
        }
    }
    auto loginAck = [&](uint8_t status) {
        Buffer& b = FReply.Token();
        PutU8(b, kTokLoginAck);
        const std::string name = kProgramName;
        PutU16(b, static_cast<uint16_t>(10 + name.size()));
        PutU8(b, status);
        PutBytes(b, "\x05\x00\x00\x00", 4);
        PutU8(b, static_cast<uint8_t>(name.size()));
        PutBytes(b, name);
        PutBytes(b, "\x0f\x00\x00\x00", 4);  // 15.0.0.0: FreeTDS quotes names with brackets
    };
    if (!ok) {
        Log("login failed for user '" + rec.userName + "'");
        FReply.Message(ServerMessage{4002, 14, 1, "Login failed.", "", 0});
        loginAck(6);
        FReply.Finish();
        return false;  // the socket is shut down right away: FreeTDS's logout then gets end of file
    }
    const std::string db = FState.settings->defaultDatabase;
    FReply.EnvChange(1, db, "");
    FReply.Message(ServerMessage{5701, 10, 2, ChangedDatabase(db), "", 0});
    FReply.EnvChange(2, "us_english", "");
    FReply.Message(ServerMessage{5703, 10, 1, "Changed language setting to 'us_english'.", "", 0});
    loginAck(5);
    size_t packetSize = rec.packetSize < 512 ? 512 : (rec.packetSize > kMaxPacketSize ? kMaxPacketSize : rec.packetSize);
    if (packetSize != 512) FReply.EnvChange(4, std::to_string(packetSize), "512");
    if (!rec.capRequest.empty() || !rec.capResponse.empty()) {
        std::string request = rec.capRequest;
        ClearUnsupported(request);
        Buffer& b = FReply.Token();
        PutU8(b, kTokCapability);
        PutU16(b, static_cast<uint16_t>(4 + request.size() + rec.capResponse.size()));
        PutU8(b, 1);
        PutName8(b, request);
        PutU8(b, 2);
        PutName8(b, rec.capResponse);
    }
    FReply.Done(kTokDone, 0, 0);
    FReply.Finish();
    FIo.SetPacketSize(packetSize);
    return true;
}

void Session::Serve() {
    for (;;) {
        net::Message m = FIo.ReadMessage();
        if (m.type == kPacketAttention) {
            // The reply it meant to stop was already complete.
            FReply.FinishCancelled();
            continue;
        }
        if (m.type != kPacketNormal) throw ProtocolError("a second login on a logged-in connection");
        Reader r(m.payload);
        const uint8_t token = r.U8();
        try {
            switch (token) {
                case kTokLanguage: HandleLanguage(r); break;
                case kTokDbRpc: HandleRpc(r); break;
                case kTokOptionCmd: HandleOption(r); break;
                case kTokLogout:
                    FReply.Finish();
                    return;
                default: {
                    char buf[96];
                    std::snprintf(buf, sizeof buf, "The sandbox does not support requests of token 0x%02X.", token);
                    FReply.Message(ServerMessage{16001, 16, 1, buf, "", 0});
                    FReply.Done(kTokDone, kDoneError, 0);
                    break;
                }
            }
            FReply.Finish();
        } catch (const Cancelled&) {
            FReply.FinishCancelled();
        }
    }
}

void Session::HandleLanguage(Reader& r) {
    const uint32_t len = r.U32();
    if (len < 1 || len - 1 > r.Remaining()) throw ProtocolError("language token length " + std::to_string(len));
    const uint8_t status = r.U8();
    const std::string text = r.Bytes(len - 1);
    Variables vars;
    if (status & 1) {
        int k = 0;
        for (ClientParam& p : ReadParams(r)) {
            ++k;
            const std::string name = p.name.empty() ? "@P" + std::to_string(k) : p.name;
            vars[name] = Variable{std::move(p.value), std::nullopt};
        }
    }
    FExec.RunBatch(text, std::move(vars));
}

void Session::HandleRpc(Reader& r) {
    const uint16_t len = r.U16();
    r.Need(len);
    const uint8_t n = r.U8();
    if (n + 3u > len) throw ProtocolError("RPC name longer than its token");
    std::string name = r.Bytes(n);
    const uint16_t options = r.U16();
    std::vector<CallArg> args;
    if ((options & 2) || !r.AtEnd()) {
        for (ClientParam& p : ReadParams(r)) {
            CallArg a;
            a.name = p.name;
            a.value = std::move(p.value);
            a.output = p.output;
            args.push_back(std::move(a));
        }
    }
    // "db..proc" and "dbo.proc" name the procedure by its last part.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name = name.substr(dot + 1);
    FExec.RunRpc(name, std::move(args));
}

void Session::HandleOption(Reader& r) {
    const uint16_t len = r.U16();
    if (len < 3) throw ProtocolError("option command of length " + std::to_string(len));
    const uint8_t command = r.U8();
    const uint8_t option = r.U8();
    const uint8_t argLen = r.U8();
    const std::string arg = r.Bytes(argLen);
    auto argValue = [&]() -> int64_t {
        int64_t v = 0;
        for (size_t k = 0; k < arg.size() && k < 4; ++k) v |= static_cast<int64_t>(static_cast<uint8_t>(arg[k])) << (8 * k);
        return v;
    };
    auto refuse = [&](const std::string& text) {
        FReply.Message(ServerMessage{16002, 16, 1, text, "", 0});
        FReply.Done(kTokDone, kDoneError, 0);
    };
    if (command == kOptList) {
        Buffer& b = FReply.Token();
        PutU8(b, kTokOptionCmd);
        auto reply1 = [&](uint8_t v) {
            PutU16(b, 4);
            PutU8(b, kOptInfo);
            PutU8(b, option);
            PutU8(b, 1);
            PutU8(b, v);
        };
        switch (option) {
            case kOptDateFormat: reply1(static_cast<uint8_t>(FState.dateOrder)); break;
            case kOptDateFirst: reply1(static_cast<uint8_t>(FState.dateFirst)); break;
            case kOptIsolation: reply1(1); break;
            case kOptTextSize:
                PutU16(b, 7);
                PutU8(b, kOptInfo);
                PutU8(b, option);
                PutU8(b, 4);
                PutU32(b, FState.textSize);
                break;
            case 21: reply1(FState.noCount ? 1 : 0); break;           // NOCOUNT
            case 35: reply1(FState.quotedIdentifier ? 1 : 0); break;  // QUOTED_IDENT
            default: reply1(0); break;
        }
        FReply.Done(kTokDone, 0, 0);
        return;
    }
    if (command != kOptSet && command != kOptDefault) {
        refuse("Unknown option command " + std::to_string(command) + ".");
        return;
    }
    const bool reset = command == kOptDefault;
    switch (option) {
        case kOptDateFormat: {
            const int64_t v = reset ? 1 : argValue();
            if (v < 1 || v > 6) return refuse("Date format " + std::to_string(v) + " is not valid.");
            FState.dateOrder = static_cast<sql::DateOrder>(v);
            break;
        }
        case kOptDateFirst: {
            const int64_t v = reset ? 7 : argValue();
            if (v < 1 || v > 7) return refuse("DATEFIRST " + std::to_string(v) + " is out of range.");
            FState.dateFirst = static_cast<int>(v);
            break;
        }
        case kOptTextSize: {
            const int64_t v = reset ? 0 : argValue();
            FState.textSize = v <= 0 ? kDefaultTextSize : static_cast<uint32_t>(v);
            break;
        }
        case 21: FState.noCount = !reset && argValue() != 0; break;
        case 35: FState.quotedIdentifier = !reset && argValue() != 0; break;
        default: break;  // accepted, no effect here
    }
    FReply.Done(kTokDone, 0, 0);
}

}  // namespace sandbox::engine
