#include "vcl/Platform.h"

#include <dlfcn.h>

#include <mutex>

namespace vcl::Platform {

namespace {

HMODULE DlOpen(const char* fileName) {
    void* h = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    return reinterpret_cast<HMODULE>(h);
}

void* DlSym(HMODULE module, const char* procName) {
    return ::dlsym(reinterpret_cast<void*>(module), procName);
}

bool DlClose(HMODULE module) { return ::dlclose(reinterpret_cast<void*>(module)) == 0; }

TLibraryLoader& Loader() {
    static TLibraryLoader loader{DlOpen, DlSym, DlClose};
    return loader;
}

} // namespace

HMODULE LoadLibrary(const char* fileName) { return Loader().Load(fileName); }
void* GetProcAddress(HMODULE module, const char* procName) { return Loader().GetProc(module, procName); }
bool FreeLibrary(HMODULE module) { return Loader().Free(module); }

void SetLibraryLoader(TLibraryLoader loader) { Loader() = std::move(loader); }
void ResetLibraryLoader() { Loader() = TLibraryLoader{DlOpen, DlSym, DlClose}; }

} // namespace vcl::Platform
