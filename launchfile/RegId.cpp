#include "launchfile/RegId.h"

#include "support/RuntimeError.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

constexpr const char* kSource = "Brelmont:RegID";

std::int64_t Position(std::string_view text, std::string_view what, PositionLimit limit) {
    const auto position = static_cast<std::int64_t>(FindPosition(text, what));
    if (limit == PositionLimit::SixteenBit && position > INT16_MAX) {
        throw RuntimeError(ErrorNumber::Overflow, kSource);
    }
    return position;
}

std::string Mid(const std::string& text, std::int64_t start, std::int64_t count) {
    if (count < 0) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall, kSource);
    }
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

}  // namespace

void CutRegID(std::string_view line, RegIdCut& cut, PositionLimit limit) {
    cut.RegID = TrimSpaces(line);
    cut.pos1 = Position(cut.RegID, "[", limit);
    cut.pos2 = Position(cut.RegID, "-", limit);
    cut.pos3 = Position(cut.RegID, "]", limit);
    const std::int64_t nameCount = cut.pos2 - cut.pos1 - 1;
    // An empty name would be "found" in every line and an update would take every block with it.
    if (nameCount == 0) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall, kSource);
    }
    cut.AppName = Mid(cut.RegID, cut.pos1 + 1, nameCount);
    cut.AppRev = Mid(cut.RegID, cut.pos2 + 1, cut.pos3 - cut.pos2 - 1);
}

bool IsRegIdLineOf(std::string_view line, std::string_view appName) {
    if (!Contains(line, appName)) {
        return false;
    }
    RegIdCut cut;
    try {
        CutRegID(line, cut, PositionLimit::None);
    } catch (const RuntimeError&) {
        return false;
    }
    return cut.AppName == appName;
}

std::string_view SplitByteOrderMark(std::string_view& text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
        return kByteOrderMark;
    }
    return {};
}

}  // namespace brelmont
