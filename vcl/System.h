// Process-wide runtime state of the host class library: the exit chain that
// unit end actions hook into, and whether the code runs inside a loaded library.
#pragma once

namespace vcl {

// The newest exit action. A unit that registers one saves the previous value and
// puts it back when its own action runs; RunExitProcs calls them newest first.
using TExitProc = void (*)();
extern TExitProc ExitProc;

// Runs the chain until it is empty. Called once by the package's Finalize.
void RunExitProcs();

// True when the component code runs in a library that a host program loaded.
extern bool IsLibrary;

} // namespace vcl
