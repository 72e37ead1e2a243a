#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brelmont {

// The classic run-time error numbers the program reports. Front ends and callers see these numbers,
// so they never change meaning.
namespace ErrorNumber {
inline constexpr std::int32_t InvalidProcedureCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t InternalError = 51;
inline constexpr std::int32_t BadFileNameOrNumber = 52;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t FileAlreadyOpen = 55;
inline constexpr std::int32_t DeviceIoError = 57;
inline constexpr std::int32_t FileAlreadyExists = 58;
inline constexpr std::int32_t DiskFull = 61;
inline constexpr std::int32_t InputPastEndOfFile = 62;
inline constexpr std::int32_t TooManyFiles = 67;
inline constexpr std::int32_t DeviceUnavailable = 68;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t CannotRenameWithDifferentDrive = 74;
inline constexpr std::int32_t PathFileAccessError = 75;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t InvalidFileFormat = 321;
// Base of program-defined error numbers; traps add it to the number they pass on.
inline constexpr std::int32_t ObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
}  // namespace ErrorNumber

// The standard description of a run-time error number ("Application-defined or object-defined
// error" for numbers without one).
std::string DescribeError(std::int32_t number);

// A failure that passes from a routine to its caller: number, source and description.
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(std::int32_t number, std::string source, std::string description);
    // An error with the standard description of its number.
    explicit RuntimeError(std::int32_t number, std::string source = "Brelmont");

    std::int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

  private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// The state a trapped routine reports from: its stage and the last description it caught.
struct TrapState {
    std::int16_t Step = 0;
    std::string LastErrorText;
};

namespace platform {
class EventLog;
}

// The error number a trap passes on for a caught number: caught + 0x80040000 in 32-bit signed
// arithmetic; empty when that overflows.
bool AddObjectErrorBase(std::int32_t caught, std::int32_t& raised);

// The pass-on trap: keeps the description, writes one error entry "<description><location><step>"
// to the event log, then throws the error again with the object-error base added, the given source
// and "<description>, Step = <step>" (or the overflow error when the number overflows).
[[noreturn]] void RaiseFromTrap(const RuntimeError& caught, std::string& lastErrorText,
                                std::int16_t step, platform::EventLog& eventLog,
                                std::string_view location, std::string_view source);

// Turns whatever a trapped routine caught into a run-time error (memory exhaustion becomes the
// out-of-memory error).
RuntimeError AsRuntimeError(std::exception_ptr caught, std::string_view source);

}  // namespace brelmont
