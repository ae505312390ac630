// The platform seam on POSIX systems: files read under the text-mode rules of text_mode.h or
// whole, Windows' random generator redone in code, file names as UTF-8.
#include "platform.h"
#include "platform_posix.h"
#include "file_names.h"
#include "utf8.h"
#include "text_mode.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const wchar_t pathSeparator = L'/';

// Bytes that are no valid UTF-8 become U+DC80..U+DCFF, so every name can be opened again.
std::wstring decodeName(const std::string& bytes) {
    std::wstring name;
    std::size_t i = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    while (i < bytes.size()) {
        char32_t value = 0;
        if (std::size_t length = decodeUtf8(data + i, bytes.size() - i, value)) {
            name += static_cast<wchar_t>(value);
            i += length;
        } else {
            name += static_cast<wchar_t>(0xDC00 + data[i]);
            ++i;
        }
    }
    return name;
}

std::string encodeName(const std::wstring& name) {
    std::string bytes;
    bytes.reserve(name.size() + name.size() / 4);
    for (wchar_t c : name) {
        char32_t value = static_cast<char32_t>(c);
        if (value < 0x80) {
            bytes.push_back(static_cast<char>(value));
        } else if (value >= 0xDC80 && value <= 0xDCFF) {
            bytes += static_cast<char>(value - 0xDC00);
        } else if (value < 0x800) {
            bytes += static_cast<char>(0xC0 | (value >> 6));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else if (value < 0x10000) {
            bytes += static_cast<char>(0xE0 | (value >> 12));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (value >> 18));
            bytes += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        }
    }
    return bytes;
}

static std::wstring systemCurrentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return std::wstring();
        }
        buffer.resize(buffer.size() * 2);
    }
    std::wstring directory = decodeName(buffer.data());
    // "/" stays: an empty result means the directory is unknown.
    if (directory.size() > 1 && directory.back() == L'/') {
        directory.pop_back();
    }
    return directory;
}

CurrentDirectoryFunction currentDirectory = systemCurrentDirectory;

// Windows lists an NTFS folder sorted, and so does Wine every folder; readdir returns the file
// system's own order. Sorted here, witz numbers the categories as Pointex does on Windows.
static bool listSystemFolder(const std::wstring& pattern, std::vector<FolderEntry>& entries) {
    std::wstring folder = pattern;
    if (!folder.empty() && folder.back() == L'*') {
        folder.pop_back();
    }
    std::string path = encodeName(folder);
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) {
        return false;
    }
    while (dirent* entry = readdir(directory)) {
        // Links are followed like Windows follows them; a dangling one counts as a file.
        struct stat status;
        bool isDirectory =
            fstatat(dirfd(directory), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
        entries.push_back({decodeName(entry->d_name), isDirectory});
    }
    closedir(directory);
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return windowsNameOrder(a.name, b.name);
    });
    return true;
}

ListFolderFunction listFolder = listSystemFolder;

namespace {
// A file read through its descriptor, with the text-mode rules on top.
class DescriptorFile : public TextModeFile {
  public:
    explicit DescriptorFile(int descriptor) : descriptor(descriptor) {}
    ~DescriptorFile() override { close(descriptor); }

  private:
    std::size_t readRaw(unsigned char* buffer, std::size_t size) override {
        for (;;) {
            ssize_t count = ::read(descriptor, buffer, size);
            if (count >= 0) {
                return static_cast<std::size_t>(count);
            }
            if (errno != EINTR) {
                return 0;
            }
        }
    }

    int descriptor;
};
} // namespace

static TextFile* openSystemFile(const std::wstring& path) {
    int descriptor = open(encodeName(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    return new DescriptorFile(descriptor);
}

OpenTextFileFunction openTextFile = openSystemFile;

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

static int consoleMessageBox(const std::wstring& text, const std::wstring& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", encodeName(caption).c_str(), encodeName(text).c_str());
    return 1; // IDOK
}

MessageBoxFunction messageBox = consoleMessageBox;

// The Windows runtime's linear congruential generator, so a seed gives the same values here.
static unsigned long randomState = 1;

void seedRandom(unsigned seed) {
    randomState = seed;
}

int randomValue() {
    randomState = (randomState * 214013UL + 2531011UL) & 0xFFFFFFFFUL;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

} // namespace platform
