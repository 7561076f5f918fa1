// The SCPI error/event queue with the standard error numbers and texts, and the standard event
// status bit each error class sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace kqsim::scpi {

// Standard SCPI error numbers.
namespace err {
inline constexpr int noError = 0;
inline constexpr int commandError = -100;
inline constexpr int invalidCharacter = -101;
inline constexpr int syntaxError = -102;
inline constexpr int invalidSeparator = -103;
inline constexpr int dataTypeError = -104;
inline constexpr int getNotAllowed = -105;
inline constexpr int parameterNotAllowed = -108;
inline constexpr int missingParameter = -109;
inline constexpr int commandHeaderError = -110;
inline constexpr int headerSeparatorError = -111;
inline constexpr int mnemonicTooLong = -112;
inline constexpr int undefinedHeader = -113;
inline constexpr int headerSuffixOutOfRange = -114;
inline constexpr int unexpectedNumberOfParameters = -115;
inline constexpr int numericDataError = -120;
inline constexpr int invalidCharacterInNumber = -121;
inline constexpr int exponentTooLarge = -123;
inline constexpr int tooManyDigits = -124;
inline constexpr int numericDataNotAllowed = -128;
inline constexpr int suffixError = -130;
inline constexpr int invalidSuffix = -131;
inline constexpr int suffixTooLong = -134;
inline constexpr int suffixNotAllowed = -138;
inline constexpr int characterDataError = -140;
inline constexpr int invalidCharacterData = -141;
inline constexpr int characterDataTooLong = -144;
inline constexpr int characterDataNotAllowed = -148;
inline constexpr int stringDataError = -150;
inline constexpr int invalidStringData = -151;
inline constexpr int stringDataNotAllowed = -158;
inline constexpr int blockDataError = -160;
inline constexpr int invalidBlockData = -161;
inline constexpr int blockDataNotAllowed = -168;
inline constexpr int expressionError = -170;
inline constexpr int invalidExpression = -171;
inline constexpr int expressionDataNotAllowed = -178;
inline constexpr int executionError = -200;
inline constexpr int commandProtected = -203;
inline constexpr int triggerError = -210;
inline constexpr int triggerIgnored = -211;
inline constexpr int initIgnored = -213;
inline constexpr int triggerDeadlock = -214;
inline constexpr int parameterError = -220;
inline constexpr int settingsConflict = -221;
inline constexpr int dataOutOfRange = -222;
inline constexpr int tooMuchData = -223;
inline constexpr int illegalParameterValue = -224;
inline constexpr int outOfMemory = -225;
inline constexpr int listsNotSameLength = -226;
inline constexpr int dataCorruptOrStale = -230;
inline constexpr int hardwareError = -240;
inline constexpr int hardwareMissing = -241;
inline constexpr int deviceSpecificError = -300;
inline constexpr int systemError = -310;
inline constexpr int memoryError = -311;
inline constexpr int calibrationMemoryLost = -313;
inline constexpr int saveRecallMemoryLost = -314;
inline constexpr int configurationMemoryLost = -315;
inline constexpr int selfTestFailed = -330;
inline constexpr int calibrationFailed = -340;
inline constexpr int queueOverflow = -350;
inline constexpr int communicationError = -360;
inline constexpr int inputBufferOverrun = -363;
inline constexpr int queryError = -400;
inline constexpr int queryInterrupted = -410;
inline constexpr int queryUnterminated = -420;
inline constexpr int queryDeadlocked = -430;
inline constexpr int queryUnterminatedAfterIndefinite = -440;
inline constexpr int powerOn = -500;
inline constexpr int userRequest = -600;
inline constexpr int requestControl = -700;
inline constexpr int operationComplete = -800;
}  // namespace err

// The text of a standard error number; for a number without its own text, the text of its class
// ("Command error", "Execution error", ...). 0 is "No error".
std::string_view standardErrorText(int code);

// Standard event status bits an error sets: -100..-199 CME, -200..-299 EXE, -300..-399 and positive
// numbers DDE, -400..-499 QYE, -500s PON, -600s URQ, -700s RQC, -800s OPC; 0 sets none.
std::uint8_t eventBitsForError(int code);

struct ErrorEntry {
    int code = 0;
    std::string text;
};

// The reply to SYST:ERR?: -113,"Undefined header" (quotes inside the text doubled), no newline.
std::string formatErrorReply(const ErrorEntry& entry);

class ErrorQueue {
public:
    static constexpr std::size_t defaultCapacity = 20;
    explicit ErrorQueue(std::size_t capacity = defaultCapacity);

    // A device-specific error with its own text (positive numbers, or negative ones to replace a
    // standard text). Later definitions of the same number replace earlier ones.
    void define(int code, std::string text);
    std::string textOf(int code) const;

    // Appends an error; false when the queue was full: the newest entry then becomes -350 "Queue
    // overflow" and the error is lost, as SCPI has it. 0 is ignored.
    bool push(int code);
    // The oldest entry, removed; 0,"No error" when empty.
    ErrorEntry pop();
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

private:
    std::size_t capacity_;
    std::deque<ErrorEntry> entries_;
    std::map<int, std::string> deviceTexts_;
};

}  // namespace kqsim::scpi
