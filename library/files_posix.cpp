// Whole files, entry kinds and writing all of a buffer on POSIX systems: what witz reads and
// writes besides the library's text-mode reading, in a file of its own so that a program that
// only browses links none of it.
#include "platform.h"
#include "platform_posix.h"

#include <cerrno>
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
    bool ok = fstat(descriptor, &status) == 0 && !S_ISDIR(status.st_mode);
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
    close(descriptor);
    return ok;
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

} // namespace platform
