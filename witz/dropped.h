// Files dropped on witz.exe in Explorer, which starts the program with their full paths: the
// recognition of such a start and the import of each file into a category of its own.
#pragma once

#include <string>
#include <vector>

// Whether path starts like an absolute Windows path: a drive ("C:\") or a share ("\\server").
bool isAbsoluteWindowsPath(const std::wstring& path);

// Whether witz was started with something dropped on it: at least one argument, and every
// argument an absolute path (which no command, option or category name is). What is no file,
// a folder or a path that is gone, is reported by importDropped.
bool isDrop(const std::vector<std::wstring>& args);

// The category a dropped file goes to: its name without folder and extension.
std::wstring categoryOf(const std::wstring& path);

// Imports each file into the category named after it in the "Witze" beside the program (its
// full path), reporting each one in lines that begin with its name, with advice a user of
// Explorer can follow; a refused file does not stop the others. Ends with the number taken.
// Returns 0 when every file was imported, 1 when some were, 2 when none was.
int importDropped(const std::vector<std::wstring>& paths, const std::wstring& program);
