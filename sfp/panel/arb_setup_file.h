// ARB set-ups in files (JSON, versioned): channels, segments with their files, steps with their
// settings, data format and marker. Paths are stored as the operator gave them.
#pragma once

#include <string>

#include "arb_definition.h"

// The set-up as file contents.
std::string arbSetupText(const ArbDefinition& definition);
// Reads file contents into `definition`. On any fault returns false with the reason in `error`
// and leaves `definition` as it was.
bool parseArbSetup(const std::string& text, ArbDefinition* definition, std::string* error);

// Menu entries: save the set-up to a file, open one.
void mnuSaveArbSetup(int menuBar, const char* menuItem, int panel);
void mnuOpenArbSetup(int menuBar, const char* menuItem, int panel);
