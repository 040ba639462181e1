// Ctpublic: the CT-Library binding. At unit start it loads the CT-Library by file
// name and copies the address of each of its 48 entry points into the variable of
// that name; connections, commands, results and diagnostics all go through them.
//
// Owns the library handle from a successful load until its exit action runs on
// the vcl exit chain (before the CS-Library's, which was registered earlier).
#pragma once

#include "binding/Cspublic.h"

namespace Ctpublic {

using namespace Cspublic;

// ---- Entry-point types: the C signatures of the CT-Library -----------------------

using Tct_debug = CS_RETCODE (*)(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT operation, CS_INT flag,
                                 CS_CHAR* filename, CS_INT fnamelen);
using Tct_bind = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT item, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT* copied,
                                CS_SMALLINT* indicator);
using Tct_br_column = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT colnum, CS_BROWSEDESC* browsedesc);
using Tct_br_table = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT tabnum, CS_INT type, CS_VOID* buffer, CS_INT buflen,
                                    CS_INT* outlen);
using Tct_callback = CS_RETCODE (*)(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT action, CS_INT type,
                                    CS_VOID* func);
using Tct_cancel = CS_RETCODE (*)(CS_CONNECTION* connection, CS_COMMAND* cmd, CS_INT type);
using Tct_capability = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT action, CS_INT type, CS_INT capability,
                                      CS_VOID* value);
using Tct_compute_info = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT type, CS_INT colnum, CS_VOID* buffer, CS_INT buflen,
                                        CS_INT* outlen);
using Tct_close = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT option);
using Tct_cmd_alloc = CS_RETCODE (*)(CS_CONNECTION* connection, CS_COMMAND** cmdptr);
using Tct_cmd_drop = CS_RETCODE (*)(CS_COMMAND* cmd);
using Tct_cmd_props = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                                     CS_INT* outlen);
using Tct_command = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT type, CS_CHAR* buffer, CS_INT buflen, CS_INT option);
using Tct_con_alloc = CS_RETCODE (*)(CS_CONTEXT* context, CS_CONNECTION** connection);
using Tct_con_drop = CS_RETCODE (*)(CS_CONNECTION* connection);
using Tct_con_props = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT action, CS_INT property, CS_VOID* buffer,
                                     CS_INT buflen, CS_INT* outlen);
using Tct_connect = CS_RETCODE (*)(CS_CONNECTION* connection, CS_CHAR* server_name, CS_INT snamelen);
using Tct_config = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                                  CS_INT* outlen);
using Tct_cursor = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT type, CS_CHAR* name, CS_INT namelen, CS_CHAR* text,
                                  CS_INT tlen, CS_INT option);
using Tct_dyndesc = CS_RETCODE (*)(CS_COMMAND* cmd, CS_CHAR* descriptor, CS_INT desclen, CS_INT operation,
                                   CS_INT idx, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT buflen, CS_INT* copied,
                                   CS_SMALLINT* indicator);
using Tct_describe = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT item, CS_DATAFMT* datafmt);
using Tct_diag = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT operation, CS_INT type, CS_INT idx,
                                CS_VOID* buffer);
using Tct_dynamic = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT type, CS_CHAR* id, CS_INT idlen, CS_CHAR* buffer,
                                   CS_INT buflen);
using Tct_exit = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT option);
using Tct_fetch = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT type, CS_INT offset, CS_INT option, CS_INT* rows_read);
using Tct_getformat = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT colnum, CS_VOID* buffer, CS_INT buflen,
                                     CS_INT* outlen);
using Tct_keydata = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT action, CS_INT colnum, CS_VOID* buffer, CS_INT buflen,
                                   CS_INT* outlen);
using Tct_init = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT version);
using Tct_options = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT action, CS_INT option, CS_VOID* param,
                                   CS_INT paramlen, CS_INT* outlen);
using Tct_param = CS_RETCODE (*)(CS_COMMAND* cmd, CS_DATAFMT* datafmt, CS_VOID* data, CS_INT datalen,
                                 CS_SMALLINT indicator);
using Tct_getloginfo = CS_RETCODE (*)(CS_CONNECTION* connection, CS_LOGINFO** logptr);
using Tct_setloginfo = CS_RETCODE (*)(CS_CONNECTION* connection, CS_LOGINFO* loginfo);
using Tct_recvpassthru = CS_RETCODE (*)(CS_COMMAND* cmd, CS_VOID** recvptr);
using Tct_sendpassthru = CS_RETCODE (*)(CS_COMMAND* cmd, CS_VOID* send_bufp);
using Tct_poll = CS_RETCODE (*)(CS_CONTEXT* context, CS_CONNECTION* connection, CS_INT milliseconds,
                                CS_CONNECTION** compconn, CS_COMMAND** compcmd, CS_INT* compid, CS_INT* compstatus);
using Tct_remote_pwd = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT action, CS_CHAR* server_name,
                                      CS_INT snamelen, CS_CHAR* password, CS_INT pwdlen);
using Tct_results = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT* result_type);
using Tct_res_info = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT operation, CS_VOID* buffer, CS_INT buflen,
                                    CS_INT* outlen);
using Tct_send = CS_RETCODE (*)(CS_COMMAND* cmd);
using Tct_get_data = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT item, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
using Tct_send_data = CS_RETCODE (*)(CS_COMMAND* cmd, CS_VOID* buffer, CS_INT buflen);
using Tct_data_info = CS_RETCODE (*)(CS_COMMAND* cmd, CS_INT action, CS_INT colnum, CS_IODESC* iodesc);
using Tct_wakeup = CS_RETCODE (*)(CS_CONNECTION* connection, CS_COMMAND* cmd, CS_INT func_id, CS_RETCODE status);
using Tct_labels = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT action, CS_CHAR* labelname, CS_INT namelen,
                                  CS_CHAR* labelvalue, CS_INT valuelen, CS_INT* outlen);
using Tct_ds_lookup = CS_RETCODE (*)(CS_CONNECTION* connection, CS_INT action, CS_INT* reqidp,
                                     CS_DS_LOOKUP_INFO* lookupinfo, CS_VOID* userdatap);
using Tct_ds_dropobj = CS_RETCODE (*)(CS_CONNECTION* connection, CS_DS_OBJECT* object);
using Tct_ds_objinfo = CS_RETCODE (*)(CS_DS_OBJECT* objclass, CS_INT action, CS_INT objinfo, CS_INT number,
                                      CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
using Tct_setparam = CS_RETCODE (*)(CS_COMMAND* cmd, CS_DATAFMT* datafmt, CS_VOID* data, CS_INT* datalenp,
                                    CS_SMALLINT* indp);

// ---- Entry-point variables (null until the library is loaded) ---------------------

extern Tct_debug ct_debug;
extern Tct_bind ct_bind;
extern Tct_br_column ct_br_column;
extern Tct_br_table ct_br_table;
extern Tct_callback ct_callback;
extern Tct_cancel ct_cancel;
extern Tct_capability ct_capability;
extern Tct_compute_info ct_compute_info;
extern Tct_close ct_close;
extern Tct_cmd_alloc ct_cmd_alloc;
extern Tct_cmd_drop ct_cmd_drop;
extern Tct_cmd_props ct_cmd_props;
extern Tct_command ct_command;
extern Tct_con_alloc ct_con_alloc;
extern Tct_con_drop ct_con_drop;
extern Tct_con_props ct_con_props;
extern Tct_connect ct_connect;
extern Tct_config ct_config;
extern Tct_cursor ct_cursor;
extern Tct_dyndesc ct_dyndesc;
extern Tct_describe ct_describe;
extern Tct_diag ct_diag;
extern Tct_dynamic ct_dynamic;
extern Tct_exit ct_exit;
extern Tct_fetch ct_fetch;
extern Tct_getformat ct_getformat;
extern Tct_keydata ct_keydata;
extern Tct_init ct_init;
extern Tct_options ct_options;
extern Tct_param ct_param;
extern Tct_getloginfo ct_getloginfo;
extern Tct_setloginfo ct_setloginfo;
extern Tct_recvpassthru ct_recvpassthru;
extern Tct_sendpassthru ct_sendpassthru;
extern Tct_poll ct_poll;
extern Tct_remote_pwd ct_remote_pwd;
extern Tct_results ct_results;
extern Tct_res_info ct_res_info;
extern Tct_send ct_send;
extern Tct_get_data ct_get_data;
extern Tct_send_data ct_send_data;
extern Tct_data_info ct_data_info;
extern Tct_wakeup ct_wakeup;
extern Tct_labels ct_labels;
extern Tct_ds_lookup ct_ds_lookup;
extern Tct_ds_dropobj ct_ds_dropobj;
extern Tct_ds_objinfo ct_ds_objinfo;
extern Tct_setparam ct_setparam;

// True once the CT-Library file was loaded; never reset.
extern bool ctDLLLoaded;

// File names tried in order: SAP Open Client's 64-bit library, then Kestrel's
// adapter, which completes FreeTDS's CT-Library with the calls it lacks.
extern const char* const CTLibraryFileNames[2];

// Unit start: loads and resolves the library once per process. A missing file is
// silent (flag false, variables null); a missing entry point raises
// vcl::EAssertionFailed naming unit "CTPUBLIC" and the entry point.
void Initialization();
// Unit end: nothing; the library is released by the exit action registered at load.
void Finalization();

} // namespace Ctpublic
