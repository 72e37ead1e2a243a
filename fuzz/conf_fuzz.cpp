// The configuration reader on any file bytes, against a model of the file's rules written out
// here: the last DATADIR line gives the result, and the first DATADIR or INSTANCE line that breaks
// a rule ends the reading with the error that rule names, reported once, at step 3.

#include <cctype>
#include <cfenv>
#include <cmath>
#include <optional>

#include "discovery/ConfReader.h"
#include "fuzz/FuzzSupport.h"
#include "tests/testkit/ScriptedPlatform.h"

using namespace brelmont;

namespace {

constexpr const char* kPath = "C:\\Kelvane\\Kelvane.conf";

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// The error an INSTANCE value raises, 0 for none: a decimal number, optionally signed, with a
// fraction and an exponent, between spaces, that rounds (half to even) into 16 bits.
std::int32_t InstanceError(std::string_view value) {
    const std::string text = fuzz::ReferenceTrimSpaces(value);
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    std::size_t digits = 0;
    for (; at < text.size() && Digit(text[at]); ++at) {
        ++digits;
    }
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && Digit(text[at]); ++at) {
            ++digits;
        }
    }
    if (digits == 0) {
        return ErrorNumber::TypeMismatch;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        const std::size_t exponentStart = at;
        while (at < text.size() && Digit(text[at])) {
            ++at;
        }
        if (at == exponentStart) {
            return ErrorNumber::TypeMismatch;
        }
    }
    if (at != text.size()) {
        return ErrorNumber::TypeMismatch;
    }
    const double rounded = std::nearbyint(std::strtod(text.c_str(), nullptr));
    return rounded < -32768.0 || rounded > 32767.0 ? ErrorNumber::Overflow : 0;
}

struct Expected {
    std::string dataDirectory;
    std::int32_t error = 0;  // the failure's own number; 0: the reading succeeds
};

Expected Model(std::string_view bytes) {
    Expected expected;
    for (const std::string& line : fuzz::ReferenceLines(bytes)) {
        if (line.empty() || line.front() == '[') {
            continue;
        }
        const std::size_t equals = line.find('=');
        std::string key = fuzz::ReferenceTrimSpaces(std::string_view(line).substr(0, equals));
        for (char& c : key) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (key != "DATADIR" && key != "INSTANCE") {
            continue;
        }
        if (equals == std::string::npos) {
            expected.error = ErrorNumber::SubscriptOutOfRange;
            return expected;
        }
        const std::string value = line.substr(equals + 1);
        if (key == "DATADIR") {
            if (value.size() > 32767) {
                expected.error = ErrorNumber::BadFileNameOrNumber;
                return expected;
            }
            expected.dataDirectory = value;
        } else if (const std::int32_t error = InstanceError(value)) {
            expected.error = error;
            return expected;
        }
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(fuzz::AsText(data, size));
    testing::MemoryFileSystem files;
    files.AddFile(kPath, bytes);
    testing::RecordingEventLog eventLog;
    TrapState trap;
    const Expected expected = Model(bytes);

    try {
        const std::string dataDirectory = GetPathFromConf(kPath, trap, files, eventLog);
        FUZZ_REQUIRE(expected.error == 0);
        FUZZ_REQUIRE(dataDirectory == expected.dataDirectory);
        FUZZ_REQUIRE(eventLog.entries.empty());
    } catch (const RuntimeError& error) {
        FUZZ_REQUIRE(expected.error != 0);
        FUZZ_REQUIRE(error.Number() == expected.error + ErrorNumber::ObjectErrorBase);
        FUZZ_REQUIRE(error.Source() == "FileLib:GetPathFromConf");
        FUZZ_REQUIRE(error.Description() == DescribeError(expected.error) + ", Step = 3");
        FUZZ_REQUIRE(trap.Step == 3 && eventLog.entries.size() == 1);
        FUZZ_REQUIRE(eventLog.entries[0] ==
                     DescribeError(expected.error) + " FileLib:GetPathFromConf, Step = 3");
    }
    // The file is read, never written.
    FUZZ_REQUIRE(files.Contents(kPath) == bytes && files.ReplaceCount() == 0);
    return 0;
}
