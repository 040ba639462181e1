#include <algorithm>
#include <cstring>

#include "components/SybConnect.h"
#include "vcl/Platform.h"

namespace SybConnect {

std::string TSybConnect::GetDefaultHostName() {
    std::string result;
    char host[256] = {};
    if (vcl::Platform::gethostname(host, sizeof host) == 0) result.assign(host, strnlen(host, sizeof host));
    if (result.empty()) {
        char computer[16] = {};
        uint32_t size = sizeof computer;
        // Exactly the characters the call reports, never past the buffer.
        if (vcl::Platform::GetComputerNameA(computer, &size))
            result.assign(computer, std::min<size_t>(size, sizeof computer));
    }
    return result;
}

} // namespace SybConnect
