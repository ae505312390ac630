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
