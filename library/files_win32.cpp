// Whole files and entry kinds on Windows: what witz reads besides the library's text-mode
// reading, in a file of its own so that Pointex.exe, which only browses, imports none of it.
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
            return false;
        }
        if (count == 0) {
            return true;
        }
        bytes.append(block, count);
    }
}

EntryKind entryKind(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::folder : EntryKind::file;
}

} // namespace platform
