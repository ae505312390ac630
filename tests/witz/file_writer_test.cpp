// The file writer: whole files or nothing, also when interrupted before the rename.
#include "witz_fixture.h"

#include <csignal>

#include "file_writer.h"

namespace {

class FileWriterTest : public WitzTest {
  protected:
    std::wstring folder() const { return (root / "Witze").wstring(); }
};

TEST_F(FileWriterTest, WritesTheWholeFileAndNothingElse) {
    std::string bytes("a\x12"
                      "b\nc\0d",
                      7);
    EXPECT_EQ(writeWholeFile(folder(), L"Neu", bytes, WriteMode::createNew), L"");
    EXPECT_EQ(fileBytes(root / "Witze" / "Neu"), bytes);
    EXPECT_EQ(namesIn(root / "Witze"), std::vector<std::string>{"Neu"});
}

TEST_F(FileWriterTest, NewFileNeverReplacesOne) {
    writeFile(L"Neu", "alt");
    EXPECT_NE(writeWholeFile(folder(), L"Neu", "neu", WriteMode::createNew), L"");
    EXPECT_EQ(fileBytes(root / "Witze" / "Neu"), "alt");
    EXPECT_EQ(namesIn(root / "Witze"), std::vector<std::string>{"Neu"});
    EXPECT_EQ(writeWholeFile(folder(), L"Neu", "neu", WriteMode::replace), L"");
    EXPECT_EQ(fileBytes(root / "Witze" / "Neu"), "neu");
}

TEST_F(FileWriterTest, MissingFolderIsAFailure) {
    EXPECT_NE(writeWholeFile((root / "fehlt").wstring(), L"Neu", "x", WriteMode::createNew), L"");
    EXPECT_FALSE(std::filesystem::exists(root / "fehlt"));
}

// Each mode is interrupted after its temporary file is complete; the folder must be as before.
TEST_F(FileWriterTest, InterruptLeavesTheFolderAsItWas) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeFile(L"Alt", "alt");
    for (WriteMode mode : {WriteMode::createNew, WriteMode::replace}) {
        const wchar_t* name = mode == WriteMode::createNew ? L"Neu" : L"Alt";
        EXPECT_EXIT(
            {
                beforeRename = [] { std::raise(SIGINT); };
                writeWholeFile(folder(), name, std::string(1 << 20, 'x'), mode);
                std::exit(0);
            },
            [](int status) { return status != 0; }, "");
        EXPECT_EQ(namesIn(root / "Witze"), std::vector<std::string>{"Alt"});
        EXPECT_EQ(fileBytes(root / "Witze" / "Alt"), "alt");
    }
}

} // namespace
