#include "binding/Ctpublic.h"
#include "components/SybConnect.h"

namespace SybConnect {

using namespace Cstypes;

namespace {

[[noreturn]] void RoutineFailed(const char* routine) {
    throw vcl::Exception(vcl::Format("CT-Lib routine %s failed", {routine}));
}

template <typename Names>
std::string JoinNames(const Names& names) {
    std::string out;
    for (const auto& n : names) {
        if (!out.empty()) out += ", ";
        out += n;
    }
    return out;
}

template <typename Names>
[[noreturn]] void NotLoaded(const char* library, const Names& names) {
    throw vcl::Exception(vcl::Format("The Open Client %s is not loaded (tried %s)", {library, JoinNames(names)}));
}

[[noreturn]] void MissingEntry(const char* name) {
    throw vcl::Exception(vcl::Format("The Open Client entry point %s is not bound", {name}));
}

// Without this check a missing library would be called through null pointers.
void CheckClientLibraries() {
    if (!Cspublic::csDLLLoaded) NotLoaded("CS-Library", Cspublic::CSLibraryFileNames);
    if (!Ctpublic::ctDLLLoaded) NotLoaded("CT-Library", Ctpublic::CTLibraryFileNames);
#define KESTREL_NEED(unit, fn) \
    if (!unit::fn) MissingEntry(#fn)
    KESTREL_NEED(Cspublic, cs_ctx_alloc);
    KESTREL_NEED(Cspublic, cs_ctx_drop);
    KESTREL_NEED(Ctpublic, ct_init);
    KESTREL_NEED(Ctpublic, ct_exit);
    KESTREL_NEED(Ctpublic, ct_con_alloc);
    KESTREL_NEED(Ctpublic, ct_con_drop);
    KESTREL_NEED(Ctpublic, ct_diag);
    KESTREL_NEED(Ctpublic, ct_con_props);
    KESTREL_NEED(Ctpublic, ct_config);
    KESTREL_NEED(Ctpublic, ct_connect);
    KESTREL_NEED(Ctpublic, ct_options);
    KESTREL_NEED(Ctpublic, ct_close);
#undef KESTREL_NEED
}

} // namespace

void TSybConnect::SetTextProperty(CS_INT property, const std::string& value) {
    std::string text = value; // the library takes a non-const buffer
    CSCHECK(Ctpublic::ct_con_props(FConnection, CS_SET, property, text.data(), CS_NULLTERM, nullptr));
}

void TSybConnect::Connect() {
    if (FConnected) return;
    FDateFormat = 1;
    CheckClientLibraries();
    // A connection the library broke leaves its context behind.
    ReleaseConnection();
    ReleaseContext();

    try {
        if (Cspublic::cs_ctx_alloc(CS_VERSION_100, &FContext) != CS_SUCCEED)
            RoutineFailed("cs_ctx_alloc(CS_VERSION_110, FContext)");
        if (Ctpublic::ct_init(FContext, CS_VERSION_100) != CS_SUCCEED)
            RoutineFailed("ct_init(FContext, CS_VERSION_110)");
        if (Ctpublic::ct_con_alloc(FContext, &FConnection) != CS_SUCCEED) {
            FConnection = nullptr; // nothing of a failed allocation is ours to drop
            RoutineFailed("ct_con_alloc(FContext, FConnection)");
        }
        if (Ctpublic::ct_diag(FConnection, CS_INIT, CS_UNUSED, CS_UNUSED, nullptr) != CS_SUCCEED)
            RoutineFailed("ct_diag(FConnection, CS_INIT,CS_UNUSED,CS_UNUSED,nil)");

        CS_INT diagTimeout = CS_TRUE;
        CSCHECK(Ctpublic::ct_con_props(FConnection, CS_SET, CS_DIAG_TIMEOUT, &diagTimeout, CS_UNUSED, nullptr));
        SetTextProperty(CS_USERNAME, FUserName);
        SetTextProperty(CS_PASSWORD, FPassword);
        SetTextProperty(CS_APPNAME, FApplicationName);
        if (vcl::Trim(FHostName).empty()) FHostName = GetDefaultHostName();
        SetTextProperty(CS_HOSTNAME, FHostName);

        CS_INT loginTimeout = FLoginTimeout;
        CSCHECK(Ctpublic::ct_config(FContext, CS_SET, CS_LOGIN_TIMEOUT, &loginTimeout, CS_UNUSED, nullptr));
        CS_INT commandTimeout = FSecondTimeout;
        CSCHECK(Ctpublic::ct_config(FContext, CS_SET, CS_TIMEOUT, &commandTimeout, CS_UNUSED, nullptr));

        std::string server = FServerName;
        if (Ctpublic::ct_connect(FConnection, server.data(), CS_NULLTERM) != CS_SUCCEED) {
            CheckMessages();
            throw vcl::Exception("Connect failed");
        }
        FLoginOpen = true;

        CS_INT outLength = 0;
        Ctpublic::ct_options(FConnection, CS_GET, CS_OPT_DATEFORMAT, &FDateFormat, CS_UNUSED, &outLength);
        CheckMessages();
    } catch (...) {
        // Nothing of a failed login outlives it: the next Connect starts afresh.
        ReleaseConnection();
        ReleaseContext();
        throw;
    }

    FConnected = true;
    ChangeDatabase();
    if (FOnConnect) FOnConnect(this);
}

void TSybConnect::Disconnect() {
    if (!FConnected) return;
    try {
        ReleaseConnection();
        // Connected still reads true here and the context is still there.
        if (FOnDisconnect) FOnDisconnect(this);
    } catch (...) {
        ReleaseContext();
        FConnected = false;
        throw;
    }
    ReleaseContext();
    FConnected = false;
}

void TSybConnect::Reconnect() {
    Disconnect();
    Connect();
}

void TSybConnect::ReleaseConnection() {
    if (!FConnection) return;
    if (FLoginOpen) {
        if (Ctpublic::ct_close(FConnection, CS_UNUSED) != CS_SUCCEED) Ctpublic::ct_close(FConnection, CS_FORCE_CLOSE);
        FLoginOpen = false;
    }
    Ctpublic::ct_con_drop(FConnection);
    FConnection = nullptr;
}

bool TSybConnect::ReleaseIfDead() {
    if (!FConnected || !FConnection || !Ctpublic::ct_con_props) return false;
    CS_INT status = 0;
    if (Ctpublic::ct_con_props(FConnection, CS_GET, CS_CON_STATUS, &status, CS_UNUSED, nullptr) != CS_SUCCEED)
        return false;
    if (!(status & CS_CONSTAT_DEAD)) return false;
    ReleaseConnection();
    FConnected = false;
    return true;
}

void TSybConnect::ReleaseContext() {
    if (!FContext) return;
    Ctpublic::ct_exit(FContext, CS_FORCE_EXIT);
    Cspublic::cs_ctx_drop(FContext);
    FContext = nullptr;
}

} // namespace SybConnect
