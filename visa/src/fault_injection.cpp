#include <algorithm>
#include <mutex>
#include <vector>

#include "export.h"
#include "fault_plan.h"
#include "resource_name.h"
#include "text_compare.h"

namespace kqvisa {

namespace {

struct CallFailure {
    Op op;
    ViStatus status;
    int callsLeft;
};

struct ShortWrite {
    std::uint32_t accepted;
    int callsLeft;
};

constexpr int kEveryMatch = -1;

struct ScriptedReply {
    std::string command;
    std::string reply;
    std::string resource;
    int timesLeft;
};

struct FaultPlan {
    std::mutex mutex;
    std::vector<CallFailure> failures;
    std::vector<ShortWrite> shortWrites;
    std::vector<ScriptedReply> replies;
};

FaultPlan& faultPlan() {
    // Never destroyed: a client may still call in from its own static destructors at exit.
    static FaultPlan* const plan = new FaultPlan;
    return *plan;
}

// Every armed entry counts the call; the first that reaches its call fires, and all that reached
// it are spent.
template <class Entry, class Applies>
std::optional<Entry> countCall(std::vector<Entry>& entries, Applies applies) {
    std::optional<Entry> fired;
    for (Entry& entry : entries) {
        if (!applies(entry)) continue;
        if (--entry.callsLeft == 0 && !fired) fired = entry;
    }
    std::erase_if(entries, [](const Entry& entry) { return entry.callsLeft <= 0; });
    return fired;
}

bool commandMatches(std::string_view message, std::string_view command) {
    if (message == command) return true;
    return message.size() == command.size() + 1 && message.back() == '\n' && message.starts_with(command);
}

bool resourceMatches(std::string_view resource, std::string_view wanted) {
    if (wanted.empty()) return true;
    const auto resourceName = parseResourceName(resource);
    const auto wantedName = parseResourceName(wanted);
    if (resourceName && wantedName) return *resourceName == *wantedName;
    return equalsNoCase(resource, wanted);
}

}  // namespace

std::optional<ViStatus> takeFailure(Op op) {
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    const auto fired =
        countCall(plan.failures, [op](const CallFailure& failure) { return failure.op == op; });
    if (!fired) return std::nullopt;
    return fired->status;
}

std::optional<std::uint32_t> takeShortWrite() {
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    const auto fired = countCall(plan.shortWrites, [](const ShortWrite&) { return true; });
    if (!fired) return std::nullopt;
    return fired->accepted;
}

std::optional<std::string> takeScriptedReply(std::string_view message, std::string_view resource) {
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    for (auto entry = plan.replies.begin(); entry != plan.replies.end(); ++entry) {
        if (!commandMatches(message, entry->command) || !resourceMatches(resource, entry->resource)) continue;
        std::string reply = entry->reply;
        if (entry->timesLeft != kEveryMatch && --entry->timesLeft <= 0) plan.replies.erase(entry);
        return reply;
    }
    return std::nullopt;
}

KQ_VISA_EXPORT void failCall(Op op, ViStatus status, int nth) {
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    plan.failures.push_back({op, status, std::max(nth, 1)});
}

KQ_VISA_EXPORT void shortWrite(std::uint32_t accepted, int nth) {
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    plan.shortWrites.push_back({accepted, std::max(nth, 1)});
}

KQ_VISA_EXPORT void scriptReply(const std::string& command, const std::string& reply,
                                const std::string& resource, int times) {
    if (times == 0 || times < kEveryMatch) return;
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    plan.replies.push_back({command, reply, resource, times});
}

KQ_VISA_EXPORT void resetFaults() {
    FaultPlan& plan = faultPlan();
    std::lock_guard lock(plan.mutex);
    plan.failures.clear();
    plan.shortWrites.clear();
    plan.replies.clear();
}

}  // namespace kqvisa
