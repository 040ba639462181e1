// The 70 exported entry points, declared with the binding's own types so that
// a definition that strays from them fails to compile (Signatures.cpp checks
// each against the binding's pointer type).
#pragma once

#include "binding/Ctpublic.h"

namespace FakeOC::Exported {
using namespace Cstypes;
using Cspublic::CS_CLIENTMSG;
using Cspublic::CS_CONV_FUNC;
using Cspublic::CS_SERVERMSG;
} // namespace FakeOC::Exported


extern "C" {
using FakeOC::Exported::CS_BOOL;
using FakeOC::Exported::CS_CHAR;
using FakeOC::Exported::CS_INT;
using FakeOC::Exported::CS_RETCODE;
using FakeOC::Exported::CS_SMALLINT;
using FakeOC::Exported::CS_VOID;
using FakeOC::Exported::CS_CONTEXT;
using FakeOC::Exported::CS_CONNECTION;
using FakeOC::Exported::CS_COMMAND;
using FakeOC::Exported::CS_LOCALE;
using FakeOC::Exported::CS_DATAFMT;
using FakeOC::Exported::CS_DATEREC;
using FakeOC::Exported::CS_OBJNAME;
using FakeOC::Exported::CS_OBJDATA;
using FakeOC::Exported::CS_IODESC;
using FakeOC::Exported::CS_LOGINFO;
using FakeOC::Exported::CS_BROWSEDESC;
using FakeOC::Exported::CS_DS_OBJECT;
using FakeOC::Exported::CS_DS_LOOKUP_INFO;
using FakeOC::Exported::CS_CONV_FUNC;

// CS-Library
CS_RETCODE cs_calc(CS_CONTEXT* context, CS_INT op, CS_INT datatype, CS_VOID* var1, CS_VOID* var2, CS_VOID* dest);
CS_RETCODE cs_cmp(CS_CONTEXT* context, CS_INT datatype, CS_VOID* var1, CS_VOID* var2, CS_INT* result);
CS_RETCODE cs_convert(CS_CONTEXT* context, CS_DATAFMT* srcfmt, CS_VOID* srcdata, CS_DATAFMT* destfmt,
                      CS_VOID* destdata, CS_INT* outlen);
CS_RETCODE cs_will_convert(CS_CONTEXT* context, CS_INT srctype, CS_INT desttype, CS_BOOL* result);
CS_RETCODE cs_set_convert(CS_CONTEXT* context, CS_INT action, CS_INT srctype, CS_INT desttype, CS_VOID* buffer);
CS_RETCODE cs_setnull(CS_CONTEXT* context, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT buflen);
CS_RETCODE cs_config(CS_CONTEXT* context, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                     CS_INT* outlen);
CS_RETCODE cs_ctx_alloc(CS_INT version, CS_CONTEXT** outptr);
CS_RETCODE cs_ctx_drop(CS_CONTEXT* context);
CS_RETCODE cs_ctx_global(CS_INT version, CS_CONTEXT** outptr);
CS_RETCODE cs_objects(CS_CONTEXT* context, CS_INT action, CS_OBJNAME* objname, CS_OBJDATA* objdata);
CS_RETCODE cs_diag(CS_CONTEXT* context, CS_INT operation, CS_INT type, CS_INT idx, CS_VOID* buffer);
CS_RETCODE cs_dt_crack(CS_CONTEXT* context, CS_INT datetype, CS_VOID* dateval, CS_DATEREC* daterec);
CS_RETCODE cs_dt_info(CS_CONTEXT* context, CS_INT action, CS_LOCALE* locale, CS_INT type, CS_INT item,
                      CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
CS_RETCODE cs_locale(CS_CONTEXT* context, CS_INT action, CS_LOCALE* locale, CS_INT type, CS_VOID* buffer,
                     CS_INT buflen, CS_INT* outlen);
CS_RETCODE cs_loc_alloc(CS_CONTEXT* context, CS_LOCALE** locptr);
CS_RETCODE cs_loc_drop(CS_CONTEXT* context, CS_LOCALE* locale);
CS_RETCODE cs_strbuild(CS_CONTEXT* context, CS_CHAR* buffer, CS_INT buflen, CS_INT* outlen, CS_CHAR* text,
                       CS_INT textlen, CS_CHAR* formats, CS_INT formatlen, ...);
CS_RETCODE cs_strcmp(CS_CONTEXT* context, CS_LOCALE* locale, CS_INT type, CS_CHAR* str1, CS_INT len1, CS_CHAR* str2,
                     CS_INT len2, CS_INT* result);
CS_RETCODE cs_time(CS_CONTEXT* context, CS_LOCALE* locale, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen,
                   CS_DATEREC* daterec);
CS_RETCODE cs_manage_convert(CS_CONTEXT* context, CS_INT action, CS_INT srctype, CS_CHAR* srcname, CS_INT srcnamelen,
                             CS_INT desttype, CS_CHAR* destname, CS_INT destnamelen, CS_INT* conv_multiplier,
                             CS_CONV_FUNC* func);
CS_RETCODE cs_conv_mult(CS_CONTEXT* context, CS_LOCALE* srcloc, CS_LOCALE* destloc, CS_INT* conv_multiplier);

// CT-Library
CS_RETCODE ct_debug(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT operation, CS_INT flag, CS_CHAR* filename,
                    CS_INT fnamelen);
CS_RETCODE ct_bind(CS_COMMAND* cmd, CS_INT item, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT* copied,
                   CS_SMALLINT* indicator);
CS_RETCODE ct_br_column(CS_COMMAND* cmd, CS_INT colnum, CS_BROWSEDESC* browsedesc);
CS_RETCODE ct_br_table(CS_COMMAND* cmd, CS_INT tabnum, CS_INT type, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
CS_RETCODE ct_callback(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT action, CS_INT type, CS_VOID* func);
CS_RETCODE ct_cancel(CS_CONNECTION* connection, CS_COMMAND* cmd, CS_INT type);
CS_RETCODE ct_capability(CS_CONNECTION* connection, CS_INT action, CS_INT type, CS_INT capability, CS_VOID* value);
CS_RETCODE ct_compute_info(CS_COMMAND* cmd, CS_INT type, CS_INT colnum, CS_VOID* buffer, CS_INT buflen,
                           CS_INT* outlen);
CS_RETCODE ct_close(CS_CONNECTION* connection, CS_INT option);
CS_RETCODE ct_cmd_alloc(CS_CONNECTION* connection, CS_COMMAND** cmdptr);
CS_RETCODE ct_cmd_drop(CS_COMMAND* cmd);
CS_RETCODE ct_cmd_props(CS_COMMAND* cmd, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                        CS_INT* outlen);
CS_RETCODE ct_command(CS_COMMAND* cmd, CS_INT type, CS_CHAR* buffer, CS_INT buflen, CS_INT option);
CS_RETCODE ct_con_alloc(CS_CONTEXT* context, CS_CONNECTION** connection);
CS_RETCODE ct_con_drop(CS_CONNECTION* connection);
CS_RETCODE ct_con_props(CS_CONNECTION* connection, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                        CS_INT* outlen);
CS_RETCODE ct_connect(CS_CONNECTION* connection, CS_CHAR* server_name, CS_INT snamelen);
CS_RETCODE ct_config(CS_CONTEXT* context, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                     CS_INT* outlen);
CS_RETCODE ct_cursor(CS_COMMAND* cmd, CS_INT type, CS_CHAR* name, CS_INT namelen, CS_CHAR* text, CS_INT tlen,
                     CS_INT option);
CS_RETCODE ct_dyndesc(CS_COMMAND* cmd, CS_CHAR* descriptor, CS_INT desclen, CS_INT operation, CS_INT idx,
                      CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT buflen, CS_INT* copied, CS_SMALLINT* indicator);
CS_RETCODE ct_describe(CS_COMMAND* cmd, CS_INT item, CS_DATAFMT* datafmt);
CS_RETCODE ct_diag(CS_CONNECTION* connection, CS_INT operation, CS_INT type, CS_INT idx, CS_VOID* buffer);
CS_RETCODE ct_dynamic(CS_COMMAND* cmd, CS_INT type, CS_CHAR* id, CS_INT idlen, CS_CHAR* buffer, CS_INT buflen);
CS_RETCODE ct_exit(CS_CONTEXT* context, CS_INT option);
CS_RETCODE ct_fetch(CS_COMMAND* cmd, CS_INT type, CS_INT offset, CS_INT option, CS_INT* rows_read);
CS_RETCODE ct_getformat(CS_COMMAND* cmd, CS_INT colnum, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
CS_RETCODE ct_keydata(CS_COMMAND* cmd, CS_INT action, CS_INT colnum, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
CS_RETCODE ct_init(CS_CONTEXT* context, CS_INT version);
CS_RETCODE ct_options(CS_CONNECTION* connection, CS_INT action, CS_INT option, CS_VOID* param, CS_INT paramlen,
                      CS_INT* outlen);
CS_RETCODE ct_param(CS_COMMAND* cmd, CS_DATAFMT* datafmt, CS_VOID* data, CS_INT datalen, CS_SMALLINT indicator);
CS_RETCODE ct_getloginfo(CS_CONNECTION* connection, CS_LOGINFO** logptr);
CS_RETCODE ct_setloginfo(CS_CONNECTION* connection, CS_LOGINFO* loginfo);
CS_RETCODE ct_recvpassthru(CS_COMMAND* cmd, CS_VOID** recvptr);
CS_RETCODE ct_sendpassthru(CS_COMMAND* cmd, CS_VOID* send_bufp);
CS_RETCODE ct_poll(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT milliseconds, CS_CONNECTION** compconn,
                   CS_COMMAND** compcmd, CS_INT* compid, CS_INT* compstatus);
CS_RETCODE ct_remote_pwd(CS_CONNECTION* connection, CS_INT action, CS_CHAR* server_name, CS_INT snamelen,
                         CS_CHAR* password, CS_INT pwdlen);
CS_RETCODE ct_results(CS_COMMAND* cmd, CS_INT* result_type);
CS_RETCODE ct_res_info(CS_COMMAND* cmd, CS_INT operation, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
CS_RETCODE ct_send(CS_COMMAND* cmd);
CS_RETCODE ct_get_data(CS_COMMAND* cmd, CS_INT item, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
CS_RETCODE ct_send_data(CS_COMMAND* cmd, CS_VOID* buffer, CS_INT buflen);
CS_RETCODE ct_data_info(CS_COMMAND* cmd, CS_INT action, CS_INT colnum, CS_IODESC* iodesc);
CS_RETCODE ct_wakeup(CS_CONNECTION* connection, CS_COMMAND* cmd, CS_INT func_id, CS_RETCODE status);
CS_RETCODE ct_labels(CS_CONNECTION* connection, CS_INT action, CS_CHAR* labelname, CS_INT namelen,
                     CS_CHAR* labelvalue, CS_INT valuelen, CS_INT* outlen);
CS_RETCODE ct_ds_lookup(CS_CONNECTION* connection, CS_INT action, CS_INT* reqidp, CS_DS_LOOKUP_INFO* lookupinfo,
                        CS_VOID* userdatap);
CS_RETCODE ct_ds_dropobj(CS_CONNECTION* connection, CS_DS_OBJECT* object);
CS_RETCODE ct_ds_objinfo(CS_DS_OBJECT* objclass, CS_INT action, CS_INT objinfo, CS_INT number, CS_VOID* buffer,
                         CS_INT buflen, CS_INT* outlen);
CS_RETCODE ct_setparam(CS_COMMAND* cmd, CS_DATAFMT* datafmt, CS_VOID* data, CS_INT* datalenp, CS_SMALLINT* indp);
} // extern "C"
