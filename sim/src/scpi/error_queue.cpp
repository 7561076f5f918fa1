#include "scpi/error_queue.h"

#include <array>
#include <utility>

#include "scpi/number_text.h"
#include "scpi/response_text.h"
#include "scpi/status_system.h"

namespace kqsim::scpi {
namespace {

struct StandardError {
    int code;
    std::string_view text;
};

constexpr std::array standardErrors{
    StandardError{err::noError, "No error"},
    StandardError{err::commandError, "Command error"},
    StandardError{err::invalidCharacter, "Invalid character"},
    StandardError{err::syntaxError, "Syntax error"},
    StandardError{err::invalidSeparator, "Invalid separator"},
    StandardError{err::dataTypeError, "Data type error"},
    StandardError{err::getNotAllowed, "GET not allowed"},
    StandardError{err::parameterNotAllowed, "Parameter not allowed"},
    StandardError{err::missingParameter, "Missing parameter"},
    StandardError{err::commandHeaderError, "Command header error"},
    StandardError{err::headerSeparatorError, "Header separator error"},
    StandardError{err::mnemonicTooLong, "Program mnemonic too long"},
    StandardError{err::undefinedHeader, "Undefined header"},
    StandardError{err::headerSuffixOutOfRange, "Header suffix out of range"},
    StandardError{err::unexpectedNumberOfParameters, "Unexpected number of parameters"},
    StandardError{err::numericDataError, "Numeric data error"},
    StandardError{err::invalidCharacterInNumber, "Invalid character in number"},
    StandardError{err::exponentTooLarge, "Exponent too large"},
    StandardError{err::tooManyDigits, "Too many digits"},
    StandardError{err::numericDataNotAllowed, "Numeric data not allowed"},
    StandardError{err::suffixError, "Suffix error"},
    StandardError{err::invalidSuffix, "Invalid suffix"},
    StandardError{err::suffixTooLong, "Suffix too long"},
    StandardError{err::suffixNotAllowed, "Suffix not allowed"},
    StandardError{err::characterDataError, "Character data error"},
    StandardError{err::invalidCharacterData, "Invalid character data"},
    StandardError{err::characterDataTooLong, "Character data too long"},
    StandardError{err::characterDataNotAllowed, "Character data not allowed"},
    StandardError{err::stringDataError, "String data error"},
    StandardError{err::invalidStringData, "Invalid string data"},
    StandardError{err::stringDataNotAllowed, "String data not allowed"},
    StandardError{err::blockDataError, "Block data error"},
    StandardError{err::invalidBlockData, "Invalid block data"},
    StandardError{err::blockDataNotAllowed, "Block data not allowed"},
    StandardError{err::expressionError, "Expression error"},
    StandardError{err::invalidExpression, "Invalid expression"},
    StandardError{err::expressionDataNotAllowed, "Expression data not allowed"},
    StandardError{err::executionError, "Execution error"},
    StandardError{err::commandProtected, "Command protected"},
    StandardError{err::triggerError, "Trigger error"},
    StandardError{err::triggerIgnored, "Trigger ignored"},
    StandardError{err::initIgnored, "Init ignored"},
    StandardError{err::triggerDeadlock, "Trigger deadlock"},
    StandardError{err::parameterError, "Parameter error"},
    StandardError{err::settingsConflict, "Settings conflict"},
    StandardError{err::dataOutOfRange, "Data out of range"},
    StandardError{err::tooMuchData, "Too much data"},
    StandardError{err::illegalParameterValue, "Illegal parameter value"},
    StandardError{err::outOfMemory, "Out of memory"},
    StandardError{err::listsNotSameLength, "Lists not same length"},
    StandardError{err::dataCorruptOrStale, "Data corrupt or stale"},
    StandardError{err::hardwareError, "Hardware error"},
    StandardError{err::hardwareMissing, "Hardware missing"},
    StandardError{err::deviceSpecificError, "Device-specific error"},
    StandardError{err::systemError, "System error"},
    StandardError{err::memoryError, "Memory error"},
    StandardError{err::calibrationMemoryLost, "Calibration memory lost"},
    StandardError{err::saveRecallMemoryLost, "Save/recall memory lost"},
    StandardError{err::configurationMemoryLost, "Configuration memory lost"},
    StandardError{err::selfTestFailed, "Self-test failed"},
    StandardError{err::calibrationFailed, "Calibration failed"},
    StandardError{err::queueOverflow, "Queue overflow"},
    StandardError{err::communicationError, "Communication error"},
    StandardError{err::inputBufferOverrun, "Input buffer overrun"},
    StandardError{err::queryError, "Query error"},
    StandardError{err::queryInterrupted, "Query INTERRUPTED"},
    StandardError{err::queryUnterminated, "Query UNTERMINATED"},
    StandardError{err::queryDeadlocked, "Query DEADLOCKED"},
    StandardError{err::queryUnterminatedAfterIndefinite, "Query UNTERMINATED after indefinite response"},
    StandardError{err::powerOn, "Power on"},
    StandardError{err::userRequest, "User request"},
    StandardError{err::requestControl, "Request control"},
    StandardError{err::operationComplete, "Operation complete"},
};

// Error classes by their hundreds: the number that names the class and the event bit it sets.
struct ErrorClass {
    int hundreds;  // -1 for -100..-199, ...
    int classCode;
    std::uint8_t eventBits;
};

constexpr std::array errorClasses{
    ErrorClass{-1, err::commandError, esr::commandError},
    ErrorClass{-2, err::executionError, esr::executionError},
    ErrorClass{-3, err::deviceSpecificError, esr::deviceError},
    ErrorClass{-4, err::queryError, esr::queryError},
    ErrorClass{-5, err::powerOn, esr::powerOn},
    ErrorClass{-6, err::userRequest, esr::userRequest},
    ErrorClass{-7, err::requestControl, esr::requestControl},
    ErrorClass{-8, err::operationComplete, esr::operationComplete},
};

const ErrorClass* classOf(int code) {
    for (const auto& errorClass : errorClasses) {
        if (code / 100 == errorClass.hundreds) return &errorClass;
    }
    return nullptr;
}

}  // namespace

std::string_view standardErrorText(int code) {
    for (const auto& entry : standardErrors) {
        if (entry.code == code) return entry.text;
    }
    if (const ErrorClass* errorClass = classOf(code)) return standardErrorText(errorClass->classCode);
    return standardErrorText(err::deviceSpecificError);
}

std::uint8_t eventBitsForError(int code) {
    if (code == err::noError) return 0;
    if (const ErrorClass* errorClass = classOf(code)) return errorClass->eventBits;
    return esr::deviceError;
}

std::string formatErrorReply(const ErrorEntry& entry) {
    return formatInteger(entry.code) + "," + formatString(entry.text);
}

ErrorQueue::ErrorQueue(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

void ErrorQueue::define(int code, std::string text) { deviceTexts_[code] = std::move(text); }

std::string ErrorQueue::textOf(int code) const {
    if (auto found = deviceTexts_.find(code); found != deviceTexts_.end()) return found->second;
    return std::string(standardErrorText(code));
}

bool ErrorQueue::push(int code) {
    if (code == err::noError) return true;
    if (entries_.size() < capacity_) {
        entries_.push_back({code, textOf(code)});
        return true;
    }
    entries_.back() = {err::queueOverflow, textOf(err::queueOverflow)};
    return false;
}

ErrorEntry ErrorQueue::pop() {
    if (entries_.empty()) return {err::noError, textOf(err::noError)};
    ErrorEntry oldest = std::move(entries_.front());
    entries_.pop_front();
    return oldest;
}

}  // namespace kqsim::scpi
