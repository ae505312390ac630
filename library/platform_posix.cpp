// The platform seam on POSIX systems: Windows' text-mode reading and random generator redone in
// code, file names as UTF-8.
#include "platform.h"
#include "platform_posix.h"
#include "utf8.h"

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

std::wstring currentDirectory() {
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

bool listFolder(const std::wstring& pattern, std::vector<FolderEntry>& entries) {
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
    return true;
}

struct TextFile {
    int descriptor;
    bool ended;     // 0x1A, the end of the file or a read error was reached
    bool pendingCR; // a CR ended the last block; the next byte decides whether it stays
};

TextFile* openTextFile(const std::wstring& path) {
    int descriptor = open(encodeName(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        return nullptr;
    }
    return new TextFile{descriptor, false, false};
}

static std::size_t readRaw(TextFile* file, unsigned char* buffer, std::size_t size) {
    for (;;) {
        ssize_t count = read(file->descriptor, buffer, size);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}

// Turns CR LF into LF in place; a CR at the very end is held back until the next byte is known.
// Moves whole runs between CRs, since a file with CR LF has one in every line.
static std::size_t foldLineEnds(TextFile* file, unsigned char* buffer, std::size_t size) {
    unsigned char* const end = buffer + size;
    auto* in = static_cast<unsigned char*>(std::memchr(buffer, '\r', size));
    if (in == nullptr) {
        return size;
    }
    unsigned char* out = in;
    while (in != end) {
        // in is at a CR.
        if (in + 1 == end && !file->ended) {
            file->pendingCR = true;
            break;
        }
        if (in + 1 == end || in[1] != '\n') {
            *out++ = '\r';
        }
        ++in;
        std::size_t rest = static_cast<std::size_t>(end - in);
        auto* next = static_cast<unsigned char*>(std::memchr(in, '\r', rest));
        std::size_t run = next != nullptr ? static_cast<std::size_t>(next - in) : rest;
        std::memmove(out, in, run);
        out += run;
        in += run;
    }
    return static_cast<std::size_t>(out - buffer);
}

std::size_t readTextBlock(TextFile* file, unsigned char* buffer, std::size_t size) {
    while (size > 0) {
        std::size_t start = 0;
        if (file->pendingCR) {
            file->pendingCR = false;
            buffer[0] = '\r';
            start = 1;
            if (size == 1) {
                // No room to look ahead in the caller's buffer: peek at one byte.
                unsigned char next = 0;
                if (file->ended || readRaw(file, &next, 1) != 1 || next == 0x1A) {
                    file->ended = true;
                    return 1;
                }
                if (next == '\n') {
                    buffer[0] = '\n';
                } else if (next == '\r') {
                    file->pendingCR = true;
                } else {
                    // Hand the CR out now and the peeked byte next time.
                    lseek(file->descriptor, -1, SEEK_CUR);
                }
                return 1;
            }
        }
        if (file->ended) {
            return start;
        }
        std::size_t count = readRaw(file, buffer + start, size - start);
        if (count == 0) {
            file->ended = true;
            return start;
        }
        std::size_t total = start + count;
        if (auto* end = static_cast<unsigned char*>(std::memchr(buffer + start, 0x1A, count))) {
            total = static_cast<std::size_t>(end - buffer);
            file->ended = true;
        }
        std::size_t produced = foldLineEnds(file, buffer, total);
        if (produced > 0 || file->ended) {
            return produced;
        }
        // The block was a lone CR held back; read on so 0 keeps meaning "end".
    }
    return 0;
}

void closeTextFile(TextFile* file) {
    if (file != nullptr) {
        close(file->descriptor);
        delete file;
    }
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
