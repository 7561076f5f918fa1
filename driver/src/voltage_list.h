// Lists of voltages as SCPI carries them: each value in fixed notation with six decimals ("%f"),
// joined by commas; and the reverse, for replies.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "kq7120.h"

namespace kq7120 {

// `code` when a value lies outside -20.0..19.99969 V (compared as doubles).
ViStatus checkVoltages(std::span<const ViReal32> voltages, ViStatus code);

// "1.500000,-2.000000"
std::string voltageListText(std::span<const ViReal32> voltages);

// Stores the reply's comma-separated values, from element 0 on, as many as the reply holds and
// `values` has room for.
void readVoltageList(std::string_view reply, std::span<ViReal32> values);

}  // namespace kq7120
