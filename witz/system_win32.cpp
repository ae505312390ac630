// The system side of witz on Windows: UTF-16 to a console, the console's code page with CR LF when
// redirected; wide file names; the program's folder and console.
#include "system.h"

#include <algorithm>

#include <windows.h>

#include "library/file_names.h"

namespace host {
namespace {

HANDLE handleOf(Stream stream) {
    return GetStdHandle(stream == Stream::out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

std::size_t consoleColumns(Stream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(handleOf(stream), &info)) {
        return 0;
    }
    // A console goes to the next line as soon as its last column is written, and the line's end
    // would then leave an empty line: that column stays free.
    const int width = info.srWindow.Right - info.srWindow.Left + 1;
    return width > 1 ? static_cast<std::size_t>(width - 1) : 0;
}

// The code page witz writes in: the console's, also when redirected, since cmd's "more", a file
// written by PowerShell 5.1's ">" and most other readers of a pipe decode it so ("chcp 65001"
// makes it UTF-8); the OEM code page where witz has no console. The console's raster font shows
// only this code page too.
UINT outputCodePage() {
    static const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetOEMCP();
    return codePage;
}

bool codePageHolds(Stream, char32_t c) {
    if (c < 0x80 || outputCodePage() == CP_UTF8) {
        return true;
    }
    wchar_t units[2] = {static_cast<wchar_t>(c), 0};
    int count = 1;
    if (c > 0xFFFF) {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
    }
    char bytes[8];
    BOOL lacking = FALSE;
    int size = WideCharToMultiByte(outputCodePage(), WC_NO_BEST_FIT_CHARS, units, count, bytes,
                                   sizeof bytes, nullptr, &lacking);
    // Code pages such as the ISO 2022 ones take no flags: their text is written as it is.
    return size == 0 || !lacking;
}

std::wstring fromUtf8(const std::string& text) {
    int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

// Redirected text in the code page, with the line ends of Windows' text files. A character the
// code page lacks (one without a plain form) becomes "?", never a look-alike.
std::string inOutputCodePage(const std::string& utf8) {
    std::wstring text;
    for (wchar_t c : fromUtf8(utf8)) {
        text += c == L'\n' ? L"\r\n" : std::wstring(1, c);
    }
    const UINT codePage = outputCodePage();
    if (codePage == CP_UTF8) {
        return toUtf8(text);
    }
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

void writeOut(Stream stream, const std::string& text) {
    HANDLE handle = handleOf(stream);
    if (text.empty() || handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        return;
    }
    if (isConsole(handle)) {
        const std::wstring wide = fromUtf8(text);
        // In pieces: old consoles refuse very long writes.
        for (std::size_t done = 0; done < wide.size();) {
            DWORD piece = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            DWORD written = 0;
            if (!WriteConsoleW(handle, wide.data() + done, piece, &written, nullptr) ||
                written == 0) {
                break;
            }
            done += written;
        }
        return;
    }
    const std::string bytes = inOutputCodePage(text);
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

} // namespace

Terminal terminal = {consoleColumns, codePageHolds, writeOut};

std::string toUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    return bytes;
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

std::wstring environment(const wchar_t* name) {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

} // namespace host
