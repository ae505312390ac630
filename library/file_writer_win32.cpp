// Writing a whole file on Windows: a new temporary file in the folder that holds the target's
// folder, flushed, then moved into the target's folder (made if missing), waiting a moment for a
// reader of the target to let go; Ctrl+C and Ctrl+Break remove the temporary file and a folder
// just made first.
#include "file_writer.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cwchar>

#include <windows.h>

#include "file_writer_system.h"
#include "platform.h"
#include "win32_handle.h"

void (*beforeRename)() = nullptr;

namespace {

// The writer uses plain paths, not \\?\ ones, so every path stays below MAX_PATH.
wchar_t temporaryPath[MAX_PATH * 4];
wchar_t madeFolderPath[MAX_PATH * 4];
constexpr wchar_t longestTemporaryName[] = L"~witz-import.4294967295.99.tmp";

// Pointex holds a category open while it reads it, sharing neither delete nor rename, so a
// replace may have to wait until it is done.
constexpr int moveAttempts = 20;
constexpr DWORD moveWait = 100;

extern "C" void removeAndStop(int signal) {
    // Opened with FILE_SHARE_DELETE, so it goes even while the writer still holds it.
    if (temporaryPath[0] != 0) {
        DeleteFileW(temporaryPath);
    }
    // Only an empty folder goes, so one that already received the file stays.
    if (madeFolderPath[0] != 0) {
        RemoveDirectoryW(madeFolderPath);
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
        madeFolderPath[0] = 0;
    }

  private:
    void (*previousInterrupt)(int);
    void (*previousBreak)(int);
    void (*previousTerminate)(int);
};

std::wstring failure(const std::wstring& what, const std::wstring& path) {
    return what + L" \u201E" + path + L"\u201C: " +
           platform::systemErrorText(static_cast<int>(GetLastError()));
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring withoutEndSeparators(std::wstring folder) {
    while (folder.size() > 1 && isSeparator(folder.back()) &&
           !(folder.size() == 3 && folder[1] == L':')) {
        folder.pop_back();
    }
    return folder;
}

// The folder that holds folder, where the temporary file is written.
std::wstring holderOf(const std::wstring& folder) {
    std::size_t separator = folder.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return folder.size() >= 2 && folder[1] == L':' ? folder.substr(0, 2) : L".";
    }
    bool isRoot = separator == 0 || (separator == 2 && folder[1] == L':');
    return folder.substr(0, isRoot ? separator + 1 : separator);
}

std::wstring inFolder(const std::wstring& folder, const std::wstring& name) {
    bool separated = isSeparator(folder.back()) || folder.back() == L':';
    return separated ? folder + name : folder + L"\\" + name;
}

std::size_t fullLength(const std::wstring& path) {
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    // The length asked for counts the terminating zero.
    return length > 0 ? length - 1 : path.size();
}

bool heldByReader(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

// Moves the temporary file onto the target; a replace waits a while for a reader to let go.
bool moveIntoPlace(const std::wstring& target, WriteMode mode, DWORD& error) {
    DWORD flags =
        MOVEFILE_WRITE_THROUGH | (mode == WriteMode::replace ? MOVEFILE_REPLACE_EXISTING : 0);
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(temporaryPath, target.c_str(), flags)) {
            return true;
        }
        error = GetLastError();
        if (mode != WriteMode::replace || !heldByReader(error) || attempt == moveAttempts) {
            return false;
        }
        Sleep(moveWait);
    }
}

} // namespace

std::wstring systemNameLimit(const std::wstring& folder, const std::wstring& name) {
    std::wstring target = inFolder(withoutEndSeparators(folder), name);
    std::wstring temporary = inFolder(holderOf(withoutEndSeparators(folder)), longestTemporaryName);
    std::size_t length = std::max(fullLength(target), fullLength(temporary));
    if (length >= MAX_PATH) {
        return L"Der Pfad \u201E" + target + L"\u201C ist zu lang (" + std::to_wstring(length) +
               L" Zeichen mit dem Ordner, unter Windows h\u00f6chstens " +
               std::to_wstring(MAX_PATH - 1) + L").";
    }
    return std::wstring();
}

std::wstring writeCheckedFile(const std::wstring& folder, const std::wstring& name,
                              const std::string& bytes, WriteMode mode) {
    std::wstring targetFolder = withoutEndSeparators(folder);
    std::wstring target = inFolder(targetFolder, name);
    std::wstring holder = holderOf(targetFolder);
    InterruptGuard guard;
    FileHandle file;
    for (unsigned attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        std::wstring temporary =
            inFolder(holder, L"~witz-import." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                 std::to_wstring(attempt) + L".tmp");
        if (temporary.size() >= sizeof temporaryPath / sizeof temporaryPath[0]) {
            return L"Der Pfad ist zu lang: \u201E" + temporary + L"\u201C";
        }
        // Noted before the file exists, so no interrupt can leave it behind.
        std::wcscpy(temporaryPath, temporary.c_str());
        file.reset(CreateFileW(temporaryPath, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (!file.valid()) {
        DWORD error = GetLastError();
        temporaryPath[0] = 0;
        SetLastError(error);
        return failure(L"Kann keine Datei anlegen in", holder);
    }
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD count = 0;
        written = WriteFile(file.get(), bytes.data() + done, piece, &count, nullptr) && count > 0;
        done += count;
    }
    written = written && FlushFileBuffers(file.get());
    DWORD error = GetLastError();
    file.close();
    if (!written) {
        DeleteFileW(temporaryPath);
        SetLastError(error);
        return failure(L"Kann nicht schreiben in", holder);
    }
    bool madeFolder = CreateDirectoryW(targetFolder.c_str(), nullptr) != 0;
    error = GetLastError();
    if (madeFolder) {
        std::wcscpy(madeFolderPath, targetFolder.c_str());
    } else if (error != ERROR_ALREADY_EXISTS) {
        DeleteFileW(temporaryPath);
        SetLastError(error);
        return failure(L"Kann keinen Ordner anlegen als", targetFolder);
    }
    if (beforeRename != nullptr) {
        beforeRename();
    }
    if (moveIntoPlace(target, mode, error)) {
        return std::wstring();
    }
    DeleteFileW(temporaryPath);
    if (madeFolder) {
        RemoveDirectoryW(targetFolder.c_str());
    }
    std::wstring code = L" (Fehler " + std::to_wstring(error) + L")";
    if (error == ERROR_NOT_SAME_DEVICE) {
        return L"Kann nicht speichern als \u201E" + target + L"\u201C: \u201E" + targetFolder +
               L"\u201C liegt auf einem anderen Laufwerk als \u201E" + holder +
               L"\u201C, wo die Datei zuerst ganz geschrieben wird" + code;
    }
    if (mode == WriteMode::replace && heldByReader(error)) {
        return L"Kann \u201E" + target + L"\u201C nicht ersetzen: die Datei wird gerade gelesen " +
               (error == ERROR_ACCESS_DENIED ? L"(etwa von Pointex) oder ist schreibgesch\u00fctzt"
                                             : L"(etwa von Pointex)") +
               code + L"; bitte sp\u00e4ter noch einmal versuchen";
    }
    SetLastError(error);
    return failure(L"Kann nicht speichern als", target);
}
