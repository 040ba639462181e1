#include "binding/Ctpublic.h"

#include "binding/LibraryLoader.h"
#include "vcl/System.h"

namespace Ctpublic {

Tct_debug ct_debug = nullptr;
Tct_bind ct_bind = nullptr;
Tct_br_column ct_br_column = nullptr;
Tct_br_table ct_br_table = nullptr;
Tct_callback ct_callback = nullptr;
Tct_cancel ct_cancel = nullptr;
Tct_capability ct_capability = nullptr;
Tct_compute_info ct_compute_info = nullptr;
Tct_close ct_close = nullptr;
Tct_cmd_alloc ct_cmd_alloc = nullptr;
Tct_cmd_drop ct_cmd_drop = nullptr;
Tct_cmd_props ct_cmd_props = nullptr;
Tct_command ct_command = nullptr;
Tct_con_alloc ct_con_alloc = nullptr;
Tct_con_drop ct_con_drop = nullptr;
Tct_con_props ct_con_props = nullptr;
Tct_connect ct_connect = nullptr;
Tct_config ct_config = nullptr;
Tct_cursor ct_cursor = nullptr;
Tct_dyndesc ct_dyndesc = nullptr;
Tct_describe ct_describe = nullptr;
Tct_diag ct_diag = nullptr;
Tct_dynamic ct_dynamic = nullptr;
Tct_exit ct_exit = nullptr;
Tct_fetch ct_fetch = nullptr;
Tct_getformat ct_getformat = nullptr;
Tct_keydata ct_keydata = nullptr;
Tct_init ct_init = nullptr;
Tct_options ct_options = nullptr;
Tct_param ct_param = nullptr;
Tct_getloginfo ct_getloginfo = nullptr;
Tct_setloginfo ct_setloginfo = nullptr;
Tct_recvpassthru ct_recvpassthru = nullptr;
Tct_sendpassthru ct_sendpassthru = nullptr;
Tct_poll ct_poll = nullptr;
Tct_remote_pwd ct_remote_pwd = nullptr;
Tct_results ct_results = nullptr;
Tct_res_info ct_res_info = nullptr;
Tct_send ct_send = nullptr;
Tct_get_data ct_get_data = nullptr;
Tct_send_data ct_send_data = nullptr;
Tct_data_info ct_data_info = nullptr;
Tct_wakeup ct_wakeup = nullptr;
Tct_labels ct_labels = nullptr;
Tct_ds_lookup ct_ds_lookup = nullptr;
Tct_ds_dropobj ct_ds_dropobj = nullptr;
Tct_ds_objinfo ct_ds_objinfo = nullptr;
Tct_setparam ct_setparam = nullptr;

bool ctDLLLoaded = false;

const char* const CTLibraryFileNames[2] = {"libsybct64.so", "libkestrel_freetds_ct.so"};

namespace {

constexpr const char* UnitName = "CTPUBLIC";

bool Started = false;
vcl::Platform::HMODULE Library = 0;
vcl::TExitProc SaveExit = nullptr;

// Put the previous action back first, so the chain goes on to the CS-Library.
void CtExitProc() {
    vcl::ExitProc = SaveExit;
    vcl::Platform::FreeLibrary(Library);
}

} // namespace

void Initialization() {
    if (Started || ctDLLLoaded) return;
    Started = true; // a failed load stays failed: nothing retries

    Library = BindingLoader::LoadFirst(CTLibraryFileNames, 2);
    if (Library == 0) {
        ctDLLLoaded = false;
        return;
    }
    ctDLLLoaded = true;
    SaveExit = vcl::ExitProc;
    vcl::ExitProc = CtExitProc;

    using BindingLoader::Resolve;
    Resolve(Library, ct_debug, "ct_debug", 1, UnitName);
    Resolve(Library, ct_bind, "ct_bind", 2, UnitName);
    Resolve(Library, ct_br_column, "ct_br_column", 3, UnitName);
    Resolve(Library, ct_br_table, "ct_br_table", 4, UnitName);
    Resolve(Library, ct_callback, "ct_callback", 5, UnitName);
    Resolve(Library, ct_cancel, "ct_cancel", 6, UnitName);
    Resolve(Library, ct_capability, "ct_capability", 7, UnitName);
    Resolve(Library, ct_compute_info, "ct_compute_info", 8, UnitName);
    Resolve(Library, ct_close, "ct_close", 9, UnitName);
    Resolve(Library, ct_cmd_alloc, "ct_cmd_alloc", 10, UnitName);
    Resolve(Library, ct_cmd_drop, "ct_cmd_drop", 11, UnitName);
    Resolve(Library, ct_cmd_props, "ct_cmd_props", 12, UnitName);
    Resolve(Library, ct_command, "ct_command", 13, UnitName);
    Resolve(Library, ct_con_alloc, "ct_con_alloc", 14, UnitName);
    Resolve(Library, ct_con_drop, "ct_con_drop", 15, UnitName);
    Resolve(Library, ct_con_props, "ct_con_props", 16, UnitName);
    Resolve(Library, ct_connect, "ct_connect", 17, UnitName);
    Resolve(Library, ct_config, "ct_config", 18, UnitName);
    Resolve(Library, ct_cursor, "ct_cursor", 19, UnitName);
    Resolve(Library, ct_dyndesc, "ct_dyndesc", 20, UnitName);
    Resolve(Library, ct_describe, "ct_describe", 21, UnitName);
    Resolve(Library, ct_diag, "ct_diag", 22, UnitName);
    Resolve(Library, ct_dynamic, "ct_dynamic", 23, UnitName);
    Resolve(Library, ct_exit, "ct_exit", 24, UnitName);
    Resolve(Library, ct_fetch, "ct_fetch", 25, UnitName);
    Resolve(Library, ct_getformat, "ct_getformat", 26, UnitName);
    Resolve(Library, ct_keydata, "ct_keydata", 27, UnitName);
    Resolve(Library, ct_init, "ct_init", 28, UnitName);
    Resolve(Library, ct_options, "ct_options", 29, UnitName);
    Resolve(Library, ct_param, "ct_param", 30, UnitName);
    Resolve(Library, ct_getloginfo, "ct_getloginfo", 31, UnitName);
    Resolve(Library, ct_setloginfo, "ct_setloginfo", 32, UnitName);
    Resolve(Library, ct_recvpassthru, "ct_recvpassthru", 33, UnitName);
    Resolve(Library, ct_sendpassthru, "ct_sendpassthru", 34, UnitName);
    Resolve(Library, ct_poll, "ct_poll", 35, UnitName);
    Resolve(Library, ct_remote_pwd, "ct_remote_pwd", 36, UnitName);
    Resolve(Library, ct_results, "ct_results", 37, UnitName);
    Resolve(Library, ct_res_info, "ct_res_info", 38, UnitName);
    Resolve(Library, ct_send, "ct_send", 39, UnitName);
    Resolve(Library, ct_get_data, "ct_get_data", 40, UnitName);
    Resolve(Library, ct_send_data, "ct_send_data", 41, UnitName);
    Resolve(Library, ct_data_info, "ct_data_info", 42, UnitName);
    Resolve(Library, ct_wakeup, "ct_wakeup", 43, UnitName);
    Resolve(Library, ct_labels, "ct_labels", 44, UnitName);
    Resolve(Library, ct_ds_lookup, "ct_ds_lookup", 45, UnitName);
    Resolve(Library, ct_ds_dropobj, "ct_ds_dropobj", 46, UnitName);
    Resolve(Library, ct_ds_objinfo, "ct_ds_objinfo", 47, UnitName);
    Resolve(Library, ct_setparam, "ct_setparam", 48, UnitName);
}

void Finalization() {}

} // namespace Ctpublic
