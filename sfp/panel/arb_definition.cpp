#include "arb_definition.h"

ArbDefinition& arbDefinition() {
    static ArbDefinition definition;
    return definition;
}

void InitializeArbDefinitions() { arbDefinition() = ArbDefinition{}; }
