// A category that cannot be opened, on Windows: a file this process holds open without sharing.
#include "fixture.h"

#include <windows.h>

namespace {
class LockedFile : public UnopenableFile {
  public:
    explicit LockedFile(const std::filesystem::path& path) {
        handle = CreateFileW(path.wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~LockedFile() override {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }

  private:
    HANDLE handle;
};
} // namespace

std::unique_ptr<UnopenableFile> makeUnopenable(const std::filesystem::path& path) {
    return std::make_unique<LockedFile>(path);
}
