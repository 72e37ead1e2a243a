// Registration and removal on any loader file and Launch.local (input: the loader's bytes, then,
// after a 0x1E byte, Launch.local's; no 0x1E: no Launch.local). Checked against the block rules
// as stated here, not as the editors walk them:
// - a removal keeps, in order, every non-empty line outside the removed blocks, and nothing else;
// - a registration adds at the end, leaves the file, or replaces, as the add-on's RegID lines say,
//   and never drops a non-empty line outside the add-on's own blocks; it writes nothing for a
//   loader without an end line after its first;
// - registering and then removing a well-formed loader leaves every other line as it was.

#include <algorithm>
#include <optional>

#include "fuzz/FuzzSupport.h"
#include "launchfile/LaunchEditor.h"
#include "launchfile/RegId.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "tests/testkit/ScriptedPlatform.h"

using namespace brelmont;

namespace {

constexpr char kSeparator = '\x1e';
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kEnd = "/ [EOA]";
const std::string kLaunchPath = "C:\\KelvaneData\\Launch.local";
const std::string kLoaderPath = "C:\\Addons\\Sample.local";

using Lines = std::vector<std::string>;

Lines NonEmpty(const Lines& lines) {
    Lines kept;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            kept.push_back(line);
        }
    }
    return kept;
}

bool IsSubsequence(const Lines& needles, const Lines& haystack) {
    std::size_t next = 0;
    for (const std::string& line : haystack) {
        if (next < needles.size() && line == needles[next]) {
            ++next;
        }
    }
    return next == needles.size();
}

std::string_view WithoutBom(std::string_view text) {
    return text.starts_with(kBom) ? text.substr(kBom.size()) : text;
}

// The add-on as its loader file names it.
struct Loader {
    bool cut = false;
    RegIdCut id;
    Lines rest;  // the lines after the RegID line
};

// A loader holding no CR at all has its LFs for line ends.
Loader ReadLoader(std::string_view bytes) {
    Loader loader;
    std::string text(WithoutBom(bytes));
    if (text.find('\r') == std::string::npos) {
        std::string crLf;
        for (const char c : text) {
            crLf += c == '\n' ? "\r\n" : std::string(1, c);
        }
        text = crLf;
    }
    const std::size_t cr = text.find('\r');
    const Lines first = fuzz::ReferenceLines(std::string_view(text).substr(0, cr));
    try {
        CutRegID(first.empty() ? "" : first[0], loader.id, PositionLimit::SixteenBit);
        loader.cut = true;
    } catch (const RuntimeError&) {
    }
    loader.rest = cr == std::string::npos
                      ? Lines{}
                      : fuzz::ReferenceLines(std::string_view(text).substr(cr + 1));
    return loader;
}

bool OwnStart(const std::string& line, const RegIdCut& id) {
    return IsRegIdLineOf(line, id.AppName);
}
bool RemovalStart(const std::string& line, const RegIdCut& id) {
    return OwnStart(line, id) && fuzz::Has(line, id.IdentityKey());
}

// The add-on's own blocks: from any of its RegID lines to the next line holding the end marker.
Lines OutsideOwnBlocks(const Lines& lines, const RegIdCut& id) {
    Lines outside;
    bool inBlock = false;
    for (const std::string& line : lines) {
        if (inBlock) {
            inBlock = !fuzz::Has(line, kEnd);
        } else if (OwnStart(line, id)) {
            inBlock = true;
        } else if (!line.empty()) {
            outside.push_back(line);
        }
    }
    return outside;
}

// The removed blocks: from a RegID line of this revision, which always starts one, to the next
// other line holding the end marker.
Lines OutsideRemovedBlocks(const Lines& lines, const RegIdCut& id) {
    Lines outside;
    bool inBlock = false;
    for (const std::string& line : lines) {
        if (RemovalStart(line, id)) {
            inBlock = true;
        } else if (inBlock) {
            inBlock = !fuzz::Has(line, kEnd);
        } else if (!line.empty()) {
            outside.push_back(line);
        }
    }
    return outside;
}

// Whether a rewrite must leave the file: a line it keeps, a block's first or last line, or any
// line of a block that runs to the end of the file for want of an end line, had an LF between two
// of its characters, which the host may read as a line end.
bool RemovalRefused(const Lines& lines, const std::vector<bool>& joins, const RegIdCut& id) {
    bool inBlock = false;
    bool blockJoined = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bool used = true;
        if (RemovalStart(lines[i], id)) {
            inBlock = true;
        } else if (inBlock) {
            inBlock = !fuzz::Has(lines[i], kEnd);
            used = !inBlock;
            blockJoined = inBlock && (blockJoined || joins[i]);
        }
        if (used && joins[i]) {
            return true;
        }
    }
    return inBlock && blockJoined;
}
bool ReplaceRefused(const Lines& lines, const std::vector<bool>& joins, const RegIdCut& id) {
    bool inBlock = false;
    bool blockJoined = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bool used = true;
        if (inBlock) {
            inBlock = !fuzz::Has(lines[i], kEnd);
            used = !inBlock;
            blockJoined = inBlock && (blockJoined || joins[i]);
        } else if (OwnStart(lines[i], id)) {
            inBlock = true;
        }
        if (used && joins[i]) {
            return true;
        }
    }
    return inBlock && blockJoined;
}

// A loader whose block a removal takes out whole and exactly: its last non-empty line ends it.
bool WellFormed(const Loader& loader) {
    Lines block{loader.id.RegID};
    block.insert(block.end(), loader.rest.begin(), loader.rest.end());
    const Lines lines = NonEmpty(block);
    bool inBlock = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (RemovalStart(lines[i], loader.id)) {
            inBlock = true;
        } else if (!inBlock) {
            return false;
        } else if (fuzz::Has(lines[i], kEnd)) {
            inBlock = false;
            if (i + 1 != lines.size()) {
                return false;
            }
        }
    }
    return !inBlock;
}

struct Machine {
    explicit Machine(const std::string& loader, const std::optional<std::string>& launch) {
        files.AddDirectory("C:\\KelvaneData");
        files.AddFile(kLoaderPath, loader);
        if (launch) {
            files.AddFile(kLaunchPath, *launch);
        }
    }
    std::optional<std::string> Launch() const { return files.Contents(kLaunchPath); }

    std::int16_t Register() {
        LaunchEditContext run = Context();
        return RegisterAddon(run, kLaunchPath);
    }
    // The result, or the error number raised.
    std::int32_t Remove() {
        LaunchEditContext run = Context();
        try {
            return RemoveAddon(run, kLaunchPath);
        } catch (const RuntimeError& error) {
            return error.Number();
        }
    }

    testing::MemoryFileSystem files;
    testing::RecordingEventLog eventLog;
    fuzz::CountingBoxes boxes;
    FileLib fileLib{files, eventLog};
    std::string loaderFile = kLoaderPath;
    std::int16_t step = 0;

  private:
    LaunchEditContext Context() {
        return LaunchEditContext{
            fileLib, boxes, [](const std::string&) {}, [](const std::string&) {}, loaderFile, step};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::AsText(data, size);
    const std::size_t separator = input.find(kSeparator);
    const std::string loaderBytes(input.substr(0, separator));
    const std::optional<std::string> launch =
        separator == std::string_view::npos
            ? std::nullopt
            : std::optional(std::string(input.substr(separator + 1)));
    const std::string old = launch.value_or("");
    const std::string_view bom = old.starts_with(kBom) ? kBom : std::string_view();
    const Lines oldLines = fuzz::ReferenceLines(WithoutBom(old));
    const std::vector<bool> oldJoins = fuzz::ReferenceJoins(WithoutBom(old));
    const Loader loader = ReadLoader(loaderBytes);

    // Removal.
    Machine removal(loaderBytes, launch);
    const std::int32_t removed = removal.Remove();
    if (!loader.cut) {
        FUZZ_REQUIRE(removed == ErrorNumber::InvalidProcedureCall ||
                     removed == ErrorNumber::Overflow);
        FUZZ_REQUIRE(removal.Launch() == launch);
    } else if (RemovalRefused(oldLines, oldJoins, loader.id)) {
        FUZZ_REQUIRE(removed == ErrorNumber::InvalidFileFormat);
        FUZZ_REQUIRE(removal.Launch() == launch);
    } else {
        FUZZ_REQUIRE(removed == LaunchResult::Removed);
        std::string expected(bom);
        for (const std::string& line : OutsideRemovedBlocks(oldLines, loader.id)) {
            expected += line + "\r\n";
        }
        FUZZ_REQUIRE(removal.Launch() == (expected == bom ? expected + "\r\n" : expected));
    }

    // Registration.
    Machine registration(loaderBytes, launch);
    const std::int16_t registered = registration.Register();
    const std::optional<std::string> after = registration.Launch();
    if (!loader.cut) {
        FUZZ_REQUIRE(registered == LaunchResult::ErrorReported);
        FUZZ_REQUIRE(registration.boxes.shown.size() == 1 &&
                     registration.boxes.shown[0].starts_with("Error at Step: 203\r\n"));
        FUZZ_REQUIRE(after == launch);
        return 0;
    }
    if (std::none_of(loader.rest.begin(), loader.rest.end(),
                     [](const std::string& line) { return fuzz::Has(line, kEnd); })) {
        FUZZ_REQUIRE(registered == LaunchResult::ErrorReported);
        FUZZ_REQUIRE(registration.boxes.shown.size() == 1 &&
                     registration.boxes.shown[0].starts_with("Error at Step: 203\r\n"));
        FUZZ_REQUIRE(after == launch);
        return 0;
    }
    bool present = false;
    bool sameRevision = false;
    for (const std::string& line : oldLines) {
        present = present || OwnStart(line, loader.id);
        sameRevision = sameRevision || RemovalStart(line, loader.id);
    }
    if (present && !sameRevision && ReplaceRefused(oldLines, oldJoins, loader.id)) {
        FUZZ_REQUIRE(registered == LaunchResult::ErrorReported);
        FUZZ_REQUIRE(registration.boxes.shown.size() == 1 &&
                     registration.boxes.shown[0].starts_with("Error at Step: 204\r\n"));
        FUZZ_REQUIRE(after == launch);
        return 0;
    }
    FUZZ_REQUIRE(registration.boxes.shown.empty());
    const Lines outside = OutsideOwnBlocks(oldLines, loader.id);
    if (!present) {
        FUZZ_REQUIRE(registered == LaunchResult::Added);
        std::string expected = old + "\r\n" + loader.id.RegID + "\r\n";
        for (const std::string& line : loader.rest) {
            expected += line + "\r\n";
        }
        FUZZ_REQUIRE(after == expected);
    } else if (sameRevision) {
        FUZZ_REQUIRE(registered == LaunchResult::AlreadyRegistered);
        FUZZ_REQUIRE(after == launch);
    } else {
        FUZZ_REQUIRE(registered == LaunchResult::Replaced);
        FUZZ_REQUIRE(after && after->starts_with(bom) && after->ends_with("\r\n"));
        FUZZ_REQUIRE(!after->ends_with("\r\n\r\n") && !after->ends_with("\n\r\n"));
        const Lines newLines = fuzz::ReferenceLines(std::string_view(*after).substr(bom.size()));
        FUZZ_REQUIRE(IsSubsequence(outside, newLines));
        bool hasNewBlock = false;
        for (const std::string& line : newLines) {
            hasNewBlock = hasNewBlock || line == loader.id.RegID;
            // Every old RegID line of the add-on went with its block.
            FUZZ_REQUIRE(!OwnStart(line, loader.id) || line == loader.id.RegID ||
                         std::find(loader.rest.begin(), loader.rest.end(), line) !=
                             loader.rest.end());
        }
        FUZZ_REQUIRE(hasNewBlock);
    }

    // Registration, then removal of the same add-on.
    bool ambiguousEnd =
        false;  // an own block whose end marker stands in a RegID line of this revision
    for (const std::string& line : oldLines) {
        ambiguousEnd = ambiguousEnd || (RemovalStart(line, loader.id) && fuzz::Has(line, kEnd));
    }
    if (!WellFormed(loader) || (registered == LaunchResult::AlreadyRegistered && ambiguousEnd)) {
        return 0;
    }
    const std::string_view registeredText = std::string_view(*after).substr(bom.size());
    if (RemovalRefused(fuzz::ReferenceLines(registeredText), fuzz::ReferenceJoins(registeredText),
                       loader.id)) {
        FUZZ_REQUIRE(registration.Remove() == ErrorNumber::InvalidFileFormat);
        return 0;
    }
    FUZZ_REQUIRE(registration.Remove() == LaunchResult::Removed);
    // A first line that reads as a byte-order mark only once its LFs are dropped ("\xEF\n\xBB\xBF")
    // is a mark after the rewrite, and the removal rightly reads it as one: nothing to compare.
    if (bom.empty() && registration.Launch()->starts_with(kBom)) {
        return 0;
    }
    // A byte-order mark only where the file had one: the same bytes further in are text.
    const Lines final =
        NonEmpty(fuzz::ReferenceLines(std::string_view(*registration.Launch()).substr(bom.size())));
    if (registered == LaunchResult::AlreadyRegistered) {
        FUZZ_REQUIRE(IsSubsequence(outside, final));
    } else {
        FUZZ_REQUIRE(final == outside);
    }
    return 0;
}
