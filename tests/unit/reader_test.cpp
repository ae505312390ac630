// Reading rules of joke files and plain text files: text mode, counting, parts, About texts.
#include "fixture.h"

#include "byte_scan.h"
#include "joke_library.h"
#include "joke_reader.h"

namespace {

class ReaderTest : public JokeFolderTest {
  protected:
    std::uint32_t countOf(const std::string& bytes) {
        writeFile(L"count", bytes);
        JokeFile file(jokePath(L"count").wstring());
        EXPECT_TRUE(file.isOpen());
        return file.countLineEnds() + 1;
    }

    // Every part of line n, in order, as JokeFile reads them.
    std::vector<std::wstring> partsOf(const std::string& bytes, std::uint32_t n) {
        writeFile(L"parts", bytes);
        JokeFile file(jokePath(L"parts").wstring());
        file.skipToLine(n);
        std::vector<std::wstring> parts;
        for (;;) {
            std::wstring part;
            JokeFile::PartEnd end = file.readPart(part);
            parts.push_back(part);
            if (end != JokeFile::PartEnd::separator) {
                return parts;
            }
        }
    }
};

TEST_F(ReaderTest, CountsLinesByTheirLineEnds) {
    struct Case {
        std::string bytes;
        std::uint32_t jokes;
    };
    const Case cases[] = {
        {"", 1},
        {"one joke", 1},
        {"a\n", 2},
        {"a\nb\nc\n", 4},
        {"a\r\nb\r\nc\r\n", 4},
        {"a\rb\rc\r", 1},        // CR alone ends no line
        {"a\nb\x1a\nc\nd\n", 2}, // 0x1A ends the file
        {"\x1a\n\n\n", 1},
        {"\n\n\n", 4},
        {"a\r\r\nb", 2}, // CR CR LF is CR, LF
        {"\x80\xe4\xff\n\xff", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(countOf(c.bytes), c.jokes)
            << "bytes: " << visible(std::wstring(c.bytes.begin(), c.bytes.end()));
    }
}

TEST_F(ReaderTest, CountsAcrossBlocksLikeAWholeFile) {
    // Line ends straddling the reader's blocks: CR as the last byte of a block, LF first in the
    // next.
    std::string bytes;
    for (int i = 0; bytes.size() < 600 * 1024; ++i) {
        bytes += std::string(static_cast<std::size_t>(i % 97), 'x') + "\r\n";
    }
    std::uint32_t lines = 0;
    for (char c : bytes) {
        lines += c == '\n';
    }
    // Both forms of the byte loops; a file of LF alone fills their byte-wide counters fastest.
    for (ScanLoops loops : {ScanLoops::plain, ScanLoops::sse2}) {
        SCOPED_TRACE(chooseScanLoops(loops) == ScanLoops::sse2 ? "SSE2 loops" : "plain loops");
        EXPECT_EQ(countOf(bytes), lines + 1);
        EXPECT_EQ(countOf(std::string(300 * 1024 + 7, '\n')), 300 * 1024 + 8u);
        for (std::size_t offset : {128 * 1024 - 1, 128 * 1024, 128 * 1024 + 1}) {
            std::string shifted =
                std::string(offset, 'y') + "\r\n" + std::string(10, 'z') + "\r\nend";
            EXPECT_EQ(countOf(shifted), 3u) << "CR LF at offset " << offset;
            EXPECT_EQ(partsOf(shifted, 2), std::vector<std::wstring>{std::wstring(10, L'z')});
        }
    }
}

TEST_F(ReaderTest, SplitsLinesIntoPartsAtSeparators) {
    EXPECT_EQ(partsOf("x\x12y\x12z\n", 1), (std::vector<std::wstring>{L"x", L"y", L"z"}));
    EXPECT_EQ(partsOf("joke\x12", 1), (std::vector<std::wstring>{L"joke", L""}));
    EXPECT_EQ(partsOf("\x12\x12z", 1), (std::vector<std::wstring>{L"", L"", L"z"}));
    EXPECT_EQ(partsOf("first\nsecond\x12two\r\nthird", 2),
              (std::vector<std::wstring>{L"second", L"two"}));
    EXPECT_EQ(partsOf("a\nb", 5), std::vector<std::wstring>{L""}); // beyond the end
    EXPECT_EQ(partsOf("a\x1a\x12hidden", 1), std::vector<std::wstring>{L"a"});
    EXPECT_EQ(partsOf("lone\rcr\x12x", 1), (std::vector<std::wstring>{L"lone\rcr", L"x"}));
}

TEST_F(ReaderTest, EveryByteIsOneCharacterOfTheSameValue) {
    EXPECT_EQ(partsOf("\x80\xe4\xff\xef\xbb\xbf\x11", 1),
              std::vector<std::wstring>{L"\u0080\u00e4\u00ff\u00ef\u00bb\u00bf\u0011"});
    EXPECT_EQ(expandLineBreaks(L"a\u0011b\u0011"), L"a\r\nb\r\n");
}

TEST_F(ReaderTest, ReadsTextFilesWithWindowsLineEnds) {
    writeFile(L"about",
              "a\nb\x0f"
              "c\r\nd\x11\x12\xe4",
              false);
    EXPECT_EQ(readTextFile(L"about"), L"a\r\nb\r\nc\r\nd\u0011\u0012\u00e4");
    writeFile(L"version", "", false);
    EXPECT_EQ(readTextFile(L"version"), L"");
    writeFile(L"lizenz", "cut\x1a here", false);
    EXPECT_EQ(readTextFile(L"lizenz"), L"cut");
    EXPECT_EQ(readTextFile(L"missing"), L"Die Datei \"missing\" wurde nicht gefunden!");
}

TEST(NumberText, WritesDecimalLikePercentD) {
    EXPECT_EQ(intToString(0), L"0");
    EXPECT_EQ(intToString(57), L"57");
    EXPECT_EQ(intToString(-12), L"-12");
    EXPECT_EQ(intToString(2147483647), L"2147483647");
    EXPECT_EQ(intToString(-2147483647 - 1), L"-2147483648");
}

} // namespace
