// The CS-Library calls beyond the context's life: dates, conversion, locales,
// and those the components never make (logged, succeeding).
#include "tests/fakeoc/Exports.h"
#include "tests/fakeoc/Internal.h"

#include <algorithm>
#include <cstring>

using namespace FakeOC::Detail;
namespace B = Cstypes;

namespace {

void Fill(CS_DATEREC& rec, const FakeOC::DateParts& p) {
    std::memset(&rec, 0, sizeof rec);
    rec.dateyear = p.Year;
    rec.datemonth = p.Month;
    rec.datedmonth = p.DayOfMonth;
    rec.datedyear = p.DayOfYear;
    rec.datedweek = p.WeekDay;
    rec.datehour = p.Hour;
    rec.dateminute = p.Minute;
    rec.datesecond = p.Second;
    rec.datemsecond = p.Millisecond;
    rec.datetzone = p.TimeZone;
}

const FakeOC::DateParts* ScriptedDate(int occurrence) {
    const FakeOC::DateParts* every = nullptr;
    const auto& scripts = S().DateScripts;
    for (auto it = scripts.rbegin(); it != scripts.rend(); ++it) {
        if (it->Occurrence == occurrence) return &it->Parts;
        if (it->Occurrence == 0 && !every) every = &it->Parts;
    }
    return every;
}

// A call the fake does not model: it is logged and succeeds unless scripted.
CS_RETCODE Plain(CallScope& c) { return c.Done(c.Scripted().value_or(B::CS_SUCCEED)); }

} // namespace

extern "C" {

CS_RETCODE cs_dt_crack(CS_CONTEXT* context, CS_INT datetype, CS_VOID* dateval, CS_DATEREC* daterec) {
    CallScope c(Fn::cs_dt_crack);
    c.Handle(context);
    c.Int(datetype);
    c.Ptr(dateval);
    c.Ptr(daterec);
    if (!c.Ctx(context)) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    if (!dateval || !daterec) {
        c.Misuse("null value or CS_DATEREC");
        return c.Done(B::CS_FAIL);
    }
    if (const FakeOC::DateParts* parts = ScriptedDate(c.Occurrence())) {
        Fill(*daterec, *parts);
        return c.Done(B::CS_SUCCEED);
    }
    if (datetype == B::CS_DATETIME_TYPE) {
        B::CS_DATETIME v;
        std::memcpy(&v, dateval, sizeof v);
        Fill(*daterec, FakeOC::CrackDateTime(v.dtdays, v.dttime));
    } else if (datetype == B::CS_DATETIME4_TYPE) {
        B::CS_DATETIME4 v;
        std::memcpy(&v, dateval, sizeof v);
        Fill(*daterec, FakeOC::CrackDateTime4(v.days, v.minutes));
    } else {
        return c.Done(B::CS_FAIL);
    }
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE cs_convert(CS_CONTEXT* context, CS_DATAFMT* srcfmt, CS_VOID* srcdata, CS_DATAFMT* destfmt,
                      CS_VOID* destdata, CS_INT* outlen) {
    CallScope c(Fn::cs_convert);
    c.Handle(context);
    if (srcfmt) c.Int(srcfmt->datatype);
    else c.Arg("null");
    c.Ptr(srcdata);
    if (destfmt) c.Int(destfmt->datatype);
    else c.Arg("null");
    c.Ptr(destdata);
    c.Ptr(outlen);
    if (!c.Ctx(context)) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    if (!srcfmt || !destfmt || !destdata) {
        c.Misuse("null format or destination");
        return c.Done(B::CS_FAIL);
    }
    if (!CanConvert(srcfmt->datatype, destfmt->datatype)) return c.Done(B::CS_FAIL);
    ValueView v;
    v.Null = srcdata == nullptr; // Open Client converts a null source to the type's null value
    v.Data = static_cast<const uint8_t*>(srcdata);
    int fixed = FixedSize(srcfmt->datatype);
    v.Length = static_cast<std::size_t>(fixed > 0 ? fixed : std::max<CS_INT>(srcfmt->maxlength, 0));
    B::CS_SMALLINT indicator = 0;
    CopyResult r = CopyOut(srcfmt->datatype, v, destfmt->datatype, destfmt->maxlength, destfmt->format, destdata,
                           outlen, &indicator);
    return c.Done(r == CopyResult::Ok ? B::CS_SUCCEED : B::CS_FAIL);
}

CS_RETCODE cs_will_convert(CS_CONTEXT* context, CS_INT srctype, CS_INT desttype, CS_BOOL* result) {
    CallScope c(Fn::cs_will_convert);
    c.Handle(context);
    c.Int(srctype);
    c.Int(desttype);
    c.Ptr(result);
    if (!c.Ctx(context)) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    if (!result) {
        c.Misuse("null result");
        return c.Done(B::CS_FAIL);
    }
    *result = CanConvert(srctype, desttype) ? 1 : 0;
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE cs_loc_alloc(CS_CONTEXT* context, CS_LOCALE** locptr) {
    CallScope c(Fn::cs_loc_alloc);
    c.Handle(context);
    c.Ptr(locptr);
    Context* ctx = c.Ctx(context);
    if (!ctx || !locptr) {
        if (!locptr) c.Misuse("null output pointer");
        return c.Done(B::CS_FAIL);
    }
    if (auto code = c.Scripted()) {
        *locptr = nullptr;
        return c.Done(*code);
    }
    auto* loc = S().NewHandle<Locale>(ctx);
    *locptr = reinterpret_cast<CS_LOCALE*>(static_cast<HandleBase*>(loc));
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE cs_loc_drop(CS_CONTEXT* context, CS_LOCALE* locale) {
    CallScope c(Fn::cs_loc_drop);
    c.Handle(context);
    c.Handle(locale);
    if (!c.Ctx(context)) return c.Done(B::CS_FAIL);
    Locale* loc = c.Loc(locale);
    if (!loc) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    loc->Alive = false;
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE cs_diag(CS_CONTEXT* context, CS_INT operation, CS_INT type, CS_INT idx, CS_VOID* buffer) {
    CallScope c(Fn::cs_diag);
    c.Handle(context);
    c.Int(operation);
    c.Int(type);
    c.Int(idx);
    c.Ptr(buffer);
    if (!c.Ctx(context)) return c.Done(B::CS_FAIL);
    if (auto code = c.Scripted()) return c.Done(*code);
    // The CS-Library itself never has anything to report here.
    if (operation == B::CS_STATUS) {
        if (!buffer) return c.Done(B::CS_FAIL);
        B::CS_INT zero = 0;
        std::memcpy(buffer, &zero, sizeof zero);
    } else if (operation == B::CS_GET) {
        return c.Done(B::CS_NOMSG);
    }
    return c.Done(B::CS_SUCCEED);
}

CS_RETCODE cs_calc(CS_CONTEXT* context, CS_INT op, CS_INT datatype, CS_VOID* var1, CS_VOID* var2, CS_VOID* dest) {
    CallScope c(Fn::cs_calc);
    c.Handle(context); c.Int(op); c.Int(datatype); c.Ptr(var1); c.Ptr(var2); c.Ptr(dest);
    return Plain(c);
}

CS_RETCODE cs_cmp(CS_CONTEXT* context, CS_INT datatype, CS_VOID* var1, CS_VOID* var2, CS_INT* result) {
    CallScope c(Fn::cs_cmp);
    c.Handle(context); c.Int(datatype); c.Ptr(var1); c.Ptr(var2); c.Ptr(result);
    return Plain(c);
}

CS_RETCODE cs_set_convert(CS_CONTEXT* context, CS_INT action, CS_INT srctype, CS_INT desttype, CS_VOID* buffer) {
    CallScope c(Fn::cs_set_convert);
    c.Handle(context); c.Int(action); c.Int(srctype); c.Int(desttype); c.Ptr(buffer);
    return Plain(c);
}

CS_RETCODE cs_setnull(CS_CONTEXT* context, CS_DATAFMT* datafmt, CS_VOID* buffer, CS_INT buflen) {
    CallScope c(Fn::cs_setnull);
    c.Handle(context); c.Ptr(datafmt); c.Ptr(buffer); c.Int(buflen);
    return Plain(c);
}

CS_RETCODE cs_objects(CS_CONTEXT* context, CS_INT action, CS_OBJNAME* objname, CS_OBJDATA* objdata) {
    CallScope c(Fn::cs_objects);
    c.Handle(context); c.Int(action); c.Ptr(objname); c.Ptr(objdata);
    return Plain(c);
}

CS_RETCODE cs_dt_info(CS_CONTEXT* context, CS_INT action, CS_LOCALE* locale, CS_INT type, CS_INT item,
                      CS_VOID* buffer, CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::cs_dt_info);
    c.Handle(context); c.Int(action); c.Handle(locale); c.Int(type); c.Int(item); c.Ptr(buffer); c.Int(buflen);
    c.Ptr(outlen);
    return Plain(c);
}

CS_RETCODE cs_locale(CS_CONTEXT* context, CS_INT action, CS_LOCALE* locale, CS_INT type, CS_VOID* buffer,
                     CS_INT buflen, CS_INT* outlen) {
    CallScope c(Fn::cs_locale);
    c.Handle(context); c.Int(action); c.Handle(locale); c.Int(type); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen);
    return Plain(c);
}

CS_RETCODE cs_strbuild(CS_CONTEXT* context, CS_CHAR* buffer, CS_INT buflen, CS_INT* outlen, CS_CHAR* text,
                       CS_INT textlen, CS_CHAR* formats, CS_INT formatlen, ...) {
    CallScope c(Fn::cs_strbuild);
    c.Handle(context); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen); c.Str(text, textlen); c.Str(formats, formatlen);
    return Plain(c);
}

CS_RETCODE cs_strcmp(CS_CONTEXT* context, CS_LOCALE* locale, CS_INT type, CS_CHAR* str1, CS_INT len1, CS_CHAR* str2,
                     CS_INT len2, CS_INT* result) {
    CallScope c(Fn::cs_strcmp);
    c.Handle(context); c.Handle(locale); c.Int(type); c.Str(str1, len1); c.Str(str2, len2); c.Ptr(result);
    return Plain(c);
}

CS_RETCODE cs_time(CS_CONTEXT* context, CS_LOCALE* locale, CS_VOID* buffer, CS_INT buflen, CS_INT* outlen,
                   CS_DATEREC* daterec) {
    CallScope c(Fn::cs_time);
    c.Handle(context); c.Handle(locale); c.Ptr(buffer); c.Int(buflen); c.Ptr(outlen); c.Ptr(daterec);
    return Plain(c);
}

CS_RETCODE cs_manage_convert(CS_CONTEXT* context, CS_INT action, CS_INT srctype, CS_CHAR* srcname, CS_INT srcnamelen,
                             CS_INT desttype, CS_CHAR* destname, CS_INT destnamelen, CS_INT* conv_multiplier,
                             CS_CONV_FUNC* func) {
    CallScope c(Fn::cs_manage_convert);
    c.Handle(context); c.Int(action); c.Int(srctype); c.Str(srcname, srcnamelen); c.Int(desttype);
    c.Str(destname, destnamelen); c.Ptr(conv_multiplier); c.Ptr(func);
    return Plain(c);
}

CS_RETCODE cs_conv_mult(CS_CONTEXT* context, CS_LOCALE* srcloc, CS_LOCALE* destloc, CS_INT* conv_multiplier) {
    CallScope c(Fn::cs_conv_mult);
    c.Handle(context); c.Handle(srcloc); c.Handle(destloc); c.Ptr(conv_multiplier);
    return Plain(c);
}

} // extern "C"
