// Current values of attributes: from the session's settings, its mapped window, or the resource.
#pragma once

#include <optional>

#include "attribute_table.h"
#include "session.h"

namespace kqvisa {

// An instrument attribute as a fresh session on `resource` has it (used by search expressions).
std::optional<AttributeValue> resourceAttribute(const ResourceDetails& resource, const AttributeInfo& info);

std::optional<AttributeValue> instrumentAttribute(const InstrumentSession& session,
                                                  const AttributeInfo& info);
std::optional<AttributeValue> resourceManagerAttribute(const ResourceManagerSession& session,
                                                       const AttributeInfo& info);

}  // namespace kqvisa
