// The SCPI log: while on, every command the send operation writes is appended to a text file, one
// line each, the file opened and closed per record so it is complete on disk after every command.
#pragma once

#include <string>
#include <string_view>

#include "visatype.h"

namespace kq7120::scpi_log {

bool isOn();

// On: the file `name` is created or emptied and every later command appended to it.
ViStatus switchOn(std::string_view name);
void switchOff();

// Appends `command` up to its first NUL, with security codes hidden.
ViStatus record(std::string_view command);

// The record text of a command: the security codes in it become '*'. A code is the parameter of
// "CAL:SEC:CODE" or the one after the state of "CAL:SEC:STAT", in any spelling of the header
// (letter case, long forms, a path continued after ';'), given as a definite-length block or a
// quoted string; every other byte, blocks of other commands included, is kept.
std::string withCodesHidden(std::string_view command);

}  // namespace kq7120::scpi_log
