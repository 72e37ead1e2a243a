#include "support/RuntimeError.h"

#include <array>
#include <new>
#include <utility>

#include "platform/Services.h"

namespace brelmont {
namespace {

struct KnownError {
    std::int32_t number;
    const char* description;
};

constexpr std::array kKnownErrors{
    KnownError{3, "Return without GoSub"},
    KnownError{5, "Invalid procedure call or argument"},
    KnownError{6, "Overflow"},
    KnownError{7, "Out of memory"},
    KnownError{9, "Subscript out of range"},
    KnownError{11, "Division by zero"},
    KnownError{13, "Type mismatch"},
    KnownError{51, "Internal error"},
    KnownError{52, "Bad file name or number"},
    KnownError{53, "File not found"},
    KnownError{54, "Bad file mode"},
    KnownError{55, "File already open"},
    KnownError{57, "Device I/O error"},
    KnownError{58, "File already exists"},
    KnownError{61, "Disk full"},
    KnownError{62, "Input past end of file"},
    KnownError{67, "Too many files"},
    KnownError{68, "Device unavailable"},
    KnownError{70, "Permission denied"},
    KnownError{71, "Disk not ready"},
    KnownError{74, "Can't rename with different drive"},
    KnownError{75, "Path/File access error"},
    KnownError{76, "Path not found"},
    KnownError{321, "Invalid file format"},
};

}  // namespace

std::string DescribeError(std::int32_t number) {
    for (const auto& known : kKnownErrors) {
        if (known.number == number) {
            return known.description;
        }
    }
    return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

RuntimeError::RuntimeError(std::int32_t number, std::string source)
    : RuntimeError(number, std::move(source), DescribeError(number)) {}

bool AddObjectErrorBase(std::int32_t caught, std::int32_t& raised) {
    const std::int64_t sum =
        static_cast<std::int64_t>(caught) + static_cast<std::int64_t>(ErrorNumber::ObjectErrorBase);
    if (sum < INT32_MIN || sum > INT32_MAX) {
        return false;
    }
    raised = static_cast<std::int32_t>(sum);
    return true;
}

void RaiseFromTrap(const RuntimeError& caught, std::string& lastErrorText, std::int16_t step,
                   platform::EventLog& eventLog, std::string_view location,
                   std::string_view source) {
    lastErrorText = caught.Description();
    const std::string stepText = std::to_string(step);
    eventLog.WriteError(lastErrorText + std::string(location) + stepText);
    std::int32_t raised = 0;
    if (!AddObjectErrorBase(caught.Number(), raised)) {
        throw RuntimeError(ErrorNumber::Overflow, std::string(source));
    }
    throw RuntimeError(raised, std::string(source), lastErrorText + ", Step = " + stepText);
}

RuntimeError AsRuntimeError(std::exception_ptr caught, std::string_view source) {
    try {
        std::rethrow_exception(std::move(caught));
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError(ErrorNumber::OutOfMemory, std::string(source));
    } catch (const std::length_error&) {
        return RuntimeError(ErrorNumber::OutOfMemory, std::string(source));
    } catch (const std::exception& other) {
        return RuntimeError(ErrorNumber::InternalError, std::string(source), other.what());
    }
}

}  // namespace brelmont
