// Modal pop-ups.
#pragma once

#include <string>

// Modal box with a title and a text; returns when dismissed. Exported under its plain name so that a
// library loaded into the program can find it at run time.
extern "C" __attribute__((visibility("default"))) int MessagePopup(const char* title, const char* message);

// File dialog. Returns 1 with the chosen path, 0 when cancelled (or, with `allowCancel` 0, never).
int FileSelectPopup(const char* directory, const char* filePattern, const char* typeList, const char* title,
                    const char* buttonLabel, int allowCancel, std::string* path);

// File dialog for a file to write, offering `defaultName`; asks before replacing a file. Returns 1
// with the path, 0 when cancelled.
int FileSavePopup(const char* directory, const char* defaultName, const char* filePattern, const char* title,
                  std::string* path);
