// GetLine and TrimTrailCrLf on any bytes: the lines come out as the line rules cut them, the rest
// of the text is always what follows the last CR taken, and a trimmed text loses only its run of
// CR and LF.

#include <algorithm>

#include "fuzz/FuzzSupport.h"
#include "launchfile/LaunchText.h"
#include "support/PiecedText.h"
#include "support/StringLib.h"

using namespace brelmont;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    fuzz::CountingBoxes boxes;
    const std::vector<std::string> expected = fuzz::ReferenceLines(text);

    // Both ways a LineText holds its text: its own copy, and a view of the caller's.
    LineText owned{std::string(text)};
    LineText viewed{text};
    std::size_t taken = 0;
    std::size_t consumed = 0;
    while (!owned.Empty()) {
        FUZZ_REQUIRE(!viewed.Empty());
        const std::string line = GetLine(owned, boxes);
        FUZZ_REQUIRE(GetLine(viewed, boxes) == line);
        FUZZ_REQUIRE(taken < expected.size() && line == expected[taken]);
        ++taken;
        const std::size_t cr = text.find('\r', consumed);
        consumed = cr == std::string_view::npos ? text.size() : cr + 1;
        FUZZ_REQUIRE(owned.Rest() == text.substr(consumed));
        FUZZ_REQUIRE(viewed.Rest() == text.substr(consumed));
    }
    FUZZ_REQUIRE(viewed.Empty() && taken == expected.size());
    FUZZ_REQUIRE(!owned.LostLine() && !viewed.LostLine() && boxes.shown.empty());
    LineText none{std::string_view()};
    FUZZ_REQUIRE(GetLine(none, boxes).empty() && none.Empty());

    const std::string trimmed = TrimTrailCrLf(text);
    FUZZ_REQUIRE(text.starts_with(trimmed));
    FUZZ_REQUIRE(trimmed.empty() || (trimmed.back() != '\r' && trimmed.back() != '\n'));
    FUZZ_REQUIRE(std::all_of(text.begin() + static_cast<std::ptrdiff_t>(trimmed.size()), text.end(),
                             [](char c) { return c == '\r' || c == '\n'; }));
    // The same end on the text held in pieces, alternately its own and stretches of the source.
    PiecedText pieced{std::string(text)};
    for (std::size_t at = 0; at < text.size(); at += 3) {
        const std::size_t length = std::min<std::size_t>(3, text.size() - at);
        if (at % 2 == 0) {
            pieced.AppendSource(at, length);
        } else {
            pieced.AppendOwn(text.substr(at, length));
        }
    }
    FUZZ_REQUIRE(pieced.Joined() == text);
    pieced.EndWithOneCrLf();
    FUZZ_REQUIRE(pieced.Joined() == trimmed + "\r\n" && pieced.Size() == trimmed.size() + 2);
    FUZZ_REQUIRE(TrimSpaces(text) == fuzz::ReferenceTrimSpaces(text));
    return 0;
}
