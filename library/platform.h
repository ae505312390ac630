// The little the joke library and witz need from the operating system, one implementation per
// system: the file system (the atomic writer is in file_writer.h), the words for its errors, the
// message box and the runtime's random generator.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Separator between a folder and a name in a path ("\" on Windows, "/" elsewhere).
extern const wchar_t pathSeparator;

// The file system is reached through the three replaceable functions below, as the message box
// is: the program and its ordinary tests use the system's, the fuzz targets one held in memory.

// The process's current working directory, without a trailing separator (but for a POSIX
// system's root "/"); empty when it cannot be obtained.
using CurrentDirectoryFunction = std::wstring (*)();
extern CurrentDirectoryFunction currentDirectory;

struct FolderEntry {
    std::wstring name;
    bool isDirectory;
};

// Lists the entries matching a pattern of the form folder + separator + "*", in the
// system's own order ("." and ".." included where the system reports them).
// Returns false when the folder cannot be listed.
using ListFolderFunction = bool (*)(const std::wstring& pattern, std::vector<FolderEntry>& entries);
extern ListFolderFunction listFolder;

// A file opened for reading under the Windows runtime's text-mode rules: CR LF reads as LF,
// a lone CR stays, and byte 0x1A ends the file. Deleting it closes it.
class TextFile {
  public:
    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    virtual ~TextFile() = default;
    // Fills up to size bytes; returns how many. 0 means the end (or a read error).
    virtual std::size_t read(unsigned char* buffer, std::size_t size) = 0;
};

// Opens a file for reading; nullptr when it cannot be opened. The caller deletes the file.
using OpenTextFileFunction = TextFile* (*)(const std::wstring& path);
extern OpenTextFileFunction openTextFile;

// The whole content of a file as it is stored, without the text-mode rules; false when it
// cannot be read (a folder cannot), with lastSystemError() saying why.
bool readWholeFile(const std::wstring& path, std::string& bytes);

// The code of the last system call that failed: errno on POSIX systems, GetLastError() on
// Windows.
int lastSystemError();
// Words for a system error that fit into a German sentence ("Kann ... nicht lesen: nicht
// gefunden"): our own for the common ones (not found, no permission, disk full, read-only, a name
// too long), which the system would give in English or the user's language; the system's own
// text for the rest.
std::wstring systemErrorText(int code);

enum class EntryKind { missing, file, folder };
// What a path names; a dangling link is a file, since its name is taken.
EntryKind entryKind(const std::wstring& path);

// Makes a folder and those above it that are missing, as mkdir -p does; false when the path is
// no folder afterwards.
bool makeFolders(const std::wstring& path);

// Shows a message box without owner; returns the button pressed. Tests replace it to record
// the boxes instead of showing them.
using MessageBoxFunction = int (*)(const std::wstring& text, const std::wstring& caption,
                                   unsigned flags);
extern MessageBoxFunction messageBox;

// The runtime's random generator: seeded once, values 0 to 32767.
void seedRandom(unsigned seed);
int randomValue();

} // namespace platform
