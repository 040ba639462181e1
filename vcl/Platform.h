// The platform calls the design names as Windows calls, as they exist here:
// loading libraries (the dlopen family) and the machine's names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vcl::Platform {

// A loaded module as the loader returns it, taken as an unsigned number.
// Values below 32 mean the load failed (as on Windows, where they are error codes).
using HMODULE = uintptr_t;
constexpr HMODULE HINSTANCE_ERROR = 32;

HMODULE LoadLibrary(const char* fileName);
void* GetProcAddress(HMODULE module, const char* procName);
bool FreeLibrary(HMODULE module);

// Tests replace the loader to script what the binding sees. Reset restores dlopen.
struct TLibraryLoader {
    std::function<HMODULE(const char* fileName)> Load;
    std::function<void*(HMODULE module, const char* procName)> GetProc;
    std::function<bool(HMODULE module)> Free;
};
void SetLibraryLoader(TLibraryLoader loader);
void ResetLibraryLoader();

// gethostname into a buffer of bufferSize bytes; 0 on success.
int gethostname(char* buffer, int bufferSize);
// The machine's name; on success true with *size set to the characters written.
bool GetComputerNameA(char* buffer, uint32_t* size);

struct THostNameCalls {
    std::function<int(char*, int)> GetHostName;
    std::function<bool(char*, uint32_t*)> GetComputerName;
};
void SetHostNameCalls(THostNameCalls calls);
void ResetHostNameCalls();

} // namespace vcl::Platform
