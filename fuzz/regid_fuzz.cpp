// The cut of a RegID line on any bytes: it fails only with the invalid-argument or the overflow
// error, and a cut that succeeds hands back pieces that stand in the line as "[Name-Rev]".

#include "fuzz/FuzzSupport.h"
#include "launchfile/RegId.h"
#include "support/RuntimeError.h"

using namespace brelmont;

namespace {

constexpr std::int64_t kSixteenBitLimit = 32767;

struct Outcome {
    bool cut = false;
    std::int32_t error = 0;
    RegIdCut pieces;
};

Outcome Cut(std::string_view line, PositionLimit limit) {
    Outcome outcome;
    try {
        CutRegID(line, outcome.pieces, limit);
        outcome.cut = true;
    } catch (const RuntimeError& error) {
        outcome.error = error.Number();
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line = fuzz::AsText(data, size);
    const std::string trimmed = fuzz::ReferenceTrimSpaces(line);
    const Outcome any = Cut(line, PositionLimit::None);
    const Outcome limited = Cut(line, PositionLimit::SixteenBit);

    FUZZ_REQUIRE(any.pieces.RegID == trimmed && limited.pieces.RegID == trimmed);
    FUZZ_REQUIRE(any.cut || any.error == ErrorNumber::InvalidProcedureCall);
    if (limited.cut) {
        FUZZ_REQUIRE(any.cut && any.pieces.AppName == limited.pieces.AppName &&
                     any.pieces.AppRev == limited.pieces.AppRev);
        FUZZ_REQUIRE(limited.pieces.pos1 <= kSixteenBitLimit &&
                     limited.pieces.pos2 <= kSixteenBitLimit &&
                     limited.pieces.pos3 <= kSixteenBitLimit);
    } else if (limited.error == ErrorNumber::Overflow) {
        FUZZ_REQUIRE(trimmed.size() > static_cast<std::size_t>(kSixteenBitLimit));
    } else {
        FUZZ_REQUIRE(limited.error == ErrorNumber::InvalidProcedureCall && !any.cut);
    }
    if (!any.cut) {
        return 0;
    }

    const RegIdCut& cut = any.pieces;
    FUZZ_REQUIRE(!cut.AppName.empty());
    FUZZ_REQUIRE(!fuzz::Has(cut.AppName, "-") && !fuzz::Has(cut.AppName, "]"));
    FUZZ_REQUIRE(!fuzz::Has(cut.AppRev, "]"));
    // "[" only when the line has one before its first "-"; the name then starts right after it.
    const std::string shape = cut.AppName + "-" + cut.AppRev + "]";
    if (cut.pos1 == 0) {
        FUZZ_REQUIRE(!fuzz::Has(trimmed, "[") && trimmed.starts_with(shape));
    } else {
        FUZZ_REQUIRE(
            trimmed.substr(static_cast<std::size_t>(cut.pos1) - 1).starts_with("[" + shape));
        FUZZ_REQUIRE(trimmed.find('[') == static_cast<std::size_t>(cut.pos1) - 1);
    }
    FUZZ_REQUIRE(fuzz::Has(trimmed, cut.IdentityKey()));
    // The lines of Launch.local are judged by the same cut: this line names this add-on only.
    FUZZ_REQUIRE(IsRegIdLineOf(line, cut.AppName));
    FUZZ_REQUIRE(!IsRegIdLineOf(line, cut.AppName + "x"));
    FUZZ_REQUIRE(cut.AppName.size() == 1 || !IsRegIdLineOf(line, cut.AppName.substr(1)));
    return 0;
}
