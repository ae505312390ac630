// Whole files, entry kinds and system errors in German words on Windows: what witz reads besides
// the library's text-mode reading, in a file of its own so that Pointex.exe, which only
// browses, imports none of it.
#include "platform.h"

#include <windows.h>

#include "win32_handle.h"

namespace platform {

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    bytes.clear();
    char block[64 * 1024];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file.get(), block, sizeof block, &count, nullptr)) {
            // The reason of the failure outlives the close.
            DWORD error = GetLastError();
            file.close();
            SetLastError(error);
            return false;
        }
        if (count == 0) {
            return true;
        }
        bytes.append(block, count);
    }
}

int lastSystemError() {
    return static_cast<int>(GetLastError());
}

std::wstring systemErrorText(int code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
        return L"nicht gefunden";
    case ERROR_ACCESS_DENIED:
        return L"keine Berechtigung";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return L"der Datentr\u00e4ger ist voll";
    case ERROR_WRITE_PROTECT:
        return L"der Datentr\u00e4ger ist schreibgesch\u00fctzt";
    case ERROR_FILENAME_EXCED_RANGE:
        return L"der Name ist zu lang";
    }
    // The system's words, in the language of its installation, without the full stop and line
    // end they come with.
    wchar_t* words = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(words, length) : std::wstring();
    LocalFree(words);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' ||
                             text.back() == L' ')) {
        text.pop_back();
    }
    std::wstring number = L"Fehler " + std::to_wstring(static_cast<DWORD>(code));
    return text.empty() ? number : text + L" (" + number + L")";
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

} // namespace platform
