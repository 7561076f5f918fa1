// The process as LANG=C or LANG=de_DE.UTF-8 starts it, for the lifetime of one object: the C
// library's locale and Qt's default locale, which panels loaded afterwards take. The German locale
// (decimal comma) is built into a temporary folder, so nothing is installed.
#pragma once

#include <QLocale>

namespace sfptest {

enum class OperatorLocale { C, German };

class ProcessLocale {
public:
    explicit ProcessLocale(OperatorLocale locale);
    ~ProcessLocale();
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;

    // False when the C library's German locale could not be built or loaded (Qt's is set anyway).
    bool complete() const { return complete_; }

private:
    QLocale previous_;
    bool complete_ = true;
};

}  // namespace sfptest
