#include "voltage_list.h"

#include "number_text.h"
#include "reply_text.h"
#include "status_check.h"

namespace kq7120 {

ViStatus checkVoltages(std::span<const ViReal32> voltages, ViStatus code) {
    for (const ViReal32 voltage : voltages) {
        if (const ViStatus status = kq7120_invalidRealRange(voltage, kq7120_VOLT_LEVEL_VALUE_MIN,
                                                            kq7120_VOLT_LEVEL_VALUE_MAX, code);
            failed(status)) {
            return status;
        }
    }
    return VI_SUCCESS;
}

std::string voltageListText(std::span<const ViReal32> voltages) {
    std::string text;
    for (const ViReal32 voltage : voltages) {
        if (!text.empty()) text += ',';
        text += fixedText(voltage, 6);
    }
    return text;
}

void readVoltageList(std::string_view reply, std::span<ViReal32> values) {
    const auto fields = commaFields(reply);
    for (std::size_t index = 0; index < fields.size() && index < values.size(); ++index) {
        values[index] = leadingSingle(fields[index]);
    }
}

}  // namespace kq7120
