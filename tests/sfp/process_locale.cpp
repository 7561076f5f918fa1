#include "process_locale.h"

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace sfptest {

namespace {

// The German locale, built once per test program (localedef takes seconds) and removed at its end.
class GermanLocaleFolder {
public:
    GermanLocaleFolder()
        : folder_(std::filesystem::temp_directory_path() / ("sfp-locale-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (folder_ / "de_DE.UTF-8").string() + "' 2>/dev/null";
        built_ = std::system(command.c_str()) == 0 || std::filesystem::exists(folder_ / "de_DE.UTF-8");
    }
    ~GermanLocaleFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    GermanLocaleFolder(const GermanLocaleFolder&) = delete;
    GermanLocaleFolder& operator=(const GermanLocaleFolder&) = delete;

    const std::filesystem::path& path() const { return folder_; }
    bool built() const { return built_; }

private:
    std::filesystem::path folder_;
    bool built_ = false;
};

}  // namespace

ProcessLocale::ProcessLocale(OperatorLocale locale) {
    if (locale == OperatorLocale::C) {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
        return;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    static const GermanLocaleFolder folder;
    ::setenv("LOCPATH", folder.path().c_str(), 1);
    complete_ = folder.built() && std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

ProcessLocale::~ProcessLocale() {
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    QLocale::setDefault(previous_);
}

}  // namespace sfptest
