// Writing a whole file on Windows: a new temporary file beside the target, flushed, then moved
// onto the target's name; Ctrl+C and Ctrl+Break remove the temporary file first.
#include "file_writer.h"

#include <csignal>
#include <cstdlib>
#include <cwchar>

#include <windows.h>

void (*beforeRename)() = nullptr;

namespace {

wchar_t temporaryPath[MAX_PATH * 4];

extern "C" void removeAndStop(int signal) {
    // Opened with FILE_SHARE_DELETE, so it goes even while the writer still holds it.
    if (temporaryPath[0] != 0) {
        DeleteFileW(temporaryPath);
    }
    std::_Exit(128 + signal);
}

// Holds the interrupt handlers for as long as a temporary file exists.
class InterruptGuard {
  public:
    InterruptGuard() {
        previousInterrupt = std::signal(SIGINT, removeAndStop);
        previousBreak = std::signal(SIGBREAK, removeAndStop);
        previousTerminate = std::signal(SIGTERM, removeAndStop);
    }
    ~InterruptGuard() {
        std::signal(SIGINT, previousInterrupt);
        std::signal(SIGBREAK, previousBreak);
        std::signal(SIGTERM, previousTerminate);
        temporaryPath[0] = 0;
    }

  private:
    void (*previousInterrupt)(int);
    void (*previousBreak)(int);
    void (*previousTerminate)(int);
};

std::wstring failure(const std::wstring& what, const std::wstring& path) {
    return what + L" \u201E" + path + L"\u201C (Fehler " + std::to_wstring(GetLastError()) + L")";
}

} // namespace

std::wstring writeWholeFile(const std::wstring& folder, const std::wstring& name,
                            const std::string& bytes, WriteMode mode) {
    std::wstring target = folder + L"\\" + name;
    InterruptGuard guard;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring temporary;
    for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + L"\\~" + name + L"." +
                    std::to_wstring(GetCurrentProcessId() * 100 + attempt) + L".witz";
        if (temporary.size() >= sizeof temporaryPath / sizeof temporaryPath[0]) {
            return L"Der Pfad ist zu lang: \u201E" + target + L"\u201C";
        }
        std::wcscpy(temporaryPath, temporary.c_str());
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        temporaryPath[0] = 0;
        return failure(L"Kann keine Datei anlegen in", folder);
    }
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD count = 0;
        written = WriteFile(file, bytes.data() + done, piece, &count, nullptr) && count > 0;
        done += count;
    }
    written = written && FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!written) {
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        return failure(L"Kann nicht schreiben in", folder);
    }
    if (beforeRename != nullptr) {
        beforeRename();
    }
    DWORD flags =
        MOVEFILE_WRITE_THROUGH | (mode == WriteMode::replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        return failure(L"Kann nicht speichern als", target);
    }
    return std::wstring();
}
