// Files dropped on witz.exe in Explorer, which starts the program with their full paths: the
// recognition of such a start and the import of each file into a category of its own.
#pragma once

#include <string>
#include <vector>

// Whether path starts like an absolute Windows path: a drive ("C:\") or a share ("\\server").
bool isAbsoluteWindowsPath(const std::wstring& path);

// Whether witz was started with dropped files: at least one argument, and every argument the
// absolute path of an existing file (a folder or a command is no drop).
bool isDrop(const std::vector<std::wstring>& args);

// The category a dropped file goes to: its name without folder and extension.
std::wstring categoryOf(const std::wstring& path);

// Imports each file into the category named after it in directory's "Witze", reporting each
// one; a refused file does not stop the others. Returns the worst exit status.
int importDropped(const std::vector<std::wstring>& paths, const std::wstring& directory);
