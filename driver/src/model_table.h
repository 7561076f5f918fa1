// Which model sits at each VXI logical address, as the last successful identification found it.
// Process-wide and keyed by logical address alone; functions whose limits depend on the channel
// count look the model up here instead of asking the module.
#pragma once

#include "kq7120.h"

namespace kq7120 {

// Channel count by the table's value: 16 for a KQ7120, 8 for a KQ7110 or a module never identified.
constexpr ViInt16 channelCountOf(ViInt16 model) {
    return model == kq7120_KQ7120 ? kq7120_CHANNEL_LIST_KQ7120_MAX : kq7120_CHANNEL_LIST_KQ7110_MAX;
}

// Highest channel of an identified module (16 or 8); 0 for an entry never set, whose channels some
// functions leave to the module to judge.
constexpr ViInt16 identifiedChannelCount(ViInt16 model) {
    if (model == kq7120_KQ7120) return kq7120_CHANNEL_LIST_KQ7120_MAX;
    if (model == kq7120_KQ7110) return kq7120_CHANNEL_LIST_KQ7110_MAX;
    return 0;
}

// Rewrites the entry of `logicalAddress`; addresses outside 0..255 have no entry.
void recordModel(ViInt16 logicalAddress, ViInt16 model);

}  // namespace kq7120
