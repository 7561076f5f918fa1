// Name filters of the file dialog from its pattern and its list of extra types.
#pragma once

#include <QStringList>

// `pattern` ("*.b16") comes first, then each entry of the ';'-separated `typeList`: an extension
// (".wav") lists the files ending in it ("*.wav"), anything else is taken as a pattern. "*" ends
// the list, so every file can be chosen.
QStringList fileDialogFilters(const char* pattern, const char* typeList);
