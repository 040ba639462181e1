// The application and screen objects of the host class library.
//
// Application: the process-wide application object. HandleException reports
// an exception that a component caught and will not raise further: with
// OnException assigned it calls the handler with the exception; otherwise it
// writes the message to standard error. Created on first use (Application()),
// or explicitly by InitApplication; never in a static initialiser.
//
// Screen: the process-wide screen object; here it only keeps the cursor
// setting that busy operations switch to crSQLWait and back.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "vcl/Classes.h"

namespace vcl {

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crSQLWait = -17;

// Sender, then the exception being handled.
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    TApplication() : TComponent(nullptr) {}
    // Reports the exception currently being handled (call it from a catch
    // block); outside a handler it does nothing. Never raises.
    void HandleException(TObject* Sender);
    // Reports the given exception the same way.
    void ShowException(TObject* Sender, const std::exception& E);
    TExceptionEvent OnException;
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

private:
    std::string FTitle;
};

class TScreen : public TComponent {
public:
    TScreen() : TComponent(nullptr) {}
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }

private:
    TCursor FCursor = crDefault;
};

// The process-wide objects, created on first use.
TApplication* Application();
TScreen* Screen();
// Creates both now (a no-op once they exist).
void InitApplication();

} // namespace vcl
