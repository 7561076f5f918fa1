// The ARB set-up the ARB panels build: what the ARB menu entries depend on.
#pragma once

struct ArbDefinition {
    int segmentCount = 0;  // segments defined
    int stepCount = 0;     // sequence steps defined
};

ArbDefinition& arbDefinition();
