#include <atomic>
#include <deque>
#include <mutex>

#include "export.h"
#include "io_trace_file.h"
#include "resource_name.h"
#include "text_compare.h"
#include "trace_log.h"

namespace kqvisa {

namespace {

// A long-running client (a front panel polling or streaming to a module) must not grow the trace
// without bound: the oldest records go once either limit is reached.
constexpr std::size_t kMaxRecords = 100000;
constexpr std::size_t kMaxPayloadBytes = 32u << 20;

std::size_t payloadBytes(const TraceRecord& record) {
    return record.data.size() + record.resource.size() + record.words.size() * sizeof(std::uint16_t);
}

struct TraceStore {
    std::mutex mutex;
    std::deque<TraceRecord> records;
    std::size_t payload = 0;
};

std::atomic<bool> recording{true};

TraceStore& traceStore() {
    // Never destroyed: a client may still call in from its own static destructors at exit.
    static TraceStore* const store = new TraceStore;
    return *store;
}

struct OpNameEntry {
    Op op;
    const char* name;
};

constexpr OpNameEntry kOpNames[] = {
    {Op::OpenDefaultRM, "viOpenDefaultRM"},
    {Op::Open, "viOpen"},
    {Op::Close, "viClose"},
    {Op::FindRsrc, "viFindRsrc"},
    {Op::FindNext, "viFindNext"},
    {Op::ParseRsrc, "viParseRsrc"},
    {Op::GetAttribute, "viGetAttribute"},
    {Op::SetAttribute, "viSetAttribute"},
    {Op::StatusDesc, "viStatusDesc"},
    {Op::Write, "viWrite"},
    {Op::Read, "viRead"},
    {Op::Clear, "viClear"},
    {Op::ReadSTB, "viReadSTB"},
    {Op::In16, "viIn16"},
    {Op::Out16, "viOut16"},
    {Op::MoveOut16, "viMoveOut16"},
    {Op::MapAddress, "viMapAddress"},
    {Op::Peek16, "viPeek16"},
    {Op::UnmapAddress, "viUnmapAddress"},
    {Op::MoveIn16, "viMoveIn16"},
    {Op::Poke16, "viPoke16"},
    {Op::In8, "viIn8"},
    {Op::Out8, "viOut8"},
    {Op::Flush, "viFlush"},
    {Op::AssertTrigger, "viAssertTrigger"},
    {Op::EnableEvent, "viEnableEvent"},
    {Op::DisableEvent, "viDisableEvent"},
    {Op::DiscardEvents, "viDiscardEvents"},
    {Op::WaitOnEvent, "viWaitOnEvent"},
};

bool sameResource(const std::string& recorded, const std::string& wanted) {
    const auto recordedName = parseResourceName(recorded);
    const auto wantedName = parseResourceName(wanted);
    if (recordedName && wantedName) return *recordedName == *wantedName;
    return equalsNoCase(recorded, wanted);
}

}  // namespace

bool traceRecording() { return recording.load(std::memory_order_relaxed) || ioTraceOn(); }

void appendTrace(TraceRecord record) {
    writeIoTrace(record);
    if (!recording.load(std::memory_order_relaxed)) return;
    TraceStore& store = traceStore();
    std::lock_guard lock(store.mutex);
    store.payload += payloadBytes(record);
    store.records.push_back(std::move(record));
    while (store.records.size() > 1 &&
           (store.records.size() > kMaxRecords || store.payload > kMaxPayloadBytes)) {
        store.payload -= payloadBytes(store.records.front());
        store.records.pop_front();
    }
}

KQ_VISA_EXPORT void setTraceRecording(bool on) { recording.store(on, std::memory_order_relaxed); }

KQ_VISA_EXPORT const char* opName(Op op) {
    for (const OpNameEntry& entry : kOpNames) {
        if (entry.op == op) return entry.name;
    }
    return "unknown operation";
}

KQ_VISA_EXPORT std::vector<TraceRecord> trace() {
    TraceStore& store = traceStore();
    std::lock_guard lock(store.mutex);
    return {store.records.begin(), store.records.end()};
}

KQ_VISA_EXPORT void clearTrace() {
    TraceStore& store = traceStore();
    std::lock_guard lock(store.mutex);
    store.records.clear();
    store.payload = 0;
}

KQ_VISA_EXPORT std::vector<std::string> writtenMessages(const std::string& resource) {
    std::vector<std::string> messages;
    for (const TraceRecord& record : trace()) {
        if (record.op != Op::Write || record.status < VI_SUCCESS) continue;
        if (!resource.empty() && !sameResource(record.resource, resource)) continue;
        messages.push_back(record.data);
    }
    return messages;
}

}  // namespace kqvisa
