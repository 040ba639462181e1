// Re-parsing a statement after its text changed, and rebuilding the text to
// send with the parameter literals in place.
#include "components/SybConnect/internal/SqlText.h"

namespace SybConnect {

void TSqlStatement::QueryChanged(vcl::TParams& Params, const std::string& Text) {
    vcl::TParams fresh;  // freed on every path
    TSqlStatement parsed;
    parsed.ParseSQL(fresh, Text);
    fresh.AssignValues(Params);

    // From here on the new occurrences are ours. Whatever happens while the
    // list is refilled, each occurrence ends up referring to the list's item
    // of its index, or to nothing, never to an item of the freed list.
    FMappings = std::move(parsed.FMappings);
    FTailText = std::move(parsed.FTailText);
    auto repoint = [&] {
        for (size_t i = 0; i < FMappings.size(); ++i) {
            const int index = static_cast<int>(i);
            FMappings[i].Param = index < Params.Count() ? Params.Items(index) : nullptr;
        }
    };
    try {
        Params.Clear();
        Params.Assign(fresh);
    } catch (...) {
        repoint();
        throw;
    }
    repoint();
}

std::string TSqlStatement::GetSQLText(const vcl::TParams& Params, int DateFormat) const {
    std::string out;
    for (size_t i = 0; i < FMappings.size(); ++i) {
        out += FMappings[i].Text;
        const std::string literal = ParamStrValue(*Params.Items(static_cast<int>(i)), DateFormat);
        // "x -:p" with a negative value would otherwise read "x --5": a line
        // comment that swallows the rest of the line.
        if (!literal.empty() && literal[0] == '-' && !out.empty() && out.back() == '-') out += ' ';
        out += literal;
    }
    out += FTailText;
    return out;
}

} // namespace SybConnect
