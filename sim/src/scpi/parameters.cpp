#include "scpi/parameters.h"

#include "scpi/error_queue.h"

namespace kqsim::scpi {

int notAllowedError(ParameterType type) {
    switch (type) {
        case ParameterType::number:
            return err::numericDataNotAllowed;
        case ParameterType::word:
            return err::characterDataNotAllowed;
        case ParameterType::string:
            return err::stringDataNotAllowed;
        case ParameterType::block:
            return err::blockDataNotAllowed;
        case ParameterType::channelList:
        case ParameterType::expression:
            return err::expressionDataNotAllowed;
    }
    return err::dataTypeError;
}

}  // namespace kqsim::scpi
