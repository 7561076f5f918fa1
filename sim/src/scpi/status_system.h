// The IEEE 488.2 status reporting structure: standard event status register with its enable,
// status byte with service request enable, and the SCPI operation and questionable status groups.
#pragma once

#include <cstdint>

namespace kqsim::scpi {

// Standard event status register bits.
namespace esr {
inline constexpr std::uint8_t operationComplete = 0x01;  // OPC
inline constexpr std::uint8_t requestControl = 0x02;     // RQC
inline constexpr std::uint8_t queryError = 0x04;         // QYE
inline constexpr std::uint8_t deviceError = 0x08;        // DDE
inline constexpr std::uint8_t executionError = 0x10;     // EXE
inline constexpr std::uint8_t commandError = 0x20;       // CME
inline constexpr std::uint8_t userRequest = 0x40;        // URQ
inline constexpr std::uint8_t powerOn = 0x80;            // PON
}  // namespace esr

// Status byte bits.
namespace stb {
inline constexpr std::uint8_t errorAvailable = 0x04;       // the error/event queue is not empty
inline constexpr std::uint8_t questionableSummary = 0x08;  // QUES event & enable non-zero
inline constexpr std::uint8_t messageAvailable = 0x10;     // MAV: a reply is waiting to be read
inline constexpr std::uint8_t eventSummary = 0x20;         // ESB: ESR & ESE non-zero
inline constexpr std::uint8_t masterSummary = 0x40;        // MSS in *STB?, RQS in a serial poll
inline constexpr std::uint8_t operationSummary = 0x80;     // OPER event & enable non-zero
}  // namespace stb

// A SCPI status group: condition, event (latched on a condition bit going from 0 to 1, until read)
// and enable. Bit 15 is never used, so values stay positive as 16-bit integers.
class StatusGroup {
public:
    void setCondition(std::uint16_t bits, bool on);
    std::uint16_t condition() const { return condition_; }
    std::uint16_t events() const { return events_; }
    std::uint16_t readEvents();  // returns and clears
    void clearEvents() { events_ = 0; }
    void setEnable(std::uint16_t mask);
    std::uint16_t enable() const { return enable_; }
    bool summary() const { return (events_ & enable_) != 0; }

private:
    std::uint16_t condition_ = 0;
    std::uint16_t events_ = 0;
    std::uint16_t enable_ = 0;
};

class StatusSystem {
public:
    // Standard event status register: events latch until read (*ESR?) or cleared (*CLS).
    void setEvents(std::uint8_t bits);
    std::uint8_t events() const { return events_; }
    std::uint8_t readEvents();  // returns and clears
    void setEventEnable(std::uint8_t mask);
    std::uint8_t eventEnable() const { return eventEnable_; }

    // Service request enable; bit 6 cannot be enabled.
    void setServiceRequestEnable(std::uint8_t mask);
    std::uint8_t serviceRequestEnable() const { return serviceRequestEnable_; }

    // Operation and questionable status groups.
    void setOperationCondition(std::uint16_t bits, bool on);
    std::uint16_t operationCondition() const { return operation_.condition(); }
    std::uint16_t readOperationEvents();
    void setOperationEnable(std::uint16_t mask);
    std::uint16_t operationEnable() const { return operation_.enable(); }
    void setQuestionableCondition(std::uint16_t bits, bool on);
    std::uint16_t questionableCondition() const { return questionable_.condition(); }
    std::uint16_t readQuestionableEvents();
    void setQuestionableEnable(std::uint16_t mask);
    std::uint16_t questionableEnable() const { return questionable_.enable(); }

    // Whether a reply is waiting (MAV) and whether the error queue holds an entry; the interpreter
    // keeps both current.
    void setMessageAvailable(bool available);
    void setErrorAvailable(bool available);

    // *CLS: event registers cleared; enables and conditions kept.
    void clearEvents();
    // STAT:PRES: the operation and questionable enables back to 0.
    void preset();

    // *STB?: the status byte with MSS in bit 6.
    std::uint8_t statusByte() const;
    // Serial poll: the status byte with RQS in bit 6. RQS is set when MSS goes from 0 to 1 and
    // cleared by the poll, or when MSS goes back to 0 first: the request goes with its cause.
    std::uint8_t serialPoll();
    // Whether the module asserts its service request (RQS set and not yet polled).
    bool serviceRequested() const { return requestService_; }

private:
    void update();

    std::uint8_t events_ = 0;
    std::uint8_t eventEnable_ = 0;
    std::uint8_t serviceRequestEnable_ = 0;
    StatusGroup operation_;
    StatusGroup questionable_;
    bool messageAvailable_ = false;
    bool errorAvailable_ = false;
    bool summaryWasSet_ = false;
    bool requestService_ = false;
};

}  // namespace kqsim::scpi
