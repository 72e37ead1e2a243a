#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brelmont {

// The add-on's identity as cut from a RegID line "[AppName-AppRev]". Positions are 1-based, 0 when
// the character is absent or not yet searched.
struct RegIdCut {
    std::string RegID;
    std::string AppName;
    std::string AppRev;
    std::int64_t pos1 = 0;
    std::int64_t pos2 = 0;
    std::int64_t pos3 = 0;

    // AppName, "-", AppRev: the key of one revision of the add-on.
    std::string IdentityKey() const { return AppName + "-" + AppRev; }
};

enum class PositionLimit {
    SixteenBit,  // the loader's first line: a marker beyond 32767 is an overflow error
    None,        // lines of Launch.local, which may be of any size
};

// Trims `line` of spaces into cut.RegID and cuts AppName and AppRev from it, filling the fields in
// that order so that a failure leaves what was found before it. Throws the invalid-argument error
// when a count is negative or the name is empty, the overflow error past the position limit.
void CutRegID(std::string_view line, RegIdCut& cut, PositionLimit limit);

// True when `line`, trimmed and cut by the same rules, names exactly `appName`. Only such lines
// start or identify an add-on's block: a name that merely occurs in another add-on's lines, or as
// the start of a longer name, does not count.
bool IsRegIdLineOf(std::string_view line, std::string_view appName);

// UTF-8 byte-order mark, which editors put at the start of text files.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Splits a leading byte-order mark off `text`: returns it (or nothing) and leaves the rest.
std::string_view SplitByteOrderMark(std::string_view& text);

}  // namespace brelmont
