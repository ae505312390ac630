// The character classes of ISO 8859-1 against Unicode's, and the fold loops against them.
#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <string>

#include "byte_scan.h"
#include "latin1.h"

namespace {

// What each class says of a byte, as letters: C capital, S small, D digit, N other number,
// B blank, F the byte it folds to differs.
std::string classesOf(unsigned char c) {
    std::string classes;
    classes += latin1::isCapital(c) ? "C" : "";
    classes += latin1::isSmall(c) ? "S" : "";
    classes += latin1::isDigit(c) ? "D" : "";
    classes += latin1::isNumber(c) && !latin1::isDigit(c) ? "N" : "";
    classes += latin1::isBlank(c) ? "B" : "";
    classes += latin1::folded(c) != c ? "F" : "";
    return classes;
}

// The bytes a rule could get wrong, each with Unicode's classes (U+0000 to U+00FF are ISO
// 8859-1): the edges of the capitals' and small letters' runs, the signs among them, the
// letters without a capital, the other numbers, and blanks and control bytes that are neither.
struct Row {
    unsigned char byte;
    const char* classes;
};
const Row rows[] = {
    {'@', ""},    {'A', "CF"}, {'Z', "CF"},  {'[', ""},    {'`', ""},   {'a', "S"},
    {'z', "S"},   {'{', ""},   {'0', "D"},   {'9', "D"},   {' ', "B"},  {'\t', "B"},
    {0x11, ""},   {0x12, ""},  {0x0A, ""},   {0x9F, ""},   {0xA0, ""},  {0xAA, "S"},
    {0xB2, "N"},  {0xB3, "N"}, {0xB5, "S"},  {0xB9, "N"},  {0xBA, "S"}, {0xBC, "N"},
    {0xBE, "N"},  {0xBF, ""},  {0xC0, "CF"}, {0xD6, "CF"}, {0xD7, ""},  {0xD8, "CF"},
    {0xDE, "CF"}, {0xDF, "S"}, {0xE0, "S"},  {0xF7, ""},   {0xFE, "S"}, {0xFF, "S"},
};

TEST(Latin1Test, ClassesOfTheBytesARuleCouldGetWrong) {
    for (const Row& row : rows) {
        EXPECT_EQ(classesOf(row.byte), row.classes) << "byte 0x" << std::hex << int(row.byte);
    }
}

// The C library's Unicode tables are an implementation of their own: where a UTF-8 locale
// exists, every byte's letters, capitals and fold must agree with them.
TEST(Latin1Test, AgreesWithTheCLibraryOnEveryByte) {
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale here";
    }
    for (int byte = 0; byte < 256; ++byte) {
        auto c = static_cast<unsigned char>(byte);
        auto wide = static_cast<std::wint_t>(byte);
        std::wint_t lower = std::towlower(wide);
        SCOPED_TRACE("byte " + std::to_string(byte));
        EXPECT_EQ(latin1::isLetter(c), std::iswalpha(wide) != 0);
        EXPECT_EQ(latin1::isCapital(c), lower != wide && lower <= 0xFF);
        EXPECT_EQ(latin1::folded(c), lower <= 0xFF ? lower : wide);
        EXPECT_EQ(latin1::isDigit(c), std::iswdigit(wide) != 0);
    }
    std::setlocale(LC_CTYPE, "C");
}

TEST(Latin1Test, BothFoldLoopsFoldAsTheClassesSay) {
    // Every byte twice over, so the 16-byte loop and its tail both see each one.
    std::string bytes;
    for (int k = 0; k < 2 * 256 + 7; ++k) {
        bytes += static_cast<char>(k % 256);
    }
    for (ScanLoops loops : {ScanLoops::plain, ScanLoops::sse2}) {
        SCOPED_TRACE(chooseScanLoops(loops) == ScanLoops::sse2 ? "SSE2 loops" : "plain loops");
        std::string folded(bytes.size(), '\0');
        foldCase(reinterpret_cast<const unsigned char*>(bytes.data()),
                 reinterpret_cast<unsigned char*>(&folded[0]), bytes.size());
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            auto c = static_cast<unsigned char>(bytes[k]);
            EXPECT_EQ(static_cast<unsigned char>(folded[k]), latin1::folded(c))
                << "byte 0x" << std::hex << int(c) << " at " << std::dec << k;
        }
    }
    chooseScanLoops(ScanLoops::sse2);
}

} // namespace
