// The platform seam on Windows: the C runtime's text mode and the Win32 calls do the work.
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <windows.h>

namespace platform {

const wchar_t pathSeparator = L'\\';

std::wstring currentDirectory() {
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

bool listFolder(const std::wstring& pattern, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        entries.push_back(
            {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

struct TextFile {
    FILE* stream;
};

TextFile* openTextFile(const std::wstring& path) {
    FILE* stream = _wfopen(path.c_str(), L"r");
    if (stream == nullptr) {
        return nullptr;
    }
    return new TextFile{stream};
}

std::size_t readTextBlock(TextFile* file, unsigned char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, file->stream);
}

void closeTextFile(TextFile* file) {
    if (file != nullptr) {
        std::fclose(file->stream);
        delete file;
    }
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
