// The system side of witz on POSIX systems: UTF-8 output, files and folders by name as UTF-8.
#include "system.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "library/platform_posix.h"

namespace host {
namespace {

std::string buffers[2];

void writeAll(int descriptor, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return; // a closed pipe: nothing more can be shown
        }
        done += static_cast<std::size_t>(count);
    }
}

void flushStream(Stream stream) {
    std::string& buffer = buffers[static_cast<int>(stream)];
    writeAll(stream == Stream::out ? 1 : 2, buffer);
    buffer.clear();
}

void writeUtf8Text(Stream stream, const std::string& text) {
    std::string& buffer = buffers[static_cast<int>(stream)];
    buffer += text;
    if (stream == Stream::err) {
        flushStream(Stream::out);
    }
    if (stream == Stream::err || buffer.size() >= 64 * 1024) {
        flushStream(stream);
    }
}

void writeText(Stream stream, const std::wstring& text) {
    writeUtf8Text(stream, platform::encodeName(text));
}

} // namespace

WriteFunction write = writeText;
WriteUtf8Function writeUtf8 = writeUtf8Text;

std::string toUtf8(const std::wstring& text) {
    return platform::encodeName(text);
}

void flush() {
    flushStream(Stream::out);
    flushStream(Stream::err);
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

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    int descriptor = open(platform::encodeName(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    struct stat status;
    bool ok = fstat(descriptor, &status) == 0 && !S_ISDIR(status.st_mode);
    bytes.clear();
    char block[64 * 1024];
    while (ok) {
        ssize_t count = read(descriptor, block, sizeof block);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            ok = count == 0;
            break;
        }
        bytes.append(block, static_cast<std::size_t>(count));
    }
    close(descriptor);
    return ok;
}

EntryKind entryKind(const std::wstring& path) {
    struct stat status;
    if (stat(platform::encodeName(path).c_str(), &status) != 0) {
        // A dangling link is still a name taken.
        return lstat(platform::encodeName(path).c_str(), &status) == 0 ? EntryKind::file
                                                                       : EntryKind::missing;
    }
    return S_ISDIR(status.st_mode) ? EntryKind::folder : EntryKind::file;
}

bool makeFolders(const std::wstring& path) {
    std::string bytes = platform::encodeName(path);
    for (std::size_t slash = bytes.find('/', 1); slash != std::string::npos;
         slash = bytes.find('/', slash + 1)) {
        mkdir(bytes.substr(0, slash).c_str(), 0777);
    }
    mkdir(bytes.c_str(), 0777);
    return entryKind(path) == EntryKind::folder;
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
