// Modal pop-ups, and their capture for tests.
#pragma once

#include <string>
#include <vector>

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

struct CapturedPopup {
    std::string title;
    std::string text;
};

// With capture on, pop-ups are recorded and dismissed at once, and both file dialogs return the queued
// answers (an empty path answers "cancelled"; with none queued they are cancelled).
void SetPopupCapture(bool on);
std::vector<CapturedPopup> CapturedPopups();
void ClearCapturedPopups();
void QueueFileSelection(const std::string& path);
