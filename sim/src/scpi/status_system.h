// The IEEE 488.2 status reporting structure: standard event status register with its enable,
// status byte with service request enable, and the SCPI operation status group.
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
inline constexpr std::uint8_t messageAvailable = 0x10;   // MAV: a reply is waiting to be read
inline constexpr std::uint8_t eventSummary = 0x20;       // ESB: ESR & ESE non-zero
inline constexpr std::uint8_t masterSummary = 0x40;      // MSS in *STB?, RQS in a serial poll
inline constexpr std::uint8_t operationSummary = 0x80;   // OPER event & enable non-zero
}  // namespace stb

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

    // Operation status group. A condition bit going from 0 to 1 latches its event bit.
    void setOperationCondition(std::uint16_t bits, bool on);
    std::uint16_t operationCondition() const { return operationCondition_; }
    std::uint16_t readOperationEvents();  // returns and clears
    void setOperationEnable(std::uint16_t mask);
    std::uint16_t operationEnable() const { return operationEnable_; }

    // Whether a reply is waiting (MAV); the interpreter keeps it current.
    void setMessageAvailable(bool available);

    // *CLS: event registers cleared; enables and conditions kept.
    void clearEvents();
    // STAT:PRES: the operation enable back to 0.
    void preset();

    // *STB?: the status byte with MSS in bit 6.
    std::uint8_t statusByte() const;
    // Serial poll: the status byte with RQS in bit 6. RQS is set when MSS goes from 0 to 1 and
    // cleared by the poll.
    std::uint8_t serialPoll();
    // Whether the module asserts its service request (RQS set and not yet polled).
    bool serviceRequested() const { return requestService_; }

private:
    void update();

    std::uint8_t events_ = 0;
    std::uint8_t eventEnable_ = 0;
    std::uint8_t serviceRequestEnable_ = 0;
    std::uint16_t operationCondition_ = 0;
    std::uint16_t operationEvents_ = 0;
    std::uint16_t operationEnable_ = 0;
    bool messageAvailable_ = false;
    bool summaryWasSet_ = false;
    bool requestService_ = false;
};

}  // namespace kqsim::scpi
