// The system side of witz on POSIX systems: output in the locale's character set, files and
// folders by name as UTF-8.
#include "system.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <langinfo.h>
#include <locale.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "library/platform_posix.h"
#include "library/utf8.h"

namespace host {
namespace {

int descriptorOf(Stream stream) {
    return stream == Stream::out ? 1 : 2;
}

std::size_t terminalColumns(Stream stream) {
    winsize size{};
    const int descriptor = descriptorOf(stream);
    if (!isatty(descriptor) || ioctl(descriptor, TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

// The character set the environment chooses (LC_ALL, LC_CTYPE, LANG), asked without setting
// witz's own locale, so that its character tests stay those of the C locale everywhere.
struct Charset {
    locale_t locale;
    bool utf8;
    // The C locale's ASCII says nothing of the terminal: witz writes UTF-8 there as it always
    // has, a joke's characters (those of ISO 8859-1) as they are, and the plain forms only for
    // its own typographic characters beyond them.
    bool ascii;
    // Text goes out as UTF-8 unless the locale names another character set.
    bool convert;
};

const Charset& charset() {
    static const Charset chosen = [] {
        locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (locale == static_cast<locale_t>(0)) {
            locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        }
        // nl_langinfo_l names the C locale's character set in a static program; nl_langinfo
        // within uselocale names the chosen one.
        locale_t previous = uselocale(locale);
        const std::string name = nl_langinfo(CODESET);
        uselocale(previous);
        const bool utf8 = name == "UTF-8";
        const bool ascii = name == "ANSI_X3.4-1968";
        return Charset{locale, utf8, ascii, !utf8 && !ascii};
    }();
    return chosen;
}

// The bytes of a character in the locale's character set; empty when it has none.
std::string inLocale(char32_t c) {
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    locale_t previous = uselocale(charset().locale);
    std::size_t size = std::wcrtomb(bytes, static_cast<wchar_t>(c), &state);
    uselocale(previous);
    return size == static_cast<std::size_t>(-1) ? std::string() : std::string(bytes, size);
}

bool localeHolds(Stream, char32_t c) {
    return c < 0x80 || charset().utf8 || (charset().ascii && c <= 0xFF) || !inLocale(c).empty();
}

// UTF-8 in the locale's character set; a character it lacks stays UTF-8, as witz wrote it before,
// and so do the bytes of a file name that is no UTF-8.
std::string inLocaleCharset(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size());
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        std::size_t length = data[i] < 0x80 ? 0 : decodeUtf8(data + i, text.size() - i, c);
        std::string converted = length > 0 ? inLocale(c) : std::string();
        if (length == 0 || converted.empty()) {
            length = length > 0 ? length : 1;
            bytes.append(text, i, length);
        } else {
            bytes += converted;
        }
        i += length;
    }
    return bytes;
}

void writeOut(Stream stream, const std::string& text) {
    // A closed pipe: nothing more can be shown.
    if (charset().convert) {
        platform::writeAll(descriptorOf(stream), inLocaleCharset(text));
    } else {
        platform::writeAll(descriptorOf(stream), text);
    }
}

} // namespace

Terminal terminal = {terminalColumns, localeHolds, writeOut};

std::string toUtf8(const std::wstring& text) {
    return platform::encodeName(text);
}

bool interactive() {
    return isatty(0) && isatty(1);
}

void waitForEnter() {
    char c = 0;
    while (read(0, &c, 1) == 1 && c != '\n') {
    }
}

unsigned randomSeed() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<unsigned>(now.tv_sec) ^ static_cast<unsigned>(now.tv_nsec) ^
           (static_cast<unsigned>(getpid()) << 16);
}

std::wstring environment(const wchar_t* name) {
    const char* value = std::getenv(platform::encodeName(name).c_str());
    return value != nullptr ? platform::decodeName(value) : std::wstring();
}

namespace {

// The folder below which the user's programs keep their data, as the XDG rules have it: a
// relative XDG_DATA_HOME counts as not set.
std::string userDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return data;
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] != 0 ? std::string(home) + "/.local/share" : std::string();
}

// The build gives the installed collection's place relative to the programs' folder; a build of
// these sources that does not (the fuzz targets') finds none.
#ifndef POINTEX_BIN_TO_COLLECTION
#define POINTEX_BIN_TO_COLLECTION ""
#endif

// The installed collection, relative to the folder of witz's executable.
std::string installedCollection() {
    std::string relative = POINTEX_BIN_TO_COLLECTION;
    if (relative.empty()) {
        return std::string();
    }
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return std::string();
    }
    std::string folder(path, static_cast<std::size_t>(length));
    folder.erase(folder.rfind('/'));
    while (relative.compare(0, 3, "../") == 0 && !folder.empty()) {
        folder.erase(folder.rfind('/'));
        relative.erase(0, 3);
    }
    return folder + "/" + relative;
}

std::vector<Collection> knownCollections() {
    std::vector<Collection> collections;
    if (std::string data = userDataFolder(); !data.empty()) {
        collections.push_back({platform::decodeName(data + "/pointex"), false});
    }
    if (std::string installed = installedCollection(); !installed.empty()) {
        collections.push_back({platform::decodeName(installed), true});
    }
    return collections;
}

} // namespace

CollectionsFunction fallbackCollections = knownCollections;
const wchar_t* const fallbackHelp =
    L"die eigene Sammlung (~/.local/share/pointex oder\n"
    L"             $XDG_DATA_HOME/pointex), sonst die mitgelieferte (nur zum Lesen)";

} // namespace host
