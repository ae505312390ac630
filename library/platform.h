// The little the joke library needs from the operating system, one implementation per system.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Separator between a folder and a name in a path ("\" on Windows, "/" elsewhere).
extern const wchar_t pathSeparator;

// The process's current working directory, without a trailing separator (but for a POSIX
// system's root "/"); empty when it cannot be obtained.
std::wstring currentDirectory();

struct FolderEntry {
    std::wstring name;
    bool isDirectory;
};

// Lists the entries matching a pattern of the form folder + separator + "*", in the
// system's own order ("." and ".." included where the system reports them).
// Returns false when the folder cannot be listed.
bool listFolder(const std::wstring& pattern, std::vector<FolderEntry>& entries);

// A file opened for reading under the Windows runtime's text-mode rules: CR LF reads as LF,
// a lone CR stays, and byte 0x1A ends the file.
struct TextFile;

TextFile* openTextFile(const std::wstring& path);
// Fills up to size bytes; returns how many. 0 means the end (or a read error).
std::size_t readTextBlock(TextFile* file, unsigned char* buffer, std::size_t size);
void closeTextFile(TextFile* file);

// Shows a message box without owner; returns the button pressed. Tests replace it to record
// the boxes instead of showing them.
using MessageBoxFunction = int (*)(const std::wstring& text, const std::wstring& caption,
                                   unsigned flags);
extern MessageBoxFunction messageBox;

// The runtime's random generator: seeded once, values 0 to 32767.
void seedRandom(unsigned seed);
int randomValue();

} // namespace platform
