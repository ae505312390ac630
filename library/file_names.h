// File names as Windows has them: their order in a folder, the names it takes, the folder of a
// path. Shared by the POSIX folder listing, the file writer and witz's category names.
#pragma once

#include <cstddef>
#include <string>

// The name's UTF-16 units in capitals, as Windows' case mapping has them for the scripts of
// Europe: Latin (with Latin Extended-A), Greek and Cyrillic. Other units stay as they are.
std::u16string upcasedName(const std::wstring& name);

// Whether name a comes before name b where Windows lists a folder: case-insensitive, by UTF-16
// units in capitals.
bool windowsNameOrder(const std::wstring& a, const std::wstring& b);

// NTFS and FAT keep at most this many UTF-16 units in a name.
constexpr std::size_t longestFileName = 255;

// Why a name cannot be a file name on Windows, and so no category: empty or only dots,
// characters Windows forbids, a trailing blank or dot, a device name (CON, COM1, ...), more
// than 255 UTF-16 units. A German text; empty when it can.
std::wstring badFileName(const std::wstring& name);

// The folder that holds a file in a Windows path, with its separator where it is a drive's
// root ("C:" alone is another folder); empty for a bare name.
std::wstring folderOf(const std::wstring& path);
