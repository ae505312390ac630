// The system side of witz on POSIX systems: UTF-8 output, files and folders by name as UTF-8.
#include "system.h"

#include <cerrno>
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

std::wstring environment(const wchar_t* name) {
    const char* value = std::getenv(platform::encodeName(name).c_str());
    return value != nullptr ? platform::decodeName(value) : std::wstring();
}

} // namespace host
