// The file writer: whole files or nothing, never a temporary file among the categories, also
// when interrupted before the rename.
#include "witz_fixture.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "library/file_writer.h"

namespace {

struct WriteCase;

class FileWriterTest : public WitzTest {
  protected:
    std::wstring folder() const { return (root / "Witze").wstring(); }
    void prepare(const WriteCase& test);
    void TearDown() override {
        beforeRename = nullptr;
        WitzTest::TearDown();
    }
};

using Names = std::vector<std::string>;

// What the folders held when the writer was about to rename.
Names seenInFolder;
Names seenBeside;
std::filesystem::path watchedRoot;

void lookAtTheFolders() {
    seenInFolder = Names();
    if (std::filesystem::exists(watchedRoot / "Witze")) {
        for (const auto& entry : std::filesystem::directory_iterator(watchedRoot / "Witze")) {
            seenInFolder.push_back(entry.path().filename().string());
        }
    }
    seenBeside = Names();
    for (const auto& entry : std::filesystem::directory_iterator(watchedRoot)) {
        seenBeside.push_back(entry.path().filename().string());
    }
    std::sort(seenInFolder.begin(), seenInFolder.end());
    std::sort(seenBeside.begin(), seenBeside.end());
}

struct WriteCase {
    const char* what;
    bool folderThere;
    WriteMode mode;
    const wchar_t* name;
    Names before; // in Witze, holding "alt" each
    Names after;
};

const WriteCase writeCases[] = {
    {"new file", true, WriteMode::createNew, L"Neu", {"Alt"}, {"Alt", "Neu"}},
    {"replaced file", true, WriteMode::replace, L"Alt", {"Alt"}, {"Alt"}},
    {"replace of a missing file", true, WriteMode::replace, L"Neu", {"Alt"}, {"Alt", "Neu"}},
    {"new file, folder missing", false, WriteMode::createNew, L"Neu", {}, {"Neu"}},
};

// The folder as a case finds it: Witze there or not, with the case's files.
void FileWriterTest::prepare(const WriteCase& test) {
    std::filesystem::remove_all(root / "Witze");
    if (test.folderThere) {
        std::filesystem::create_directory(root / "Witze");
    }
    for (const std::string& name : test.before) {
        writeFile(std::wstring(name.begin(), name.end()), "alt");
    }
}

TEST_F(FileWriterTest, NoTemporaryFileAmongTheCategories) {
    std::string bytes("a\x12"
                      "b\nc\0d",
                      7);
    for (const WriteCase& test : writeCases) {
        SCOPED_TRACE(test.what);
        prepare(test);
        watchedRoot = root;
        beforeRename = lookAtTheFolders;
        EXPECT_EQ(writeWholeFile(folder(), test.name, bytes, test.mode), L"");
        beforeRename = nullptr;

        EXPECT_EQ(seenInFolder, test.before);
        seenBeside.erase(std::remove(seenBeside.begin(), seenBeside.end(), "Witze"),
                         seenBeside.end());
        ASSERT_EQ(seenBeside.size(), 1u);
        EXPECT_NE(seenBeside[0].find("witz-import"), std::string::npos) << seenBeside[0];
        EXPECT_EQ(namesIn(root), Names{"Witze"});
        EXPECT_EQ(namesIn(root / "Witze"), test.after);
        EXPECT_EQ(fileBytes(jokePath(test.name)), bytes);
    }
}

TEST_F(FileWriterTest, NewFileNeverReplacesOne) {
    writeFile(L"Neu", "alt");
    EXPECT_NE(writeWholeFile(folder(), L"Neu", "neu", WriteMode::createNew), L"");
    EXPECT_EQ(fileBytes(root / "Witze" / "Neu"), "alt");
    EXPECT_EQ(namesIn(root / "Witze"), Names{"Neu"});
    EXPECT_EQ(namesIn(root), Names{"Witze"});
}

// In German words of witz's own, whatever the system's language.
TEST_F(FileWriterTest, FolderWithoutAParentIsAFailure) {
    std::wstring missing = (root / "fehlt" / "Witze").wstring();
    EXPECT_EQ(writeWholeFile(missing, L"Neu", "x", WriteMode::createNew),
              L"Kann keine Datei anlegen in \u201E" + (root / "fehlt").wstring() +
                  L"\u201C: nicht gefunden");
    EXPECT_EQ(namesIn(root), Names{"Witze"});
}

// Each case is interrupted with its temporary file complete and the folder made; both folders
// must be as before.
TEST_F(FileWriterTest, InterruptLeavesTheFoldersAsTheyWere) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const WriteCase& test : writeCases) {
        SCOPED_TRACE(test.what);
        prepare(test);
        EXPECT_EXIT(
            {
                beforeRename = [] { std::raise(SIGINT); };
                writeWholeFile(folder(), test.name, std::string(1 << 20, 'x'), test.mode);
                std::exit(0);
            },
            [](int status) { return status != 0; }, "");
        EXPECT_EQ(namesIn(root), test.folderThere ? Names{"Witze"} : Names());
        if (test.folderThere) {
            EXPECT_EQ(namesIn(root / "Witze"), test.before);
            EXPECT_EQ(fileBytes(jokePath(L"Alt")), "alt");
        }
    }
}

// Names and paths this system cannot take are refused before anything is written: on POSIX
// systems a name over 255 bytes in UTF-8, on Windows a path that reaches MAX_PATH.
TEST_F(FileWriterTest, TooLongNamesAreRefused) {
    const bool utf8Names = sizeof(wchar_t) == 4;
    std::wstring nested;
    for (int k = 0; k < 2100; ++k) {
        nested += L"x/";
    }
    struct {
        std::wstring folder;
        std::wstring name;
        bool writable;
    } cases[] = {
        {folder(), std::wstring(100, L'\u00e4'), true},
        {folder(), std::wstring(200, L'\u00e4'), !utf8Names && folder().size() + 201 < 260},
        {folder(), std::wstring(250, L'a'), utf8Names},
        {folder(), std::wstring(256, L'a'), false},
        {(root / nested / "Witze").wstring(), L"Neu", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::to_string(test.name.size()) + " characters in a folder of " +
                     std::to_string(test.folder.size()));
        std::wstring why = unwritableName(test.folder, test.name);
        EXPECT_EQ(why.empty(), test.writable) << visible(why);
        if (!test.writable) {
            EXPECT_EQ(writeWholeFile(test.folder, test.name, "x", WriteMode::createNew), why);
            EXPECT_EQ(namesIn(root), Names{"Witze"});
            EXPECT_EQ(namesIn(root / "Witze"), Names());
        }
    }
    // witz import refuses such a name before it reads a source (this one does not exist).
    std::wstring refused = utf8Names ? std::wstring(200, L'\u00e4') : std::wstring(250, L'a');
    EXPECT_EQ(witz({L"import", L"fehlt.txt", L"--nach", refused}), 2);
    EXPECT_NE(err.find(L"zu lang"), std::wstring::npos) << visible(err);
    EXPECT_EQ(err.find(L"fehlt.txt"), std::wstring::npos) << visible(err);
}

// A folder on another file system than the one holding it cannot receive the temporary file by
// a rename; the writer must say so and never write into that folder directly.
TEST_F(FileWriterTest, FolderOnAnotherFileSystemIsRefused) {
    std::filesystem::path elsewhere = "/dev/shm/pointex-writer-" + root.filename().string();
    std::error_code error;
    std::filesystem::create_directory(elsewhere, error);
    std::filesystem::remove(root / "Witze");
    std::filesystem::create_directory_symlink(elsewhere, root / "Witze", error);
    std::filesystem::path probe = root / "probe";
    writeFile(L"probe", "x", false);
    std::filesystem::rename(probe, root / "Witze" / "probe", error);
    bool sameFileSystem = !error;
    std::filesystem::remove(probe, error);
    std::filesystem::remove(root / "Witze" / "probe", error);
    if (sameFileSystem || !std::filesystem::is_directory(root / "Witze")) {
        std::filesystem::remove_all(elsewhere, error);
        GTEST_SKIP() << "no second file system to link to";
    }
    for (WriteMode mode : {WriteMode::createNew, WriteMode::replace}) {
        std::wstring why = writeWholeFile(folder(), L"Neu", "neu", mode);
        EXPECT_NE(why.find(L"anderen"), std::wstring::npos) << visible(why);
        EXPECT_EQ(namesIn(elsewhere), Names());
        EXPECT_EQ(namesIn(root), Names{"Witze"});
    }
    std::filesystem::remove_all(elsewhere, error);
}

#ifdef _WIN32
// Pointex reads a category through _wfopen, which shares neither delete nor rename: a replace
// waits for it a while, then gives up and leaves everything as it was.
TEST_F(FileWriterTest, ReplaceWaitsForAReader) {
    writeFile(L"Alt", "alt");
    FILE* reader = _wfopen(jokePath(L"Alt").c_str(), L"r");
    ASSERT_NE(reader, nullptr);
    auto start = std::chrono::steady_clock::now();
    std::wstring why = writeWholeFile(folder(), L"Alt", "neu", WriteMode::replace);
    auto waited = std::chrono::steady_clock::now() - start;
    std::fclose(reader);
    EXPECT_NE(why.find(L"gerade gelesen"), std::wstring::npos) << visible(why);
    EXPECT_GE(waited, std::chrono::milliseconds(1500));
    EXPECT_EQ(fileBytes(jokePath(L"Alt")), "alt");
    EXPECT_EQ(namesIn(root), Names{"Witze"});
    EXPECT_EQ(namesIn(root / "Witze"), Names{"Alt"});

    reader = _wfopen(jokePath(L"Alt").c_str(), L"r");
    ASSERT_NE(reader, nullptr);
    std::thread closer([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::fclose(reader);
    });
    why = writeWholeFile(folder(), L"Alt", "neu", WriteMode::replace);
    closer.join();
    EXPECT_EQ(why, L"") << visible(why);
    EXPECT_EQ(fileBytes(jokePath(L"Alt")), "neu");
    EXPECT_EQ(namesIn(root), Names{"Witze"});
}
#endif

} // namespace
