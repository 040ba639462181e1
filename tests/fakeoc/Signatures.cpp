// Each exported entry point has exactly the type of the binding's pointer, and
// the codes the engine uses are the binding's.
#include "tests/fakeoc/Exports.h"
#include "tests/fakeoc/Internal.h"

#include <type_traits>

#define FAKEOC_SAME(ns, name) static_assert(std::is_same_v<decltype(&::name), ns::T##name>, #name);

FAKEOC_SAME(Cspublic, cs_calc)
FAKEOC_SAME(Cspublic, cs_cmp)
FAKEOC_SAME(Cspublic, cs_convert)
FAKEOC_SAME(Cspublic, cs_will_convert)
FAKEOC_SAME(Cspublic, cs_set_convert)
FAKEOC_SAME(Cspublic, cs_setnull)
FAKEOC_SAME(Cspublic, cs_config)
FAKEOC_SAME(Cspublic, cs_ctx_alloc)
FAKEOC_SAME(Cspublic, cs_ctx_drop)
FAKEOC_SAME(Cspublic, cs_ctx_global)
FAKEOC_SAME(Cspublic, cs_objects)
FAKEOC_SAME(Cspublic, cs_diag)
FAKEOC_SAME(Cspublic, cs_dt_crack)
FAKEOC_SAME(Cspublic, cs_dt_info)
FAKEOC_SAME(Cspublic, cs_locale)
FAKEOC_SAME(Cspublic, cs_loc_alloc)
FAKEOC_SAME(Cspublic, cs_loc_drop)
FAKEOC_SAME(Cspublic, cs_strbuild)
FAKEOC_SAME(Cspublic, cs_strcmp)
FAKEOC_SAME(Cspublic, cs_time)
FAKEOC_SAME(Cspublic, cs_manage_convert)
FAKEOC_SAME(Cspublic, cs_conv_mult)
FAKEOC_SAME(Ctpublic, ct_debug)
FAKEOC_SAME(Ctpublic, ct_bind)
FAKEOC_SAME(Ctpublic, ct_br_column)
FAKEOC_SAME(Ctpublic, ct_br_table)
FAKEOC_SAME(Ctpublic, ct_callback)
FAKEOC_SAME(Ctpublic, ct_cancel)
FAKEOC_SAME(Ctpublic, ct_capability)
FAKEOC_SAME(Ctpublic, ct_compute_info)
FAKEOC_SAME(Ctpublic, ct_close)
FAKEOC_SAME(Ctpublic, ct_cmd_alloc)
FAKEOC_SAME(Ctpublic, ct_cmd_drop)
FAKEOC_SAME(Ctpublic, ct_cmd_props)
FAKEOC_SAME(Ctpublic, ct_command)
FAKEOC_SAME(Ctpublic, ct_con_alloc)
FAKEOC_SAME(Ctpublic, ct_con_drop)
FAKEOC_SAME(Ctpublic, ct_con_props)
FAKEOC_SAME(Ctpublic, ct_connect)
FAKEOC_SAME(Ctpublic, ct_config)
FAKEOC_SAME(Ctpublic, ct_cursor)
FAKEOC_SAME(Ctpublic, ct_dyndesc)
FAKEOC_SAME(Ctpublic, ct_describe)
FAKEOC_SAME(Ctpublic, ct_diag)
FAKEOC_SAME(Ctpublic, ct_dynamic)
FAKEOC_SAME(Ctpublic, ct_exit)
FAKEOC_SAME(Ctpublic, ct_fetch)
FAKEOC_SAME(Ctpublic, ct_getformat)
FAKEOC_SAME(Ctpublic, ct_keydata)
FAKEOC_SAME(Ctpublic, ct_init)
FAKEOC_SAME(Ctpublic, ct_options)
FAKEOC_SAME(Ctpublic, ct_param)
FAKEOC_SAME(Ctpublic, ct_getloginfo)
FAKEOC_SAME(Ctpublic, ct_setloginfo)
FAKEOC_SAME(Ctpublic, ct_recvpassthru)
FAKEOC_SAME(Ctpublic, ct_sendpassthru)
FAKEOC_SAME(Ctpublic, ct_poll)
FAKEOC_SAME(Ctpublic, ct_remote_pwd)
FAKEOC_SAME(Ctpublic, ct_results)
FAKEOC_SAME(Ctpublic, ct_res_info)
FAKEOC_SAME(Ctpublic, ct_send)
FAKEOC_SAME(Ctpublic, ct_get_data)
FAKEOC_SAME(Ctpublic, ct_send_data)
FAKEOC_SAME(Ctpublic, ct_data_info)
FAKEOC_SAME(Ctpublic, ct_wakeup)
FAKEOC_SAME(Ctpublic, ct_labels)
FAKEOC_SAME(Ctpublic, ct_ds_lookup)
FAKEOC_SAME(Ctpublic, ct_ds_dropobj)
FAKEOC_SAME(Ctpublic, ct_ds_objinfo)
FAKEOC_SAME(Ctpublic, ct_setparam)

namespace FakeOC::Detail::Code {
namespace B = Cstypes;
static_assert(Succeed == B::CS_SUCCEED && Fail == B::CS_FAIL && RowFail == B::CS_ROW_FAIL);
static_assert(EndData == B::CS_END_DATA && EndResults == B::CS_END_RESULTS && EndItem == B::CS_END_ITEM);
static_assert(NoMsg == B::CS_NOMSG && NullTerm == B::CS_NULLTERM && Unused == B::CS_UNUSED);
static_assert(Get == B::CS_GET && Set == B::CS_SET && Clear == B::CS_CLEAR && Init == B::CS_INIT);
static_assert(Status == B::CS_STATUS && MsgLimit == B::CS_MSGLIMIT);
static_assert(RowResult == B::CS_ROW_RESULT && CursorResult == B::CS_CURSOR_RESULT);
static_assert(ParamResult == B::CS_PARAM_RESULT && StatusResult == B::CS_STATUS_RESULT);
static_assert(ComputeResult == B::CS_COMPUTE_RESULT && CmdDone == B::CS_CMD_DONE);
static_assert(CmdSucceed == B::CS_CMD_SUCCEED && CmdFail == B::CS_CMD_FAIL);
static_assert(Char == B::CS_CHAR_TYPE && Binary == B::CS_BINARY_TYPE && LongChar == B::CS_LONGCHAR_TYPE);
static_assert(LongBinary == B::CS_LONGBINARY_TYPE && Text == B::CS_TEXT_TYPE && Image == B::CS_IMAGE_TYPE);
static_assert(TinyInt == B::CS_TINYINT_TYPE && SmallInt == B::CS_SMALLINT_TYPE && Int == B::CS_INT_TYPE);
static_assert(Real == B::CS_REAL_TYPE && Float == B::CS_FLOAT_TYPE && Bit == B::CS_BIT_TYPE);
static_assert(DateTime == B::CS_DATETIME_TYPE && DateTime4 == B::CS_DATETIME4_TYPE);
static_assert(Money == B::CS_MONEY_TYPE && Money4 == B::CS_MONEY4_TYPE && Numeric == B::CS_NUMERIC_TYPE);
static_assert(Decimal == B::CS_DECIMAL_TYPE && VarChar == B::CS_VARCHAR_TYPE && VarBinary == B::CS_VARBINARY_TYPE);
static_assert(Long == B::CS_LONG_TYPE && UShort == B::CS_USHORT_TYPE && Date == B::CS_DATE_TYPE);
static_assert(Time == B::CS_TIME_TYPE && BigInt == B::CS_BIGINT_TYPE && USmallInt == B::CS_USMALLINT_TYPE);
static_assert(UInt == B::CS_UINT_TYPE && UBigInt == B::CS_UBIGINT_TYPE);
static_assert(FmtUnused == B::CS_FMT_UNUSED && FmtNullTerm == B::CS_FMT_NULLTERM);
static_assert(FmtPadNull == B::CS_FMT_PADNULL && FmtPadBlank == B::CS_FMT_PADBLANK);
static_assert(NumericSize == sizeof(B::CS_NUMERIC));
static_assert(sizeof(B::CS_DATETIME) == 8 && sizeof(B::CS_DATETIME4) == 4 && sizeof(B::CS_MONEY) == 8);
} // namespace FakeOC::Detail::Code
