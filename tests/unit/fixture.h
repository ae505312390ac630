// Test fixtures: a fresh working directory with a joke folder, and recorded message boxes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct RecordedBox {
    std::wstring text;
    std::wstring caption;
    unsigned flags;
};

// A temporary working directory holding "Witze"; the test runs inside it, and message boxes
// are recorded instead of shown.
class JokeFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes bytes into Witze/name (or into the working directory with inFolder false).
    void writeFile(const std::wstring& name, const std::string& bytes, bool inFolder = true);
    std::filesystem::path jokePath(const std::wstring& name) const;

    std::filesystem::path root;
    std::vector<RecordedBox>& boxes();

  private:
    std::filesystem::path previousDirectory;
};

// Makes Witze/name a category that is listed but cannot be opened, for as long as it lives:
// a file held open without sharing on Windows, a dangling symbolic link elsewhere.
class UnopenableFile {
  public:
    virtual ~UnopenableFile() = default;
};
std::unique_ptr<UnopenableFile> makeUnopenable(const std::filesystem::path& path);

// A file name as a path, UTF-8 on POSIX systems.
std::filesystem::path pathOf(const std::wstring& name);

// Bytes as the test writes them, shown in a failure message with the control bytes visible.
std::string visible(const std::wstring& text);
