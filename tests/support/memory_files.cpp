// The memory file system: files as shared byte strings, read through the library's text mode.
#include "memory_files.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "text_mode.h"

namespace {

MemoryFileSystem* active = nullptr;
std::size_t openCount = 0;

// The system's functions, put back when the memory file system goes.
platform::CurrentDirectoryFunction systemCurrentDirectory = nullptr;
platform::ListFolderFunction systemListFolder = nullptr;
platform::OpenTextFileFunction systemOpenTextFile = nullptr;

class MemoryFile : public platform::TextModeFile {
  public:
    explicit MemoryFile(std::shared_ptr<const std::string> bytes) : bytes(std::move(bytes)) {
        ++openCount;
    }
    ~MemoryFile() override { --openCount; }

  private:
    std::size_t readRaw(unsigned char* buffer, std::size_t size) override {
        std::size_t count = std::min(size, bytes->size() - position);
        std::memcpy(buffer, bytes->data() + position, count);
        position += count;
        return count;
    }

    std::shared_ptr<const std::string> bytes;
    std::size_t position = 0;
};

} // namespace

MemoryFileSystem::MemoryFileSystem(const std::wstring& workingDirectory)
    : directory(workingDirectory) {
    active = this;
    systemCurrentDirectory = platform::currentDirectory;
    systemListFolder = platform::listFolder;
    systemOpenTextFile = platform::openTextFile;
    platform::currentDirectory = MemoryFileSystem::workingDirectory;
    platform::listFolder = MemoryFileSystem::listFolder;
    platform::openTextFile = MemoryFileSystem::openTextFile;
}

MemoryFileSystem::~MemoryFileSystem() {
    platform::currentDirectory = systemCurrentDirectory;
    platform::listFolder = systemListFolder;
    platform::openTextFile = systemOpenTextFile;
    active = nullptr;
}

void MemoryFileSystem::writeFile(const std::wstring& path, std::string bytes) {
    auto shared = std::make_shared<const std::string>(std::move(bytes));
    for (File& file : files) {
        if (file.path == path) {
            file.bytes = shared;
            return;
        }
    }
    files.push_back({path, shared});
}

void MemoryFileSystem::removeAll() {
    files.clear();
}

std::size_t MemoryFileSystem::openFiles() {
    return openCount;
}

std::wstring MemoryFileSystem::workingDirectory() {
    return active->directory;
}

// Files only: a folder exists while it holds a file.
bool MemoryFileSystem::listFolder(const std::wstring& pattern,
                                  std::vector<platform::FolderEntry>& entries) {
    std::wstring folder = pattern;
    if (!folder.empty() && folder.back() == L'*') {
        folder.pop_back();
    }
    bool found = false;
    for (const File& file : active->files) {
        if (file.path.size() > folder.size() && file.path.compare(0, folder.size(), folder) == 0 &&
            file.path.find(platform::pathSeparator, folder.size()) == std::wstring::npos) {
            entries.push_back({file.path.substr(folder.size()), false});
            found = true;
        }
    }
    return found;
}

platform::TextFile* MemoryFileSystem::openTextFile(const std::wstring& path) {
    for (const File& file : active->files) {
        if (file.path == path) {
            return new MemoryFile(file.bytes);
        }
    }
    return nullptr;
}
