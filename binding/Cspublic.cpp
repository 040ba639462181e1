#include "binding/Cspublic.h"

#include "binding/LibraryLoader.h"
#include "vcl/System.h"

namespace Cspublic {

Tcs_calc cs_calc = nullptr;
Tcs_cmp cs_cmp = nullptr;
Tcs_convert cs_convert = nullptr;
Tcs_will_convert cs_will_convert = nullptr;
Tcs_set_convert cs_set_convert = nullptr;
Tcs_setnull cs_setnull = nullptr;
Tcs_config cs_config = nullptr;
Tcs_ctx_alloc cs_ctx_alloc = nullptr;
Tcs_ctx_drop cs_ctx_drop = nullptr;
Tcs_ctx_global cs_ctx_global = nullptr;
Tcs_objects cs_objects = nullptr;
Tcs_diag cs_diag = nullptr;
Tcs_dt_crack cs_dt_crack = nullptr;
Tcs_dt_info cs_dt_info = nullptr;
Tcs_locale cs_locale = nullptr;
Tcs_loc_alloc cs_loc_alloc = nullptr;
Tcs_loc_drop cs_loc_drop = nullptr;
Tcs_strbuild cs_strbuild = nullptr;
Tcs_strcmp cs_strcmp = nullptr;
Tcs_time cs_time = nullptr;
Tcs_manage_convert cs_manage_convert = nullptr;
Tcs_conv_mult cs_conv_mult = nullptr;

bool csDLLLoaded = false;

const char* const CSLibraryFileNames[2] = {"libsybcs64.so", "libct.so.4"};

namespace {

constexpr const char* UnitName = "cspublic";

bool Started = false;
vcl::Platform::HMODULE Library = 0;
vcl::TExitProc SaveExit = nullptr;

// Put the previous action back first, so the chain goes on even if freeing fails.
void CsExitProc() {
    vcl::ExitProc = SaveExit;
    vcl::Platform::FreeLibrary(Library);
}

} // namespace

void Initialization() {
    if (Started || csDLLLoaded) return;
    Started = true; // a failed load stays failed: nothing retries

    Library = BindingLoader::LoadFirst(CSLibraryFileNames, 2);
    if (Library == 0) {
        csDLLLoaded = false;
        return;
    }
    csDLLLoaded = true;
    SaveExit = vcl::ExitProc;
    vcl::ExitProc = CsExitProc;

    using BindingLoader::Resolve;
    Resolve(Library, cs_calc, "cs_calc", 1, UnitName);
    Resolve(Library, cs_cmp, "cs_cmp", 2, UnitName);
    Resolve(Library, cs_convert, "cs_convert", 3, UnitName);
    Resolve(Library, cs_will_convert, "cs_will_convert", 4, UnitName);
    Resolve(Library, cs_set_convert, "cs_set_convert", 5, UnitName);
    Resolve(Library, cs_setnull, "cs_setnull", 6, UnitName);
    Resolve(Library, cs_config, "cs_config", 7, UnitName);
    Resolve(Library, cs_ctx_alloc, "cs_ctx_alloc", 8, UnitName);
    Resolve(Library, cs_ctx_drop, "cs_ctx_drop", 9, UnitName);
    Resolve(Library, cs_ctx_global, "cs_ctx_global", 10, UnitName);
    Resolve(Library, cs_objects, "cs_objects", 11, UnitName);
    Resolve(Library, cs_diag, "cs_diag", 12, UnitName);
    Resolve(Library, cs_dt_crack, "cs_dt_crack", 13, UnitName);
    Resolve(Library, cs_dt_info, "cs_dt_info", 14, UnitName);
    Resolve(Library, cs_locale, "cs_locale", 15, UnitName);
    Resolve(Library, cs_loc_alloc, "cs_loc_alloc", 16, UnitName);
    Resolve(Library, cs_loc_drop, "cs_loc_drop", 17, UnitName);
    Resolve(Library, cs_strbuild, "cs_strbuild", 18, UnitName);
    Resolve(Library, cs_strcmp, "cs_strcmp", 19, UnitName);
    Resolve(Library, cs_time, "cs_time", 20, UnitName);
    Resolve(Library, cs_manage_convert, "cs_manage_convert", 21, UnitName);
    Resolve(Library, cs_conv_mult, "cs_conv_mult", 22, UnitName);
}

void Finalization() {}

} // namespace Cspublic
