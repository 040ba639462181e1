#include "vcl/System.h"

namespace vcl {

TExitProc ExitProc = nullptr;
bool IsLibrary = false;

void RunExitProcs() {
    while (ExitProc) {
        TExitProc p = ExitProc;
        ExitProc = nullptr;
        p(); // an action puts back the one before it
    }
}

} // namespace vcl
