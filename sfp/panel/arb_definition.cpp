#include "arb_definition.h"

ArbDefinition& arbDefinition()
{
    static ArbDefinition definition;
    return definition;
}
