#include "binding/LibraryLoader.h"

namespace BindingLoader {

vcl::Platform::HMODULE LoadFirst(const char* const* fileNames, std::size_t count) {
    // No error-mode step here: a failed dlopen shows no dialog to suppress.
    for (std::size_t i = 0; i < count; ++i) {
        vcl::Platform::HMODULE module = vcl::Platform::LoadLibrary(fileNames[i]);
        if (module >= vcl::Platform::HINSTANCE_ERROR) return module;
    }
    return 0;
}

} // namespace BindingLoader
