// viStatusDesc.
#include <charconv>
#include <string>

#include "api_call.h"
#include "export.h"
#include "fault_plan.h"
#include "status_text.h"
#include "text_buffer.h"

using namespace kqvisa;

namespace {

std::string unknownStatusText(ViStatus status) {
    char digits[8];
    const auto [end, error] =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<std::uint32_t>(status), 16);
    std::string hex(digits, end);
    for (char& c : hex) c = c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
    return "Unknown status code 0x" + std::string(8 - hex.size(), '0') + hex + ".";
}

}  // namespace

extern "C" {

// VI_NULL is accepted as well as any open session, so a caller without a session (a failed open)
// can still describe the status it got.
KQ_VISA_EXPORT ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]) {
    return tracedCall(Op::StatusDesc, vi, [&](TraceRecord& record) -> ViStatus {
        record.value = static_cast<ViUInt32>(status);
        if (vi != VI_NULL && !sessionTable().contains(vi)) return VI_ERROR_INV_OBJECT;
        if (desc == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::StatusDesc)) return *failure;
        const auto known = findStatusText(status);
        record.data =
            known ? std::string(known->name) + ": " + std::string(known->text) : unknownStatusText(status);
        copyToBuffer(record.data, desc);
        return known ? VI_SUCCESS : VI_WARN_UNKNOWN_STATUS;
    });
}

}  // extern "C"
