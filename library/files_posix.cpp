// Whole files, entry kinds, system errors in German words and writing all of a buffer on POSIX
// systems: what witz reads and writes besides the library's text-mode reading, in a file of its
// own so that a program that only browses links none of it.
#include "platform.h"
#include "platform_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    int descriptor = open(encodeName(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    struct stat status;
    bool ok = fstat(descriptor, &status) == 0;
    if (ok && S_ISDIR(status.st_mode)) {
        ok = false;
        errno = EISDIR;
    }
    bytes.clear();
    char block[64 * 1024];
    while (ok) {
        ssize_t count = ::read(descriptor, block, sizeof block);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            ok = count == 0;
            break;
        }
        bytes.append(block, static_cast<std::size_t>(count));
    }
    // The reason of a failure outlives the close.
    int error = errno;
    close(descriptor);
    errno = error;
    return ok;
}

int lastSystemError() {
    return errno;
}

std::wstring systemErrorText(int code) {
    switch (code) {
    case ENOENT:
        return L"nicht gefunden";
    case EACCES:
    case EPERM:
        return L"keine Berechtigung";
    case ENOSPC:
    case EDQUOT:
        return L"der Datentr\u00e4ger ist voll";
    case EROFS:
        return L"der Datentr\u00e4ger ist schreibgesch\u00fctzt";
    case ENAMETOOLONG:
        return L"der Name ist zu lang";
    default:
        // The C library's words, in English: witz leaves the locale's messages unset.
        return decodeName(std::strerror(code));
    }
}

EntryKind entryKind(const std::wstring& path) {
    std::string name = encodeName(path);
    struct stat status;
    if (stat(name.c_str(), &status) != 0) {
        return lstat(name.c_str(), &status) == 0 ? EntryKind::file : EntryKind::missing;
    }
    return S_ISDIR(status.st_mode) ? EntryKind::folder : EntryKind::file;
}

bool writeAll(int descriptor, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool makeFolders(const std::wstring& path) {
    std::string bytes = encodeName(path);
    for (std::size_t slash = bytes.find('/', 1); slash != std::string::npos;
         slash = bytes.find('/', slash + 1)) {
        mkdir(bytes.substr(0, slash).c_str(), 0777);
    }
    mkdir(bytes.c_str(), 0777);
    return entryKind(path) == EntryKind::folder;
}

} // namespace platform
