// Cspublic: the CS-Library binding. At unit start it loads the CS-Library by file
// name and copies the address of each of its 22 entry points into the variable of
// that name; everything in Kestrel calls the CS-Library through these variables.
// Also the diagnostic records, the capability mask and its helpers.
//
// Owns the library handle from a successful load until its exit action runs on
// the vcl exit chain. The flag and the variables keep their values after that.
#pragma once

#include "binding/Cstypes.h"

namespace Cspublic {

using namespace Cstypes;

// ---- Diagnostic records ----------------------------------------------------------

// A message from the server (ct_diag with CS_SERVERMSG_TYPE).
struct CS_SERVERMSG {
    CS_MSGNUM msgnumber;
    CS_INT state;
    CS_INT severity;
    CS_CHAR text[CS_MAX_MSG];
    CS_INT textlen;
    CS_CHAR svrname[CS_MAX_NAME];
    CS_INT svrnlen;
    CS_CHAR proc[CS_MAX_NAME];
    CS_INT proclen;
    CS_INT line;
    CS_INT status;
    CS_BYTE sqlstate[CS_SQLSTATE_SIZE];
    CS_INT sqlstatelen;
};

// A message from the client library (ct_diag with CS_CLIENTMSG_TYPE).
struct CS_CLIENTMSG {
    CS_INT severity;
    CS_MSGNUM msgnumber;
    CS_CHAR msgstring[CS_MAX_MSG];
    CS_INT msgstringlen;
    CS_INT osnumber;
    CS_CHAR osstring[CS_MAX_MSG];
    CS_INT osstringlen;
    CS_INT status;
    CS_BYTE sqlstate[CS_SQLSTATE_SIZE];
    CS_INT sqlstatelen;
};

// ---- Capability mask ------------------------------------------------------------

constexpr CS_INT CS_CAP_ARRAYLEN = 16;
constexpr CS_INT CS_BITS_PER_BYTE = 8;

// 128 capability bits; bit B lives in byte 15 - B / 8 at position B % 8.
struct CS_CAP_TYPE {
    CS_BYTE mask[CS_CAP_ARRAYLEN];
};

constexpr CS_INT CS_CAP_IDX(CS_INT bit) {
    return (CS_CAP_ARRAYLEN - 1) - bit / CS_BITS_PER_BYTE;
}

// Bit numbers outside 0..127 would address bytes outside the mask: they set and
// clear nothing, and test as 0.
constexpr bool CS_CAP_VALID(CS_INT bit) { return bit >= 0 && bit < CS_CAP_ARRAYLEN * CS_BITS_PER_BYTE; }

constexpr void CS_SET_CAPMASK(CS_CAP_TYPE& mask, CS_INT bit) {
    if (CS_CAP_VALID(bit))
        mask.mask[CS_CAP_IDX(bit)] = static_cast<CS_BYTE>(mask.mask[CS_CAP_IDX(bit)] | (1u << (bit % CS_BITS_PER_BYTE)));
}

constexpr void CS_CLR_CAPMASK(CS_CAP_TYPE& mask, CS_INT bit) {
    if (CS_CAP_VALID(bit))
        mask.mask[CS_CAP_IDX(bit)] = static_cast<CS_BYTE>(mask.mask[CS_CAP_IDX(bit)] & ~(1u << (bit % CS_BITS_PER_BYTE)));
}

// The byte masked with the bit: 0 when clear, else the bit's own value (1, 2, 4 ... 128).
constexpr CS_INT CS_TST_CAPMASK(const CS_CAP_TYPE& mask, CS_INT bit) {
    if (!CS_CAP_VALID(bit)) return 0;
    return static_cast<CS_INT>(mask.mask[CS_CAP_IDX(bit)] & (1u << (bit % CS_BITS_PER_BYTE)));
}

// ---- Callback and conversion function types --------------------------------------

using CS_CSLIBMSG_FUNC = CS_RETCODE (*)(CS_CONTEXT* context, CS_CLIENTMSG* msg);
using CS_CLIENTMSG_FUNC = CS_RETCODE (*)(CS_CONTEXT* context, CS_CONNECTION* connection, CS_CLIENTMSG* msg);
using CS_SERVERMSG_FUNC = CS_RETCODE (*)(CS_CONTEXT* context, CS_CONNECTION* connection, CS_SERVERMSG* msg);
using CS_CONV_FUNC = CS_RETCODE (*)(CS_CONTEXT* context, CS_DATAFMT* srcfmt, CS_VOID* src, CS_DATAFMT* destfmt,
                                    CS_VOID* dest, CS_INT* destlen);

// ---- Entry-point types: the C signatures of the CS-Library -----------------------

using Tcs_calc = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT op, CS_INT datatype, CS_VOID* var1, CS_VOID* var2,
                                CS_VOID* dest);
using Tcs_cmp = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT datatype, CS_VOID* var1, CS_VOID* var2, CS_INT* result);
using Tcs_convert = CS_RETCODE (*)(CS_CONTEXT* context, CS_DATAFMT* srcfmt, CS_VOID* srcdata, CS_DATAFMT* destfmt,
                                   CS_VOID* destdata, CS_INT* outlen);
using Tcs_will_convert = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT srctype, CS_INT desttype, CS_BOOL* result);
using Tcs_set_convert = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_INT srctype, CS_INT desttype,
                                       CS_VOID* buffer);
using Tcs_setnull = CS_RETCODE (*)(CS_CONTEXT* context, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT buflen);
using Tcs_config = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_INT property, CS_VOID* buffer, CS_INT buflen,
                                  CS_INT* outlen);
using Tcs_ctx_alloc = CS_RETCODE (*)(CS_INT version, CS_CONTEXT** outptr);
using Tcs_ctx_drop = CS_RETCODE (*)(CS_CONTEXT* context);
using Tcs_ctx_global = CS_RETCODE (*)(CS_INT version, CS_CONTEXT** outptr);
using Tcs_objects = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_OBJNAME* objname, CS_OBJDATA* objdata);
using Tcs_diag = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT operation, CS_INT type, CS_INT idx, CS_VOID* buffer);
using Tcs_dt_crack = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT datetype, CS_VOID* dateval, CS_DATEREC* daterec);
using Tcs_dt_info = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_LOCALE* locale, CS_INT type, CS_INT item,
                                   CS_VOID* buffer, CS_INT buflen, CS_INT* outlen);
using Tcs_locale = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_LOCALE* locale, CS_INT type, CS_VOID* buffer,
                                  CS_INT buflen, CS_INT* outlen);
using Tcs_loc_alloc = CS_RETCODE (*)(CS_CONTEXT* context, CS_LOCALE** locptr);
using Tcs_loc_drop = CS_RETCODE (*)(CS_CONTEXT* context, CS_LOCALE* locale);
using Tcs_strbuild = CS_RETCODE (*)(CS_CONTEXT* context, CS_CHAR* buffer, CS_INT buflen, CS_INT* outlen,
                                    CS_CHAR* text, CS_INT textlen, CS_CHAR* formats, CS_INT formatlen, ...);
using Tcs_strcmp = CS_RETCODE (*)(CS_CONTEXT* context, CS_LOCALE* locale, CS_INT type, CS_CHAR* str1, CS_INT len1,
                                  CS_CHAR* str2, CS_INT len2, CS_INT* result);
using Tcs_time = CS_RETCODE (*)(CS_CONTEXT* context, CS_LOCALE* locale, CS_VOID* buffer, CS_INT buflen,
                                CS_INT* outlen, CS_DATEREC* daterec);
using Tcs_manage_convert = CS_RETCODE (*)(CS_CONTEXT* context, CS_INT action, CS_INT srctype, CS_CHAR* srcname,
                                          CS_INT srcnamelen, CS_INT desttype, CS_CHAR* destname, CS_INT destnamelen,
                                          CS_INT* conv_multiplier, CS_CONV_FUNC* func);
using Tcs_conv_mult = CS_RETCODE (*)(CS_CONTEXT* context, CS_LOCALE* srcloc, CS_LOCALE* destloc,
                                     CS_INT* conv_multiplier);

// ---- Entry-point variables (null until the library is loaded) ---------------------

extern Tcs_calc cs_calc;
extern Tcs_cmp cs_cmp;
extern Tcs_convert cs_convert;
extern Tcs_will_convert cs_will_convert;
extern Tcs_set_convert cs_set_convert;
extern Tcs_setnull cs_setnull;
extern Tcs_config cs_config;
extern Tcs_ctx_alloc cs_ctx_alloc;
extern Tcs_ctx_drop cs_ctx_drop;
extern Tcs_ctx_global cs_ctx_global;
extern Tcs_objects cs_objects;
extern Tcs_diag cs_diag;
extern Tcs_dt_crack cs_dt_crack;
extern Tcs_dt_info cs_dt_info;
extern Tcs_locale cs_locale;
extern Tcs_loc_alloc cs_loc_alloc;
extern Tcs_loc_drop cs_loc_drop;
extern Tcs_strbuild cs_strbuild;
extern Tcs_strcmp cs_strcmp;
extern Tcs_time cs_time;
extern Tcs_manage_convert cs_manage_convert;
extern Tcs_conv_mult cs_conv_mult;

// True once the CS-Library file was loaded; never reset.
extern bool csDLLLoaded;

// File names tried in order through the platform's search path: SAP Open
// Client's 64-bit library, then FreeTDS's CT-Library, which carries the CS calls.
extern const char* const CSLibraryFileNames[2];

// Unit start: loads and resolves the library once per process. A missing file is
// silent (flag false, variables null); a missing entry point raises
// vcl::EAssertionFailed naming unit "cspublic" and the entry point.
void Initialization();
// Unit end: nothing; the library is released by the exit action registered at load.
void Finalization();

} // namespace Cspublic
