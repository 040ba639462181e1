// The connection unit: TSybConnect (login and logout through the CT-Library),
// the diagnostics read from a connection's message queue, and the registry of
// live connections that queries search by name.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "binding/Cspublic.h"
#include "binding/Cstypes.h"
#include "vcl/Classes.h"
#include "vcl/SyncObjs.h"
#include "vcl/SysUtils.h"

namespace SybConnect {

using Cstypes::CS_CONNECTION;
using Cstypes::CS_CONTEXT;
using Cstypes::CS_INT;
using Cstypes::CS_RETCODE;

// The query component; it finds its connection by name and runs its commands on it.
class TSybQuery;

// ---------------------------------------------------------------------------
// Diagnostics

// One diagnostic as a handler sees it. Message objects live only while they are
// dispatched: a handler must not keep a reference.
class TSybMessage : public vcl::TObject {
public:
    CS_INT GetMsgNumber() const { return FMsgNumber; }
    CS_INT GetSeverity() const { return FSeverity; }
    const std::string& GetText() const { return FText; }
    // The text that is raised when the message counts as an error.
    virtual std::string GetMsgText() const = 0;

protected:
    TSybMessage(CS_INT msgNumber, CS_INT severity, std::string text);

private:
    CS_INT FMsgNumber;
    CS_INT FSeverity;
    std::string FText;
};

// A message of the server. Built from the record ct_diag filled (null: number 0,
// severity 0, empty text); the text is the first textlen bytes, never more than
// the record holds. Severity 11 and up is an error, 10 and below information.
class TSybServerMessage : public TSybMessage {
public:
    explicit TSybServerMessage(const Cspublic::CS_SERVERMSG* record);
    // "Message %d,Level %d: %s "
    std::string GetMsgText() const override;
};

// A message of the client library, never offered to a handler. Any severity
// but 0 means the library gave up on the connection.
class TSybClientMessage : public TSybMessage {
public:
    explicit TSybClientMessage(const Cspublic::CS_CLIENTMSG* record);
    // "Client library error %d, severity %d, number %d, origin %d, layer %d %s "
    std::string GetMsgText() const override;
};

// A handler for server messages. For errors, setting Handled to true keeps the
// message out of the raised text; for information Handled is ignored.
using TSybMessageProc = std::function<void(const TSybMessage& Msg, bool& Handled)>;

// Raised by the query side for argument errors.
class ESybQueryError : public vcl::Exception {
public:
    using vcl::Exception::Exception;
};

// Part of the public interface for applications; nothing here raises it.
class ESybServerError : public vcl::Exception {
public:
    using vcl::Exception::Exception;
};

// ---------------------------------------------------------------------------
// The connection component

// A login to one server. While connected it owns one CS-Library context and one
// CT-Library connection and releases both on Disconnect; it is entered in the
// registry under its DatabaseName from construction to destruction.
//
// What can go wrong:
// - Connect raises vcl::Exception: "CT-Lib routine %s failed" when allocating the
//   context or connection fails; the joined diagnostic texts (CheckMessages);
//   "Connect failed" when the login fails without a message; a clear text naming
//   the library when the CS-Library or CT-Library could not be loaded at start.
//   A failed Connect releases whatever it allocated (context, connection, an open
//   library connection), so retries leak nothing.
// - Construction raises when the registry does not exist (the unit has not
//   started) or the default name "Connection<n>" is taken; nothing is left behind.
// - A client-library error seen by CheckMessages drops the connection and leaves
//   Connected false without firing OnDisconnect; the context is kept until the
//   next Connect or destruction releases it.
//
// Login timeouts: CS_LOGIN_TIMEOUT is LoginTimeout, and the context's command
// timeout (CS_TIMEOUT) is set right after it to CS_NO_LIMIT, so statements wait
// as long as the server takes (for FreeTDS: its own configuration applies).
// Under the inline diagnostics used here FreeTDS does not end a call when a
// timeout expires: it queues client message 20003 and keeps waiting.
//
// Thread use: the component's operations take no lock and belong to one thread
// at a time; queries hold GetLock() for each execution.
class TSybConnect : public vcl::TComponent {
public:
    explicit TSybConnect(vcl::TComponent* AOwner);
    ~TSybConnect() override;

    void Connect();
    void Disconnect();
    void Open() { Connect(); }
    void Close() { Disconnect(); }
    void Reconnect();
    // Runs "use <Database>" when Database is not blank.
    void ChangeDatabase();
    // The host's name, else the machine's name, else empty.
    static std::string GetDefaultHostName();

    // Reads and empties the connection's message queue, offering server messages
    // to the handlers; raises the joined texts of unhandled errors.
    void CheckMessages();
    // CheckMessages when a library call did not succeed.
    void CSCHECK(CS_RETCODE rc);

    // Published properties.
    bool GetConnected() const { return FConnected; }
    void SetConnected(bool Value);
    const std::string& GetServerName() const { return FServerName; }
    void SetServerName(const std::string& Value);
    const std::string& GetDatabase() const { return FDatabase; }
    void SetDatabase(const std::string& Value);
    const std::string& GetUserName() const { return FUserName; }
    void SetUserName(const std::string& Value);
    const std::string& GetApplicationName() const { return FApplicationName; }
    void SetApplicationName(const std::string& Value);
    const std::string& GetHostName() const { return FHostName; }
    // Ignored: the host name is found by the first Connect.
    void SetHostName(const std::string& Value);
    // The name queries look the connection up by. Raises
    // "Connection named "%s" already exists" when another (or this) connection's
    // name has the same key.
    const std::string& GetDatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const std::string& Value);
    CS_INT GetLoginTimeout() const { return FLoginTimeout; }
    // Takes effect at the next Connect.
    void SetLoginTimeout(CS_INT Value) { FLoginTimeout = Value; }
    const TSybMessageProc& GetOnServerError() const { return FOnServerError; }
    void SetOnServerError(TSybMessageProc Value) { FOnServerError = std::move(Value); }
    const TSybMessageProc& GetOnServerMessage() const { return FOnServerMessage; }
    void SetOnServerMessage(TSybMessageProc Value) { FOnServerMessage = std::move(Value); }
    const vcl::TNotifyEvent& GetOnConnect() const { return FOnConnect; }
    void SetOnConnect(vcl::TNotifyEvent Value) { FOnConnect = std::move(Value); }
    const vcl::TNotifyEvent& GetOnDisconnect() const { return FOnDisconnect; }
    void SetOnDisconnect(vcl::TNotifyEvent Value) { FOnDisconnect = std::move(Value); }

    // Public, never stored.
    const std::string& GetPassword() const { return FPassword; }
    void SetPassword(const std::string& Value);

    // State the query side uses.
    CS_CONTEXT* GetContext() const { return FContext; }
    // Null whenever the connection is released.
    CS_CONNECTION* GetConnection() const { return FConnection; }
    vcl::TCriticalSection& GetLock() { return *FLock; }
    // Asks the client library whether the login is still alive. A connection the
    // library reports dead (the server went away without a word) is released as
    // a client-library error would release it; returns true then.
    bool ReleaseIfDead();
    TSybQuery* GetActiveQuery() const { return FActiveQuery; }
    void SetActiveQuery(TSybQuery* Value) { FActiveQuery = Value; }
    // The server's date order (1..6), read at each login; 0 before the first.
    CS_INT GetDateFormat() const { return FDateFormat; }
    // The design-time password dialog while it is shown; not owned.
    vcl::TObject* GetOptionsForm() const { return FOptionsForm; }
    void SetOptionsForm(vcl::TObject* Value) { FOptionsForm = Value; }

protected:
    // The active query's own handlers; an empty function leaves the
    // connection's handler in place. The query side supplies them.
    virtual TSybMessageProc ActiveQueryOnServerMessage() const;
    virtual TSybMessageProc ActiveQueryOnServerError() const;

private:
    // "use <Database>" through a temporary query named after this connection.
    void ExecUseStatement(const std::string& sql);
    void SetTextProperty(CS_INT property, const std::string& value);
    // Closes (if the login is open) and drops the library connection.
    void ReleaseConnection();
    // Exits and drops the context.
    void ReleaseContext();
    void RegisterConnection();
    void UnregisterConnection();

    std::unique_ptr<vcl::TCriticalSection> FLock;
    CS_CONTEXT* FContext = nullptr;
    CS_CONNECTION* FConnection = nullptr;
    // The library connection is logged in (ct_connect succeeded, not yet closed).
    bool FLoginOpen = false;
    TSybQuery* FActiveQuery = nullptr;
    CS_INT FDateFormat = 0;
    vcl::TObject* FOptionsForm = nullptr;
    CS_INT FSecondTimeout = Cstypes::CS_NO_LIMIT;

    bool FConnected = false;
    std::string FServerName;
    std::string FDatabase;
    std::string FUserName;
    std::string FApplicationName;
    std::string FHostName;
    std::string FDatabaseName;
    std::string FPassword;
    CS_INT FLoginTimeout = 60;
    TSybMessageProc FOnServerError;
    TSybMessageProc FOnServerMessage;
    vcl::TNotifyEvent FOnConnect;
    vcl::TNotifyEvent FOnDisconnect;
};

// ---------------------------------------------------------------------------
// The registry

// Every live connection in construction order, not owned. Exists between the
// unit's start and its end; null otherwise.
extern vcl::TThreadList* CTLibConnections;

// The key names are compared by: trimmed of blanks and control characters,
// ASCII letters upper-cased.
std::string NameKey(const std::string& name);

// The first live connection whose DatabaseName has the key of name, or null.
TSybConnect* FindConnection(const std::string& name);
// The same, and the found connection's ActiveQuery becomes asking.
TSybConnect* FindConnectionByName(const std::string& name, TSybQuery* asking);

// Unit start (creates the registry, once) and end (destroys it).
void Initialization();
void Finalization();

} // namespace SybConnect

#if __has_include("components/SybConnect/Query.h")
#include "components/SybConnect/Query.h"
#endif
