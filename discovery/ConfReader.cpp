#include "discovery/ConfReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <exception>

#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

constexpr const char* kSource = "FileLib:GetPathFromConf";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at;
}

// Decimal exponent of the first non-zero digit of a mantissa whose integer part ends at `intEnd`.
std::int64_t LeadingDigitExponent(std::string_view number, std::size_t intEnd) {
    for (std::size_t i = 0; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] >= '1' && number[i] <= '9') {
            return i < intEnd ? static_cast<std::int64_t>(intEnd - 1 - i)
                              : -static_cast<std::int64_t>(i - intEnd);
        }
    }
    return 0;
}

// True when `key` is `upperName` in any case.
bool IsKey(std::string_view key, std::string_view upperName) {
    return key.size() == upperName.size() &&
           std::equal(key.begin(), key.end(), upperName.begin(), [](char c, char upper) {
               return std::toupper(static_cast<unsigned char>(c)) == upper;
           });
}

}  // namespace

std::int16_t ReadInstanceNumber(std::string_view value) {
    const RuntimeError notANumber(ErrorNumber::TypeMismatch, kSource);
    std::string_view number = TrimSpacesView(value);
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    // Check the whole grammar first: from_chars alone would accept a prefix, "inf" or "nan".
    std::size_t at = SkipDigits(number, 0);
    std::size_t digits = at;
    if (at < number.size() && number[at] == '.') {
        const std::size_t fractionEnd = SkipDigits(number, at + 1);
        digits += fractionEnd - at - 1;
        at = fractionEnd;
    }
    if (digits == 0) {
        throw notANumber;
    }
    const std::size_t intEnd = SkipDigits(number, 0);
    std::int64_t exponentValue = 0;  // saturated: only its size relative to the mantissa matters
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        std::size_t exponent = at + 1;
        bool negativeExponent = false;
        if (exponent < number.size() && (number[exponent] == '+' || number[exponent] == '-')) {
            negativeExponent = number[exponent] == '-';
            ++exponent;
        }
        const std::size_t exponentEnd = SkipDigits(number, exponent);
        if (exponentEnd == exponent) {
            throw notANumber;
        }
        for (std::size_t i = exponent; i < exponentEnd; ++i) {
            exponentValue =
                std::min<std::int64_t>(exponentValue * 10 + (number[i] - '0'), 1'000'000'000'000);
        }
        exponentValue = negativeExponent ? -exponentValue : exponentValue;
        at = exponentEnd;
    }
    if (at != number.size()) {
        throw notANumber;
    }
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (error == std::errc::result_out_of_range) {
        // Beyond the double's range: too large overflows, too small is as good as zero.
        if (LeadingDigitExponent(number, intEnd) + exponentValue >= 0) {
            throw RuntimeError(ErrorNumber::Overflow, kSource);
        }
        parsed = 0.0;
    } else if (error != std::errc() || end != number.data() + number.size()) {
        throw notANumber;
    }
    // nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(negative ? -parsed : parsed);
    if (rounded < INT16_MIN || rounded > INT16_MAX) {
        throw RuntimeError(ErrorNumber::Overflow, kSource);
    }
    return static_cast<std::int16_t>(rounded);
}

std::string GetPathFromConf(const std::string& path, TrapState& trap, platform::FileSystem& files,
                            platform::EventLog& eventLog) {
    try {
        std::string result;
        trap.Step = 1;
        const std::uint64_t length = files.FileLength(path);
        if (length > FileLib::kLargestTextFile) {
            throw RuntimeError(ErrorNumber::OutOfMemory, kSource,
                               "File larger than 1 GiB: " + path);
        }
        trap.Step = 2;
        std::string text = files.ReadFile(path, length);
        // A line is what stands before a CR, its LFs dropped. Dropping them all at once, in place,
        // gives the same lines as views of the text: a line of any size (a DATADIR of 100 MiB)
        // costs nothing beyond the file, where copying it, its key and its value cost it thrice.
        std::erase(text, kLf);
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t cr = rest.find(kCr);
            const std::string_view line = rest.substr(0, cr);
            rest.remove_prefix(cr == std::string_view::npos ? rest.size() : cr + 1);
            trap.Step = 3;
            if (line.empty() || line.front() == '[') {
                continue;
            }
            const std::size_t equals = line.find('=');
            const std::string_view key = TrimSpacesView(line.substr(0, equals));
            const bool hasValue = equals != std::string_view::npos;
            const std::string_view value = hasValue ? line.substr(equals + 1) : std::string_view();
            if (IsKey(key, "DATADIR")) {
                if (!hasValue) {
                    throw RuntimeError(ErrorNumber::SubscriptOutOfRange, kSource);
                }
                if (value.size() > FileLib::kLongestPath) {
                    throw RuntimeError(ErrorNumber::BadFileNameOrNumber, kSource);
                }
                result = std::string(value);
            } else if (IsKey(key, "INSTANCE")) {
                if (!hasValue) {
                    throw RuntimeError(ErrorNumber::SubscriptOutOfRange, kSource);
                }
                ReadInstanceNumber(value);
            }
        }
        return result;
    } catch (...) {
        RaiseFromTrap(AsRuntimeError(std::current_exception(), kSource), trap.LastErrorText,
                      trap.Step, eventLog, " FileLib:GetPathFromConf, Step = ", kSource);
    }
}

}  // namespace brelmont
