#include "components/SybConnect.h"

namespace SybConnect {

namespace {
// Runs before anything of the connection is built.
vcl::TComponent* RequireRegistry(vcl::TComponent* owner) {
    vcl::Assert(CTLibConnections != nullptr, "CTLibConnections not defined", "SybConnect", __LINE__);
    return owner;
}
} // namespace

TSybConnect::TSybConnect(vcl::TComponent* AOwner) : vcl::TComponent(RequireRegistry(AOwner)) {
    FLock = std::make_unique<vcl::TCriticalSection>();
    RegisterConnection();
}

TSybConnect::~TSybConnect() {
    try {
        SetConnected(false);
    } catch (...) {
        // A destructor cannot pass the handler's exception on; Disconnect has
        // released everything before it let the exception go.
    }
    // What a connection the library broke left behind.
    ReleaseConnection();
    ReleaseContext();
    UnregisterConnection();
    FLock.reset();
}

void TSybConnect::SetConnected(bool Value) {
    if (Value == FConnected) return;
    if (Value)
        Connect();
    else
        Disconnect();
}

void TSybConnect::SetServerName(const std::string& Value) {
    if (Value == FServerName) return;
    FServerName = Value;
    if (FConnected) Reconnect();
}

void TSybConnect::SetUserName(const std::string& Value) {
    if (Value == FUserName) return;
    FUserName = Value;
    if (FConnected) Reconnect();
}

void TSybConnect::SetApplicationName(const std::string& Value) {
    if (Value == FApplicationName) return;
    FApplicationName = Value;
    if (FConnected) Reconnect();
}

void TSybConnect::SetPassword(const std::string& Value) {
    if (Value == FPassword) return;
    FPassword = Value;
    if (FConnected) Reconnect();
}

void TSybConnect::SetDatabase(const std::string& Value) {
    if (Value == FDatabase) return;
    FDatabase = Value;
    if (FConnected) ChangeDatabase();
}

void TSybConnect::SetHostName(const std::string&) {}

} // namespace SybConnect
