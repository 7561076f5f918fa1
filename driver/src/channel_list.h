// Channel lists as SCPI carries them: the caller's channel numbers, in the caller's order, in decimal
// and joined by commas, between "(@" and ")" of a command.
#pragma once

#include <span>
#include <string>

#include "kq7120.h"

namespace kq7120 {

std::string channelListText(std::span<const ViInt16> channels);

// `code` when any channel lies outside 1..highest.
ViStatus checkChannels(std::span<const ViInt16> channels, ViInt16 highest, ViStatus code);

// A list of 1 to `highest` channels: the count is tested before the channels (a missing list counts
// as a bad channel).
ViStatus checkChannelList(const ViInt16 channelList[], ViInt16 numOfChannels, ViInt16 highest,
                          ViStatus countCode, ViStatus channelCode);

}  // namespace kq7120
