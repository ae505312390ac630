// What witz needs from the system beside the library's seam: the console, whole files, folders.
// One implementation per system (system_posix.cpp, system_win32.cpp).
#pragma once

#include <string>
#include <vector>

namespace host {

enum class Stream { out, err };

// Writes text to standard output or error: UTF-8, or on Windows UTF-16 to a console and the
// console's code page elsewhere. Output is buffered until flush, and until an error is written,
// so that a console shows both in the order they were written; tests replace the function to
// record what a command writes.
using WriteFunction = void (*)(Stream stream, const std::wstring& text);
extern WriteFunction write;
// The same for text already in UTF-8, the cheap way for much output (a search's hits).
using WriteUtf8Function = void (*)(Stream stream, const std::string& text);
extern WriteUtf8Function writeUtf8;
// Text as UTF-8, the form writeUtf8 takes.
std::string toUtf8(const std::wstring& text);
void flush();

// Whether standard input and output are both a terminal, so that witz may wait for Enter.
bool interactive();
void waitForEnter();

// On Windows only: whether the console is witz's own (Explorer opened it for witz, and closes it
// when witz ends), and the full path of witz.exe (empty when it cannot be found).
bool ownsConsole();
std::wstring programPath();

// A seed that differs between two starts within the same second.
unsigned randomSeed();

// The whole content of a file as bytes; false when it cannot be read.
bool readWholeFile(const std::wstring& path, std::string& bytes);

// The value of an environment variable; empty when it is not set.
std::wstring environment(const wchar_t* name);

enum class EntryKind { missing, file, folder };
EntryKind entryKind(const std::wstring& path);

// Makes a folder and those above it that are missing, as mkdir -p does; false when the path is
// no folder afterwards.
bool makeFolders(const std::wstring& path);

// A collection witz falls back on: the folder that holds "Witze", and whether witz must not
// write there.
struct Collection {
    std::wstring directory;
    bool readOnly;
};
// Where witz looks, in this order, when neither -C nor WITZ_ORDNER names a folder and the
// working directory holds no "Witze": on POSIX systems the user's own collection
// ($XDG_DATA_HOME/pointex, else ~/.local/share/pointex) and the installed one, which is
// read-only; on Windows the folder of witz.exe. Tests replace the function.
using CollectionsFunction = std::vector<Collection> (*)();
extern CollectionsFunction fallbackCollections;
// Those places for --help, lines after the first indented by 13 blanks.
extern const wchar_t* const fallbackHelp;

} // namespace host
