// Text files of voltages, one per line, for importing and exporting a scan list or a memory array.
// '#' starts a comment; blank lines are skipped. Numbers are read and written the same way in every
// locale.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "kq7120.h"

struct VoltageFileResult {
    std::vector<ViReal32> values;
    std::string error;  // empty on success; otherwise a message naming the line at fault
};

// Reads between `minimum` and `maximum` values. `what` names the data in messages ("a scan list").
VoltageFileResult readVoltageFile(const std::filesystem::path& path, std::size_t minimum, std::size_t maximum,
                                  const std::string& what);

// Writes `heading` as a comment line, then the values; false when the file cannot be written.
bool writeVoltageFile(const std::filesystem::path& path, const std::string& heading, const ViReal32* values,
                      std::size_t count);
