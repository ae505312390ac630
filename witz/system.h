// What witz needs from the system beside the library's seam: the terminal or console its output
// goes to, the environment, its own place and the collections it falls back on.
// One implementation per system (system_posix.cpp, system_win32.cpp); console.h builds witz's
// output on it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace host {

enum class Stream { out, err };

// Where standard output and error go, as the system has them. Tests put one of their own in
// place to record what witz writes.
struct Terminal {
    // The columns a line may fill on the terminal or console a stream goes to; 0 when the stream
    // goes to a file or a pipe, whose lines are left whole.
    std::size_t (*columns)(Stream stream);
    // Whether the character set a stream is written in holds a character.
    bool (*holds)(Stream stream, char32_t c);
    // Writes UTF-8 text with LF line ends to a stream, in the form the system takes.
    void (*write)(Stream stream, const std::string& text);
};
extern Terminal terminal;

// Text as UTF-8, the form console.h works in.
std::string toUtf8(const std::wstring& text);

// Whether standard input and output are both a terminal, so that witz may wait for Enter.
bool interactive();
void waitForEnter();

// On Windows only: whether the console is witz's own (Explorer opened it for witz, and closes it
// when witz ends), and the full path of witz.exe (empty when it cannot be found).
bool ownsConsole();
std::wstring programPath();

// A seed that differs between two starts within the same second.
unsigned randomSeed();

// The value of an environment variable; empty when it is not set.
std::wstring environment(const wchar_t* name);

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
