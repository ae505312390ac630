// The system side of witz on Windows: UTF-16 to a console, the console's code page when
// redirected; wide file names; the program's folder and console.
#include "system.h"

#include <algorithm>

#include <windows.h>

#include "dropped.h"

namespace host {
namespace {

std::wstring buffers[2];

HANDLE handleOf(Stream stream) {
    return GetStdHandle(stream == Stream::out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

// cmd's "more", a file written by PowerShell 5.1's ">" and most other readers of a pipe decode it
// with the console's code page (850 on a German Windows), so redirected text is written in it.
// "chcp 65001" makes that UTF-8. A character the code page lacks becomes "?", never a look-alike.
std::string inOutputCodePage(const std::wstring& shown) {
    static const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetOEMCP();
    if (codePage == CP_UTF8) {
        return toUtf8(shown);
    }
    // witz's own quotation marks, which the OEM code pages lack, as plain ones rather than "?".
    std::wstring text = shown;
    std::replace_if(
        text.begin(), text.end(), [](wchar_t c) { return c == L'\u201E' || c == L'\u201C'; }, L'"');
    const int length = static_cast<int>(text.size());
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    const char* unknown = "?";
    int size =
        WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, unknown, nullptr);
    if (size == 0 && !text.empty()) {
        // Code pages such as the ISO 2022 ones take neither flags nor a replacement.
        flags = 0;
        unknown = nullptr;
        size =
            WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, unknown, nullptr);
        if (size == 0) {
            return toUtf8(text);
        }
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), length, &bytes[0], size, unknown, nullptr);
    return bytes;
}

void flushStream(Stream stream) {
    std::wstring& buffer = buffers[static_cast<int>(stream)];
    HANDLE handle = handleOf(stream);
    if (buffer.empty() || handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        buffer.clear();
        return;
    }
    if (isConsole(handle)) {
        // In pieces: old consoles refuse very long writes.
        for (std::size_t done = 0; done < buffer.size();) {
            DWORD piece = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 8192));
            DWORD written = 0;
            if (!WriteConsoleW(handle, buffer.data() + done, piece, &written, nullptr) ||
                written == 0) {
                break;
            }
            done += written;
        }
    } else {
        const std::string bytes = inOutputCodePage(buffer);
        for (std::size_t done = 0; done < bytes.size();) {
            DWORD written = 0;
            if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                           &written, nullptr) ||
                written == 0) {
                break;
            }
            done += written;
        }
    }
    buffer.clear();
}

void writeText(Stream stream, const std::wstring& text) {
    std::wstring& buffer = buffers[static_cast<int>(stream)];
    buffer += text;
    if (stream == Stream::err) {
        flushStream(Stream::out);
    }
    if (stream == Stream::err || buffer.size() >= 32 * 1024) {
        flushStream(stream);
    }
}

// A console takes UTF-16 and a redirected output its code page: one way through for both.
void writeUtf8Text(Stream stream, const std::string& text) {
    int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    writeText(stream, wide);
}

} // namespace

WriteFunction write = writeText;
WriteUtf8Function writeUtf8 = writeUtf8Text;

std::string toUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    return bytes;
}

void flush() {
    flushStream(Stream::out);
    flushStream(Stream::err);
}

bool interactive() {
    return isConsole(GetStdHandle(STD_INPUT_HANDLE)) && isConsole(GetStdHandle(STD_OUTPUT_HANDLE));
}

void waitForEnter() {
    wchar_t line[256];
    DWORD count = 0;
    ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), line, 256, &count, nullptr);
}

bool ownsConsole() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

std::wstring programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path;
}

namespace {

// Windows keeps no installed collection apart: a witz.exe beside its "Witze" reads and writes
// that one, wherever it is started.
std::vector<Collection> knownCollections() {
    return {{folderOf(programPath()), false}};
}

} // namespace

CollectionsFunction fallbackCollections = knownCollections;
const wchar_t* const fallbackHelp = L"der Ordner von witz.exe";

unsigned randomSeed() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<unsigned>(counter.LowPart) ^ static_cast<unsigned>(GetTickCount()) ^
           (static_cast<unsigned>(GetCurrentProcessId()) << 16);
}

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes.clear();
    bool ok = true;
    char block[64 * 1024];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file, block, sizeof block, &count, nullptr)) {
            ok = false;
            break;
        }
        if (count == 0) {
            break;
        }
        bytes.append(block, count);
    }
    CloseHandle(file);
    return ok;
}

EntryKind entryKind(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::folder : EntryKind::file;
}

bool makeFolders(const std::wstring& path) {
    // Each folder on the way; those that exist, a drive ("C:") or a server's name fail harmlessly.
    for (std::size_t end = path.find_first_of(L"\\/", 1); end != std::wstring::npos;
         end = path.find_first_of(L"\\/", end + 1)) {
        CreateDirectoryW(path.substr(0, end).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
    return entryKind(path) == EntryKind::folder;
}

std::wstring environment(const wchar_t* name) {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

} // namespace host
