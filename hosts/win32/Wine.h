#pragma once

namespace brelmont::win32 {

// True when the program runs under Wine, whose files are Unix files: their links are no reparse
// points a walk could see, and Windows names an open file by the Unix link's target.
bool RunsUnderWine();

}  // namespace brelmont::win32
