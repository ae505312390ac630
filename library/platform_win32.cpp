// The platform seam on Windows: the C runtime's text mode and the Win32 calls do the work.
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <windows.h>

#include "win32_handle.h"

namespace platform {

const wchar_t pathSeparator = L'\\';

static std::wstring systemCurrentDirectory() {
    wchar_t* buffer = _wgetcwd(nullptr, 0);
    if (buffer == nullptr) {
        return std::wstring();
    }
    std::wstring directory(buffer);
    std::free(buffer);
    // A drive's root comes back as "C:\"; the caller adds its own separator.
    if (!directory.empty() && directory.back() == L'\\') {
        directory.pop_back();
    }
    return directory;
}

CurrentDirectoryFunction currentDirectory = systemCurrentDirectory;

static bool listSystemFolder(const std::wstring& pattern, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAW data;
    SearchHandle find(FindFirstFileW(pattern.c_str(), &data));
    if (!find.valid()) {
        return false;
    }
    do {
        entries.push_back(
            {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find.get(), &data));
    return true;
}

ListFolderFunction listFolder = listSystemFolder;

namespace {
// The runtime's own text mode does the reading.
class StdioFile : public TextFile {
  public:
    explicit StdioFile(FILE* stream) : stream(stream) {}
    ~StdioFile() override { std::fclose(stream); }
    std::size_t read(unsigned char* buffer, std::size_t size) override {
        return std::fread(buffer, 1, size, stream);
    }

  private:
    FILE* stream;
};
} // namespace

static TextFile* openSystemFile(const std::wstring& path) {
    FILE* stream = _wfopen(path.c_str(), L"r");
    if (stream == nullptr) {
        return nullptr;
    }
    return new StdioFile(stream);
}

OpenTextFileFunction openTextFile = openSystemFile;

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

static int systemMessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) {
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), flags);
}

MessageBoxFunction messageBox = systemMessageBox;

void seedRandom(unsigned seed) {
    std::srand(seed);
}

int randomValue() {
    return std::rand();
}

} // namespace platform
