// The variable arguments of one formatted I/O call, taken in order; viQueryf hands the rest of the
// write format's arguments on to the read format.
#pragma once

#include <cstdarg>

namespace kqvisa {

class FormatArguments {
public:
    explicit FormatArguments(va_list arguments) { va_copy(arguments_, arguments); }
    ~FormatArguments() { va_end(arguments_); }
    FormatArguments(const FormatArguments&) = delete;
    FormatArguments& operator=(const FormatArguments&) = delete;

    template <class T>
    T next() {
        return va_arg(arguments_, T);
    }

private:
    va_list arguments_;
};

}  // namespace kqvisa
