#include "EntryPoints.h"

#include "binding/Ctpublic.h"

namespace {
template <class F>
std::pair<std::string, void*> Entry(const char* name, F f) { return {name, reinterpret_cast<void*>(f)}; }
} // namespace

TEntryList CsEntryPoints() {
    using namespace Cspublic;
    return {
        Entry("cs_calc", cs_calc),
        Entry("cs_cmp", cs_cmp),
        Entry("cs_convert", cs_convert),
        Entry("cs_will_convert", cs_will_convert),
        Entry("cs_set_convert", cs_set_convert),
        Entry("cs_setnull", cs_setnull),
        Entry("cs_config", cs_config),
        Entry("cs_ctx_alloc", cs_ctx_alloc),
        Entry("cs_ctx_drop", cs_ctx_drop),
        Entry("cs_ctx_global", cs_ctx_global),
        Entry("cs_objects", cs_objects),
        Entry("cs_diag", cs_diag),
        Entry("cs_dt_crack", cs_dt_crack),
        Entry("cs_dt_info", cs_dt_info),
        Entry("cs_locale", cs_locale),
        Entry("cs_loc_alloc", cs_loc_alloc),
        Entry("cs_loc_drop", cs_loc_drop),
        Entry("cs_strbuild", cs_strbuild),
        Entry("cs_strcmp", cs_strcmp),
        Entry("cs_time", cs_time),
        Entry("cs_manage_convert", cs_manage_convert),
        Entry("cs_conv_mult", cs_conv_mult),
    };
}

TEntryList CtEntryPoints() {
    using namespace Ctpublic;
    return {
        Entry("ct_debug", ct_debug),
        Entry("ct_bind", ct_bind),
        Entry("ct_br_column", ct_br_column),
        Entry("ct_br_table", ct_br_table),
        Entry("ct_callback", ct_callback),
        Entry("ct_cancel", ct_cancel),
        Entry("ct_capability", ct_capability),
        Entry("ct_compute_info", ct_compute_info),
        Entry("ct_close", ct_close),
        Entry("ct_cmd_alloc", ct_cmd_alloc),
        Entry("ct_cmd_drop", ct_cmd_drop),
        Entry("ct_cmd_props", ct_cmd_props),
        Entry("ct_command", ct_command),
        Entry("ct_con_alloc", ct_con_alloc),
        Entry("ct_con_drop", ct_con_drop),
        Entry("ct_con_props", ct_con_props),
        Entry("ct_connect", ct_connect),
        Entry("ct_config", ct_config),
        Entry("ct_cursor", ct_cursor),
        Entry("ct_dyndesc", ct_dyndesc),
        Entry("ct_describe", ct_describe),
        Entry("ct_diag", ct_diag),
        Entry("ct_dynamic", ct_dynamic),
        Entry("ct_exit", ct_exit),
        Entry("ct_fetch", ct_fetch),
        Entry("ct_getformat", ct_getformat),
        Entry("ct_keydata", ct_keydata),
        Entry("ct_init", ct_init),
        Entry("ct_options", ct_options),
        Entry("ct_param", ct_param),
        Entry("ct_getloginfo", ct_getloginfo),
        Entry("ct_setloginfo", ct_setloginfo),
        Entry("ct_recvpassthru", ct_recvpassthru),
        Entry("ct_sendpassthru", ct_sendpassthru),
        Entry("ct_poll", ct_poll),
        Entry("ct_remote_pwd", ct_remote_pwd),
        Entry("ct_results", ct_results),
        Entry("ct_res_info", ct_res_info),
        Entry("ct_send", ct_send),
        Entry("ct_get_data", ct_get_data),
        Entry("ct_send_data", ct_send_data),
        Entry("ct_data_info", ct_data_info),
        Entry("ct_wakeup", ct_wakeup),
        Entry("ct_labels", ct_labels),
        Entry("ct_ds_lookup", ct_ds_lookup),
        Entry("ct_ds_dropobj", ct_ds_dropobj),
        Entry("ct_ds_objinfo", ct_ds_objinfo),
        Entry("ct_setparam", ct_setparam),
    };
}
