// Collecting the distinct parameter names of a text.
#include "components/SybConnect/internal/SqlText.h"

namespace SybConnect {

void ParseParams(vcl::TParams& Target, const std::string& Text) {
    Target.Clear();
    size_t colon = Text.find(':');
    while (colon != std::string::npos) {
        size_t end = colon + 1;
        while (end < Text.size() && IsParamNameChar(Text[end])) ++end;
        const std::string name = Text.substr(colon + 1, end - colon - 1);
        if (!name.empty() && !Target.FindParam(name)) Target.CreateParam(vcl::ftUnknown, name, vcl::ptUnknown);
        colon = Text.find(':', end);
    }
}

} // namespace SybConnect
