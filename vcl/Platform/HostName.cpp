#include "vcl/Platform.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>

namespace vcl::Platform {

namespace {

int RealGetHostName(char* buffer, int bufferSize) {
    if (bufferSize <= 0) return -1;
    if (::gethostname(buffer, static_cast<size_t>(bufferSize)) != 0) return -1;
    buffer[bufferSize - 1] = '\0';
    return 0;
}

// The node name stands for the Windows computer name; like that call it fails
// when the name does not fit the buffer.
bool RealGetComputerName(char* buffer, uint32_t* size) {
    struct utsname u;
    if (::uname(&u) != 0) return false;
    size_t len = std::strlen(u.nodename);
    if (len + 1 > *size) return false;
    std::memcpy(buffer, u.nodename, len + 1);
    *size = static_cast<uint32_t>(len);
    return true;
}

THostNameCalls& Calls() {
    static THostNameCalls calls{RealGetHostName, RealGetComputerName};
    return calls;
}

} // namespace

int gethostname(char* buffer, int bufferSize) { return Calls().GetHostName(buffer, bufferSize); }
bool GetComputerNameA(char* buffer, uint32_t* size) { return Calls().GetComputerName(buffer, size); }

void SetHostNameCalls(THostNameCalls calls) { Calls() = std::move(calls); }
void ResetHostNameCalls() { Calls() = THostNameCalls{RealGetHostName, RealGetComputerName}; }

} // namespace vcl::Platform
