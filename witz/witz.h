// witz, the command line over the joke library: its entry, the parsed arguments and the handlers
// of its command table.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Runs witz with its arguments (without the program name); returns the exit status.
int runWitz(const std::vector<std::wstring>& args);

// Exit statuses, as grep has them: 1 is a plain "no" (no hit, findings), 2 an error or a refusal.
constexpr int success = 0;
constexpr int negative = 1;
constexpr int failed = 2;

// The environment variable that names the folder holding "Witze" when -C is not given.
constexpr const wchar_t* folderVariable = L"WITZ_ORDNER";

struct Arguments {
    std::wstring directory;                 // the folder that holds "Witze"
    bool readOnly = false;                  // the installed collection, which import leaves alone
    std::vector<std::wstring> alsoSearched; // collections looked for in vain after directory
    std::vector<std::wstring> positional;
    std::set<std::wstring> flags;
    std::map<std::wstring, std::wstring> values;

    bool has(const wchar_t* flag) const { return flags.count(flag) != 0; }
};

// Chooses the collection when neither -C nor WITZ_ORDNER names one: the working directory when
// it holds "Witze", else the first of host::fallbackCollections() that does, else the working
// directory again (where import makes "Witze").
void findCollection(Arguments& args);
// Whether the folder chosen (named with -C or WITZ_ORDNER, or found) is there; when it is not (a
// named folder that is missing, a working directory deleted meanwhile), says so, naming the
// places searched, so that nothing is read or written elsewhere.
bool collectionFolderThere(const Arguments& args, bool named);

// Writes to standard output; error texts go to standard error behind "witz: ".
void say(const std::wstring& text);
void complain(const std::wstring& text);
// While a dropped file is imported, its name begins what say and complain write, instead of
// "witz: "; an empty name ends that.
void speakAbout(const std::wstring& name);
// A word as witz's commands, options and their values spell it, in ASCII: "pruefe" for "prüfe",
// "--anhaengen" for "--anhängen", "--gross-klein" for "--groß-klein".
std::wstring asciiSpelling(const std::wstring& word);
// A count with its noun, the singular for 1: "1 Witz", "3 Witze".
std::wstring counted(std::uint64_t count, const wchar_t* one, const wchar_t* many);
// Names in German quotation marks, the last after "und": „a“, „b“ und „c“.
std::wstring quotedList(const std::vector<std::wstring>& names);
// The line that ends an import: Pointex reads its categories when it starts.
std::wstring shownAtNextStart(const std::vector<std::wstring>& categories);
// Whether the library showed a warning (a refused search) since witz started.
bool libraryWarned();

int runRandom(const Arguments& args);
int runList(const Arguments& args);
int runShow(const Arguments& args);
int runSearch(const Arguments& args);
int runImport(const Arguments& args);

// What a refused import suggests beside its reason: typed at a command line, the options that
// would do it; for a dropped file, what a user of Explorer can do (dropped.cpp). Each text
// follows the reason's full stop, with its own blank or line break.
struct ImportAdvice {
    std::wstring existing; // the category exists already
    std::wstring unknown;  // characters that have no place in a joke file
    std::wstring badName;  // the name is no file name Windows takes, or a category's but for case
    std::wstring undecodable; // bytes that are no character of the source's encoding
};
int importSources(const Arguments& args, const ImportAdvice& advice);
int runCheck(const Arguments& args);
int runSetUp(const Arguments& args);
