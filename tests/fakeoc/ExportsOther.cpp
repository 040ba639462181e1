// CT-Library calls the components never make: each checks the handles it is
// given, is logged, and succeeds unless scripted, leaving its outputs untouched.
#include "tests/fakeoc/Exports.h"
#include "tests/fakeoc/Internal.h"

using namespace FakeOC::Detail;
namespace B = Cstypes;

namespace {

// Handles that may be null; a non-null one must be live.
bool OptionalOk(CallScope& c, const void* context, const void* connection, const void* command = nullptr) {
    if (context && !c.Ctx(context)) return false;
    if (connection && !c.Con(connection)) return false;
    if (command && !c.Cmd(command)) return false;
    return true;
}

Connection* Target(const void* connection, const void* command) {
    auto it = S().ByPointer.find(command ? command : connection);
    if (it == S().ByPointer.end()) return nullptr;
    if (it->second->K == Kind::Command) return static_cast<Command*>(it->second)->Con;
    if (it->second->K == Kind::Connection) return static_cast<Connection*>(it->second);
    return nullptr;
}

CS_RETCODE OnCon(CallScope& c, const void* connection) {
    if (!c.Con(connection)) return c.Done(B::CS_FAIL);
    return c.Done(c.Scripted().value_or(B::CS_SUCCEED), Target(connection, nullptr));
}

CS_RETCODE OnCmd(CallScope& c, const void* command) {
    if (!c.Cmd(command)) return c.Done(B::CS_FAIL);
    return c.Done(c.Scripted().value_or(B::CS_SUCCEED), Target(nullptr, command));
}

CS_RETCODE Optional(CallScope& c, const void* context, const void* connection, const void* command = nullptr) {
    if (!OptionalOk(c, context, connection, command)) return c.Done(B::CS_FAIL);
    return c.Done(c.Scripted().value_or(B::CS_SUCCEED), Target(connection, command));
}

} // namespace

extern "C" {

CS_RETCODE ct_debug(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT operation, CS_INT flag, CS_CHAR* filename,
                    CS_INT fnamelen) {
    CallScope c(Fn::ct_debug);
    c.Handle(context); c.Handle(connection); c.Int(operation); c.Int(flag); c.Str(filename, fnamelen);
    return Optional(c, context, connection);
}

CS_RETCODE ct_br_column(CS_COMMAND* cmd, CS_INT colnum, CS_BROWSEDESC* browsedesc) {
    CallScope c(Fn::ct_br_column);
    c.Handle(cmd); c.Int(colnum); c.Ptr(browsedesc);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_br_table(CS_COMMAND* cmd, CS_INT tabnum, CS_INT type, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::ct_br_table);
    c.Handle(cmd); c.Int(tabnum); c.Int(type); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_callback(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT action, CS_INT type, CS_VOID* func) {
    CallScope c(Fn::ct_callback);
    c.Handle(context); c.Handle(connection); c.Int(action); c.Int(type); c.Ptr(func);
    return Optional(c, context, connection);
}

CS_RETCODE ct_capability(CS_CONNECTION* connection, CS_INT action, CS_INT type, CS_INT capability, CS_VOID* value) {
    CallScope c(Fn::ct_capability);
    c.Handle(connection); c.Int(action); c.Int(type); c.Int(capability); c.Ptr(value);
    return OnCon(c, connection);
}

CS_RETCODE ct_compute_info(CS_COMMAND* cmd, CS_INT type, CS_INT colnum, CS_VOID* buffer, CS_INT buflen,
                           CS_INT* outlen) {
    CallScope c(Fn::ct_compute_info);
    c.Handle(cmd); c.Int(type); c.Int(colnum); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_cmd_props(CS_COMMAND* cmd, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                        CS_INT* outlen) {
    CallScope c(Fn::ct_cmd_props);
    c.Handle(cmd); c.Int(action); c.Int(property); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_cursor(CS_COMMAND* cmd, CS_INT type, CS_CHAR* name, CS_INT namelen, CS_CHAR* text, CS_INT tlen,
                     CS_INT option) {
    CallScope c(Fn::ct_cursor);
    c.Handle(cmd); c.Int(type); c.Str(name, namelen); c.Str(text, tlen); c.Int(option);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_dyndesc(CS_COMMAND* cmd, CS_CHAR* descriptor, CS_INT desclen, CS_INT operation, CS_INT idx,
                      CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT buflen, CS_INT* copied, CS_SMALLINT* indicator) {
    CallScope c(Fn::ct_dyndesc);
    c.Handle(cmd); c.Str(descriptor, desclen); c.Int(operation); c.Int(idx); c.Ptr(datafmt); c.Ptr(buffer);
    c.Int(buflen); c.Ptr(copied); c.Ptr(indicator);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_dynamic(CS_COMMAND* cmd, CS_INT type, CS_CHAR* id, CS_INT idlen, CS_CHAR* buffer, CS_INT buflen) {
    CallScope c(Fn::ct_dynamic);
    c.Handle(cmd); c.Int(type); c.Str(id, idlen); c.Str(buffer, buflen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_getformat(CS_COMMAND* cmd, CS_INT colnum, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::ct_getformat);
    c.Handle(cmd); c.Int(colnum); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_keydata(CS_COMMAND* cmd, CS_INT action, CS_INT colnum, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::ct_keydata);
    c.Handle(cmd); c.Int(action); c.Int(colnum); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_param(CS_COMMAND* cmd, CS_DATAFMT* datafmt, CS_VOID* data, CS_INT datalen, CS_SMALLINT indicator) {
    CallScope c(Fn::ct_param);
    c.Handle(cmd); c.Ptr(datafmt); c.Ptr(data); c.Int(datalen); c.Int(indicator);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_getloginfo(CS_CONNECTION* connection, CS_LOGINFO** logptr) {
    CallScope c(Fn::ct_getloginfo);
    c.Handle(connection); c.Ptr(logptr);
    return OnCon(c, connection);
}

CS_RETCODE ct_setloginfo(CS_CONNECTION* connection, CS_LOGINFO* loginfo) {
    CallScope c(Fn::ct_setloginfo);
    c.Handle(connection); c.Ptr(loginfo);
    return OnCon(c, connection);
}

CS_RETCODE ct_recvpassthru(CS_COMMAND* cmd, CS_VOID** recvptr) {
    CallScope c(Fn::ct_recvpassthru);
    c.Handle(cmd); c.Ptr(recvptr);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_sendpassthru(CS_COMMAND* cmd, CS_VOID* send_bufp) {
    CallScope c(Fn::ct_sendpassthru);
    c.Handle(cmd); c.Ptr(send_bufp);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_poll(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT milliseconds, CS_CONNECTION** compconn,
                   CS_COMMAND** compcmd, CS_INT* compid, CS_INT* compstatus) {
    CallScope c(Fn::ct_poll);
    c.Handle(context); c.Handle(connection); c.Int(milliseconds); c.Ptr(compconn); c.Ptr(compcmd); c.Ptr(compid);
    c.Ptr(compstatus);
    return Optional(c, context, connection);
}

CS_RETCODE ct_remote_pwd(CS_CONNECTION* connection, CS_INT action, CS_CHAR* server_name, CS_INT snamelen,
                         CS_CHAR* password, CS_INT pwdlen) {
    CallScope c(Fn::ct_remote_pwd);
    c.Handle(connection); c.Int(action); c.Str(server_name, snamelen); c.Str(password, pwdlen);
    return OnCon(c, connection);
}

CS_RETCODE ct_send_data(CS_COMMAND* cmd, CS_VOID* buffer, CS_INT buflen) {
    CallScope c(Fn::ct_send_data);
    c.Handle(cmd); c.Ptr(buffer); c.Int(buflen);
    return OnCmd(c, cmd);
}

CS_RETCODE ct_wakeup(CS_CONNECTION* connection, CS_COMMAND* cmd, CS_INT func_id, CS_RETCODE status) {
    CallScope c(Fn::ct_wakeup);
    c.Handle(connection); c.Handle(cmd); c.Int(func_id); c.Int(status);
    return Optional(c, nullptr, connection, cmd);
}

CS_RETCODE ct_labels(CS_CONNECTION* connection, CS_INT action, CS_CHAR* labelname, CS_INT namelen,
                     CS_CHAR* labelvalue, CS_INT valuelen, CS_INT* outlen) {
    CallScope c(Fn::ct_labels);
    c.Handle(connection); c.Int(action); c.Str(labelname, namelen); c.Ptr(labelvalue); c.Int(valuelen); c.Ptr(outlen);
    return OnCon(c, connection);
}

CS_RETCODE ct_ds_lookup(CS_CONNECTION* connection, CS_INT action, CS_INT* reqidp, CS_DS_LOOKUP_INFO* lookupinfo,
                        CS_VOID* userdatap) {
    CallScope c(Fn::ct_ds_lookup);
    c.Handle(connection); c.Int(action); c.Ptr(reqidp); c.Ptr(lookupinfo); c.Ptr(userdatap);
    return OnCon(c, connection);
}

CS_RETCODE ct_ds_dropobj(CS_CONNECTION* connection, CS_DS_OBJECT* object) {
    CallScope c(Fn::ct_ds_dropobj);
    c.Handle(connection); c.Ptr(object);
    return OnCon(c, connection);
}

CS_RETCODE ct_ds_objinfo(CS_DS_OBJECT* objclass, CS_INT action, CS_INT objinfo, CS_INT number, CS_VOID* buffer,
                         CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::ct_ds_objinfo);
    c.Ptr(objclass); c.Int(action); c.Int(objinfo); c.Int(number); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return c.Done(c.Scripted().value_or(B::CS_SUCCEED));
}

CS_RETCODE ct_setparam(CS_COMMAND* cmd, CS_DATAFMT* datafmt, CS_VOID* data, CS_INT* datalenp, CS_SMALLINT* indp) {
    CallScope c(Fn::ct_setparam);
    c.Handle(cmd); c.Ptr(datafmt); c.Ptr(data); c.Ptr(datalenp); c.Ptr(indp);
    return OnCmd(c, cmd);
}

} // extern "C"
