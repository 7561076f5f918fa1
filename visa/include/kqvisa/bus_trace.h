// What went over the simulated bus: every VISA operation, in call order across all sessions.
// Tests read it to assert exact traffic; it records from the start and costs one record per call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "visa.h"

namespace kqvisa {

enum class Op {
    OpenDefaultRM,
    Open,
    Close,
    FindRsrc,
    FindNext,
    ParseRsrc,
    GetAttribute,
    SetAttribute,
    StatusDesc,
    Write,
    Read,
    Clear,
    ReadSTB,
    In16,
    Out16,
    MoveOut16,
    MapAddress,
    Peek16,
    UnmapAddress,
    MoveIn16,
    Poke16,
    In8,
    Out8,
    Flush,
    AssertTrigger,
    EnableEvent,
    DisableEvent,
    DiscardEvents,
    WaitOnEvent,
};

const char* opName(Op op);

struct TraceRecord {
    Op op;
    ViSession session = 0;         // the session the call was made on (0 for none)
    std::string resource;          // descriptor of that session's resource, "" for a resource manager
    ViStatus status = VI_SUCCESS;  // what the call returned
    bool formatted = false;        // Write/Read made by viPrintf, viScanf or viQueryf
    std::string data;  // Write: bytes accepted; Read: bytes returned; Open/FindRsrc: descriptor or expression
                       // FindNext: descriptor returned; ParseRsrc: descriptor; StatusDesc: text returned;
                       // GetAttribute of a text attribute: the text
    ViAttr attribute = 0;     // Get/SetAttribute
    ViAttrState value = 0;    // SetAttribute value, GetAttribute result, Out16/In16/Peek16/Poke16 word;
                              // OpenDefaultRM/Open: the new session; FindRsrc: match count;
                              // ReadSTB: status byte; MapAddress: window size; Flush: mask;
                              // StatusDesc: the status described; AssertTrigger: protocol;
                              // events: the event type
    std::uint16_t space = 0;  // register operations
    ViBusAddress offset = 0;  // register operations and MapAddress
    std::vector<std::uint16_t> words;  // MoveOut16: the words the module took; MoveIn16: the words read
};

// Snapshot of the records since the last clear: the most recent ones, at most 100000 records and
// about 32 MiB of data and words.
std::vector<TraceRecord> trace();
void clearTrace();

// Recording is on from the start. A program that streams large blocks and never reads the trace can
// switch it off to save the copy of every word; records made while it is off are lost.
void setTraceRecording(bool on);

// The message texts written (Write records, formatted or not) in order, optionally for one resource
// descriptor only ("" = all sessions; any spelling of a descriptor, e.g. "vxi::24"). One entry per
// successful write, holding the bytes the module accepted.
std::vector<std::string> writtenMessages(const std::string& resource = "");

}  // namespace kqvisa
