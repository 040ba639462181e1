// The scanner that finds the :name occurrences of a statement, and the
// occurrence list it fills.
#include "components/SybConnect/internal/SqlText.h"
#include "vcl/SysUtils.h"

namespace SybConnect {

namespace {

enum class TScanState { Plain, Name, SingleQuoted, DoubleQuoted, LineComment, BlockComment };

} // namespace

void TSqlStatement::ParseSQL(vcl::TParams& Target, const std::string& Text) {
    // Built aside and committed at the end, so a failure leaves the previous
    // statement whole instead of a tail without its occurrences.
    std::vector<TParamMapping> mappings;
    const size_t n = Text.size();
    TScanState state = TScanState::Plain;
    size_t segmentStart = 0;  // 0-based here; positions handed out are 1-based
    size_t nameStart = 0;
    auto next = [&](size_t i, char c) { return i + 1 < n && Text[i + 1] == c; };

    for (size_t i = 0; i < n; ++i) {
        const char c = Text[i];
        switch (state) {
        case TScanState::Plain:
            if (c == '\'') {
                state = TScanState::SingleQuoted;
            } else if (c == '"') {
                state = TScanState::DoubleQuoted;
            } else if (c == '-' && next(i, '-')) {
                ++i;
                state = TScanState::LineComment;
            } else if (c == '/' && next(i, '*')) {
                ++i;
                state = TScanState::BlockComment;
            } else if (c == ':') {
                nameStart = i + 1;
                state = TScanState::Name;
            }
            break;
        case TScanState::Name:
            if (IsParamNameChar(c)) break;
            if (i > nameStart) {
                const std::string name = Text.substr(nameStart, i - nameStart);
                std::string before = Text.substr(segmentStart, nameStart - 1 - segmentStart);
                segmentStart = i;
                vcl::TParam* item = Target.CreateParam(vcl::ftUnknown, name, vcl::ptUnknown);
                mappings.emplace_back(item, static_cast<int32_t>(nameStart + 1), std::move(before));
            }
            // The terminator is read again as plain text (it may be the next colon).
            --i;  // i >= nameStart >= 1
            state = TScanState::Plain;
            break;
        case TScanState::SingleQuoted:
            if (c == '\'') state = TScanState::Plain;
            break;
        case TScanState::DoubleQuoted:
            if (c == '"') state = TScanState::Plain;
            break;
        case TScanState::LineComment:
            if (c == '\r' || c == '\n') state = TScanState::Plain;
            break;
        case TScanState::BlockComment:
            if (c == '*' && next(i, '/')) {
                ++i;
                state = TScanState::Plain;
            }
            break;
        }
    }
    std::string tail = Text.substr(segmentStart);

    ClearParams();
    FMappings = std::move(mappings);
    FTailText = std::move(tail);
}

void TSqlStatement::ClearParams() {
    FMappings.clear();
}

const TParamMapping& TSqlStatement::Occurrence(int Index) const {
    if (Index < 0 || Index >= OccurrenceCount())
        throw vcl::EListError(vcl::Format("List index out of bounds (%d)", {Index}));
    return FMappings[static_cast<size_t>(Index)];
}

} // namespace SybConnect
