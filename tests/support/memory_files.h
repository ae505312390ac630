// A file system held in memory behind the platform seam, for the fuzz targets and tests.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform.h"

// While it lives, the library's working directory, folder listing and file opening are served
// from memory, files read under the same text-mode rules as on POSIX systems; the system's
// come back when it goes. One at a time.
class MemoryFileSystem {
  public:
    explicit MemoryFileSystem(const std::wstring& workingDirectory);
    ~MemoryFileSystem();
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    // Creates or replaces the file at a full path. A file open at that moment keeps its bytes.
    void writeFile(const std::wstring& path, std::string bytes);
    void removeAll();
    // Files opened and not yet closed.
    static std::size_t openFiles();

  private:
    struct File {
        std::wstring path;
        std::shared_ptr<const std::string> bytes;
    };
    static std::wstring workingDirectory();
    static bool listFolder(const std::wstring& pattern,
                           std::vector<platform::FolderEntry>& entries);
    static platform::TextFile* openTextFile(const std::wstring& path);

    std::wstring directory;
    // In the order written: the listing's order.
    std::vector<File> files;
};
