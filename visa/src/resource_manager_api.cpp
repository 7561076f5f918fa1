// Resource manager, sessions, resource search and descriptor parsing.
#include <string>
#include <vector>

#include "api_call.h"
#include "attribute_values.h"
#include "export.h"
#include "fault_plan.h"
#include "find_expression.h"
#include "text_buffer.h"

using namespace kqvisa;

namespace {

constexpr ViAccessMode kLockModes = VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK;
constexpr ViAccessMode kKnownModes = kLockModes | VI_LOAD_CONFIG;

ViStatus checkAccessMode(ViAccessMode mode) {
    if ((mode & ~kKnownModes) != 0 || (mode & kLockModes) == kLockModes) return VI_ERROR_INV_ACC_MODE;
    // Sessions are not locked against each other in this library.
    if ((mode & kLockModes) != 0) return VI_ERROR_NSUP_MODE;
    return VI_SUCCESS;
}

std::optional<ResourceDetails> findResource(const ResourceName& name) {
    for (ResourceDetails& resource : mainframeResources()) {
        if (resource.name == name) return std::move(resource);
    }
    return std::nullopt;
}

}  // namespace

extern "C" {

KQ_VISA_EXPORT ViStatus viOpenDefaultRM(ViPSession vi) {
    return tracedCall(Op::OpenDefaultRM, VI_NULL, [&](TraceRecord& record) -> ViStatus {
        if (vi == nullptr) return VI_ERROR_USER_BUF;
        *vi = VI_NULL;
        if (const auto failure = takeFailure(Op::OpenDefaultRM)) return *failure;
        *vi = sessionTable().addResourceManager();
        record.value = *vi;
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32, ViPSession vi) {
    return tracedCall(Op::Open, sesn, [&](TraceRecord& record) -> ViStatus {
        if (vi != nullptr) *vi = VI_NULL;
        if (!sessionTable().resourceManager(sesn)) return VI_ERROR_INV_OBJECT;
        if (vi == nullptr) return VI_ERROR_USER_BUF;
        if (name == nullptr) return VI_ERROR_INV_RSRC_NAME;
        record.data = name;
        if (const auto failure = takeFailure(Op::Open)) return *failure;
        if (const ViStatus status = checkAccessMode(mode); status != VI_SUCCESS) return status;
        const auto parsed = parseResourceName(name);
        if (!parsed) return VI_ERROR_INV_RSRC_NAME;
        auto resource = findResource(*parsed);
        if (!resource) return VI_ERROR_RSRC_NFOUND;

        auto session = std::make_shared<InstrumentSession>();
        session->port = ModulePort::of(resource->module.instrument);
        session->resource = std::move(*resource);
        const ViSession id = sessionTable().addInstrument(sesn, std::move(session));
        if (id == VI_NULL) return VI_ERROR_INV_OBJECT;
        *vi = id;
        record.value = id;
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viClose(ViObject vi) {
    return tracedCall(Op::Close, vi, [&](TraceRecord&) -> ViStatus {
        if (vi == VI_NULL) return VI_WARN_NULL_OBJECT;
        if (const auto failure = takeFailure(Op::Close)) return *failure;
        return sessionTable().close(vi) ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
    });
}

KQ_VISA_EXPORT ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                                   ViChar desc[]) {
    return tracedCall(Op::FindRsrc, sesn, [&](TraceRecord& record) -> ViStatus {
        if (vi != nullptr) *vi = VI_NULL;
        if (retCnt != nullptr) *retCnt = 0;
        if (desc != nullptr) desc[0] = '\0';
        if (!sessionTable().resourceManager(sesn)) return VI_ERROR_INV_OBJECT;
        if (expr == nullptr) return VI_ERROR_INV_EXPR;
        record.data = expr;
        if (desc == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::FindRsrc)) return *failure;
        const auto expression = FindExpression::parse(expr);
        if (!expression) return VI_ERROR_INV_EXPR;

        auto list = std::make_shared<FindList>();
        for (const ResourceDetails& resource : mainframeResources()) {
            const AttributeLookup attributes = [&resource](const AttributeInfo& info) {
                return resourceAttribute(resource, info);
            };
            if (expression->matches(resource.descriptor, attributes))
                list->matches.push_back(resource.descriptor);
        }
        record.value = list->matches.size();
        if (list->matches.empty()) return VI_ERROR_RSRC_NFOUND;

        copyToBuffer(list->matches.front(), desc);
        if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(list->matches.size());
        if (vi != nullptr) {
            const ViFindList id = sessionTable().addFindList(sesn, std::move(list));
            if (id == VI_NULL) return VI_ERROR_INV_OBJECT;
            *vi = id;
        }
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    return tracedCall(Op::FindNext, vi, [&](TraceRecord& record) -> ViStatus {
        if (desc != nullptr) desc[0] = '\0';
        const auto list = sessionTable().findList(vi);
        if (!list) return VI_ERROR_INV_OBJECT;
        if (desc == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::FindNext)) return *failure;
        std::lock_guard lock(list->mutex);
        if (list->next >= list->matches.size()) return VI_ERROR_RSRC_NFOUND;
        record.data = list->matches[list->next++];
        copyToBuffer(record.data, desc);
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                                      ViPUInt16 intfNum, ViChar rsrcClass[], ViChar expandedUnaliasedName[],
                                      ViChar aliasIfExists[]) {
    return tracedCall(Op::ParseRsrc, rmSesn, [&](TraceRecord& record) -> ViStatus {
        if (!sessionTable().resourceManager(rmSesn)) return VI_ERROR_INV_OBJECT;
        if (rsrcName == nullptr) return VI_ERROR_INV_RSRC_NAME;
        record.data = rsrcName;
        if (const auto failure = takeFailure(Op::ParseRsrc)) return *failure;
        const auto name = parseResourceName(rsrcName);
        if (!name) return VI_ERROR_INV_RSRC_NAME;
        if (intfType != nullptr) *intfType = interfaceType(name->interface);
        if (intfNum != nullptr) *intfNum = name->board;
        if (rsrcClass != nullptr) copyToBuffer("INSTR", rsrcClass);
        if (expandedUnaliasedName != nullptr) copyToBuffer(canonicalName(*name), expandedUnaliasedName);
        if (aliasIfExists != nullptr) copyToBuffer("", aliasIfExists);
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                                    ViPUInt16 intfNum) {
    return viParseRsrcEx(rmSesn, rsrcName, intfType, intfNum, nullptr, nullptr, nullptr);
}

}  // extern "C"
