// Decimal text of an integer, the same in every locale.
#pragma once

#include <string>

std::string decimalText(long long value);
