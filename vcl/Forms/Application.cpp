#include <cstdio>

#include "vcl/Forms.h"
#include "vcl/SysUtils.h"

namespace vcl {

TApplication* Application() {
    static TApplication application;
    return &application;
}

TScreen* Screen() {
    static TScreen screen;
    return &screen;
}

void InitApplication() {
    Application();
    Screen();
}

void TApplication::ShowException(TObject* Sender, const std::exception& E) {
    if (OnException) {
        try {
            OnException(Sender, E);
        } catch (...) {
            // A failing handler must not turn a report into a new error.
        }
        return;
    }
    std::fprintf(stderr, "%s\n", E.what());
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const std::exception& e) {
        ShowException(Sender, e);
    } catch (...) {
        ShowException(Sender, Exception("Unknown exception"));
    }
}

} // namespace vcl
