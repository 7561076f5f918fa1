// viGetAttribute and viSetAttribute.
#include "api_call.h"
#include "attribute_values.h"
#include "export.h"
#include "fault_plan.h"

using namespace kqvisa;

namespace {

void recordValue(TraceRecord& record, const AttributeValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        record.data = *text;
    } else {
        record.value = std::get<ViAttrState>(value);
    }
}

}  // namespace

extern "C" {

KQ_VISA_EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    return tracedCall(Op::GetAttribute, vi, [&](TraceRecord& record) -> ViStatus {
        record.attribute = attrName;
        const auto instrument = sessionTable().instrument(vi);
        const auto resourceManager = sessionTable().resourceManager(vi);
        if (!instrument && !resourceManager && !sessionTable().findList(vi)) return VI_ERROR_INV_OBJECT;
        if (attrValue == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::GetAttribute)) return *failure;
        const AttributeInfo* info = findAttribute(attrName);
        if (info == nullptr) return VI_ERROR_NSUP_ATTR;

        std::optional<AttributeValue> value;
        if (instrument) {
            std::lock_guard lock(instrument->mutex);
            value = instrumentAttribute(*instrument, *info);
        } else if (resourceManager) {
            std::lock_guard lock(resourceManager->mutex);
            value = resourceManagerAttribute(*resourceManager, *info);
        }
        if (!value) return VI_ERROR_NSUP_ATTR;
        storeAttribute(info->width, *value, attrValue);
        recordValue(record, *value);
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
    return tracedCall(Op::SetAttribute, vi, [&](TraceRecord& record) -> ViStatus {
        record.attribute = attrName;
        record.value = attrValue;
        const auto instrument = sessionTable().instrument(vi);
        const auto resourceManager = sessionTable().resourceManager(vi);
        if (!instrument && !resourceManager && !sessionTable().findList(vi)) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::SetAttribute)) return *failure;
        const AttributeInfo* info = findAttribute(attrName);
        const unsigned owner = instrument        ? unsigned{kOwnedByInstrument}
                               : resourceManager ? unsigned{kOwnedByResourceManager}
                                                 : 0u;
        if (info == nullptr || (info->owners & owner) == 0) return VI_ERROR_NSUP_ATTR;
        if (!info->writable) return VI_ERROR_ATTR_READONLY;
        if (!fitsWidth(info->width, attrValue) || !info->acceptsSetting(attrValue))
            return VI_ERROR_NSUP_ATTR_STATE;
        if (instrument) {
            std::lock_guard lock(instrument->mutex);
            instrument->settings.set(attrName, attrValue);
        } else {
            std::lock_guard lock(resourceManager->mutex);
            resourceManager->settings.set(attrName, attrValue);
        }
        return VI_SUCCESS;
    });
}

}  // extern "C"
