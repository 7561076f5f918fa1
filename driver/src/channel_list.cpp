#include "channel_list.h"

#include "number_text.h"
#include "status_check.h"

namespace kq7120 {

std::string channelListText(std::span<const ViInt16> channels) {
    std::string text;
    for (const ViInt16 channel : channels) {
        if (!text.empty()) text += ',';
        text += decimalText(channel);
    }
    return text;
}

ViStatus checkChannels(std::span<const ViInt16> channels, ViInt16 highest, ViStatus code) {
    for (const ViInt16 channel : channels) {
        if (const ViStatus status = kq7120_invalidIntegerRange(channel, kq7120_MIN_CHANNEL, highest, code);
            failed(status)) {
            return status;
        }
    }
    return VI_SUCCESS;
}

ViStatus checkChannelList(const ViInt16 channelList[], ViInt16 numOfChannels, ViInt16 highest,
                          ViStatus countCode, ViStatus channelCode) {
    if (const ViStatus status =
            kq7120_invalidIntegerRange(numOfChannels, kq7120_CHANNEL_LIST_MIN, highest, countCode);
        failed(status)) {
        return status;
    }
    if (!channelList) return channelCode;
    return checkChannels(std::span(channelList, static_cast<std::size_t>(numOfChannels)), highest,
                         channelCode);
}

}  // namespace kq7120
