// The search: refusals, folding, one hit per line, order, and matches across read blocks.
#include "fixture.h"

#include <algorithm>
#include <utility>

#include "byte_scan.h"
#include "joke_library.h"

namespace {

// Hits as (file, joke): file f is the f-th file the test wrote, from 1.
using Hits = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class SearchTest : public JokeFolderTest {
  protected:
    // Writes files named "1", "2", ...; the system's listing decides their category numbers.
    void makeLibrary(const std::vector<std::string>& files) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            writeFile(std::to_wstring(i + 1), files[i]);
        }
        library = std::make_unique<JokeLibrary>();
        ASSERT_EQ(library->getCategoryCount(), files.size());
    }
    std::uint32_t fileOf(std::uint32_t category) const {
        return static_cast<std::uint32_t>(std::stoul(library->getCategoryName(category)));
    }
    std::uint32_t categoryOf(std::uint32_t file) const {
        for (std::uint32_t n = 1; n <= library->getCategoryCount(); ++n) {
            if (fileOf(n) == file) {
                return n;
            }
        }
        return 0;
    }
    // The hits in the library's order, which must ascend by category and joke.
    Hits hits() const {
        Hits raw;
        for (std::uint32_t i = 1; i <= library->getHitCount(); ++i) {
            raw.emplace_back(library->getHitCategories()[i], library->getHitJokes()[i]);
        }
        EXPECT_EQ(library->getHitCategories().size(), library->getHitCount() + 1);
        EXPECT_EQ(library->getHitCategories()[0], 0u);
        EXPECT_TRUE(std::is_sorted(raw.begin(), raw.end()));
        EXPECT_EQ(std::adjacent_find(raw.begin(), raw.end()), raw.end());
        Hits found;
        for (const auto& [category, joke] : raw) {
            found.emplace_back(fileOf(category), joke);
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    Hits find(const std::wstring& text, bool all = true, bool caseSensitive = false) {
        std::uint32_t count = library->search(text, all, caseSensitive);
        EXPECT_EQ(count, library->getHitCount());
        return hits();
    }
    std::unique_ptr<JokeLibrary> library;
};

TEST_F(SearchTest, RefusalsWarnInOrderAndKeepTheOldHits) {
    makeLibrary({"abc\n", "xabcx"});
    EXPECT_EQ(find(L"abc"), (Hits{{1, 1}, {2, 1}}));
    EXPECT_EQ(library->search(L"ab", false, false), 0u);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"Keine Kategorie ausgew\u00e4hlt!");
    EXPECT_EQ(boxes()[0].caption, L"Warnung");
    EXPECT_EQ(boxes()[0].flags, 0x30u);
    EXPECT_EQ(library->getSearchText(), L"ab");
    EXPECT_EQ(library->getHitCount(), 0u);
    EXPECT_EQ(library->getHitCategories(), (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(library->getHitJokes(), (std::vector<std::uint32_t>{0, 1, 1}));
    EXPECT_EQ(library->search(L"ab", true, false), 0u);
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, L"Gib mindestens drei Buchstaben ein!");
    EXPECT_EQ(boxes()[1].caption, L"Warnung");
    // A character beyond the 16-bit range is two code units long: long enough, never found.
    std::wstring astral = sizeof(wchar_t) == 2
                              ? std::wstring(L"a\xD83D\xDE00")
                              : L"a" + std::wstring(1, static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(library->search(astral, true, false), 0u);
    EXPECT_EQ(boxes().size(), 2u);
}

TEST_F(SearchTest, FindsEachLineOnceAnywhereInIt) {
    makeLibrary({"abc abc abc\nno\nsolution\x12has abc\nline\x11"
                 "abc\n\n",
                 "   three\n two  \n"});
    EXPECT_EQ(find(L"abc"), (Hits{{1, 1}, {1, 3}, {1, 4}}));
    EXPECT_EQ(find(L"   "), (Hits{{2, 1}}));
    EXPECT_EQ(find(L"no\nsolution"), Hits{}); // a match never spans two jokes
    EXPECT_EQ(find(L"n\x12h"), (Hits{{1, 3}}));
    EXPECT_EQ(find(L"\x11"
                   L"ab"),
              (Hits{{1, 4}}));
    EXPECT_EQ(library->getSearchText(), L"\x11"
                                        L"ab");
}

// One row per letter pair of ISO 8859-1, then bytes 0x20 apart that are no pair: the signs
// U+00D7 and U+00F7; sharp s and y with diaeresis, which have no capital there; and 0x9F, which
// is a control character here (a capital Y with diaeresis in Windows-1252).
struct LetterPair {
    unsigned char capital;
    unsigned char small;
    bool folds;
};
const LetterPair letterPairs[] = {
    {'A', 'a', true},   {'B', 'b', true},    {'C', 'c', true},    {'D', 'd', true},
    {'E', 'e', true},   {'F', 'f', true},    {'G', 'g', true},    {'H', 'h', true},
    {'I', 'i', true},   {'J', 'j', true},    {'K', 'k', true},    {'L', 'l', true},
    {'M', 'm', true},   {'N', 'n', true},    {'O', 'o', true},    {'P', 'p', true},
    {'Q', 'q', true},   {'R', 'r', true},    {'S', 's', true},    {'T', 't', true},
    {'U', 'u', true},   {'V', 'v', true},    {'W', 'w', true},    {'X', 'x', true},
    {'Y', 'y', true},   {'Z', 'z', true},    {0xC0, 0xE0, true},  {0xC1, 0xE1, true},
    {0xC2, 0xE2, true}, {0xC3, 0xE3, true},  {0xC4, 0xE4, true},  {0xC5, 0xE5, true},
    {0xC6, 0xE6, true}, {0xC7, 0xE7, true},  {0xC8, 0xE8, true},  {0xC9, 0xE9, true},
    {0xCA, 0xEA, true}, {0xCB, 0xEB, true},  {0xCC, 0xEC, true},  {0xCD, 0xED, true},
    {0xCE, 0xEE, true}, {0xCF, 0xEF, true},  {0xD0, 0xF0, true},  {0xD1, 0xF1, true},
    {0xD2, 0xF2, true}, {0xD3, 0xF3, true},  {0xD4, 0xF4, true},  {0xD5, 0xF5, true},
    {0xD6, 0xF6, true}, {0xD7, 0xF7, false}, {0xD8, 0xF8, true},  {0xD9, 0xF9, true},
    {0xDA, 0xFA, true}, {0xDB, 0xFB, true},  {0xDC, 0xFC, true},  {0xDD, 0xFD, true},
    {0xDE, 0xFE, true}, {0xDF, 0xFF, false}, {0xBF, 0xDF, false}, {0x9F, 0xFF, false},
};

// Line 2k + 1 holds row k's capital after k in two digits, line 2k + 2 its small letter; a
// long last line lets the 16-byte loops fold every letter line.
TEST_F(SearchTest, FoldsTheCapitalsOfLatin1InBothLoops) {
    std::string file;
    for (std::size_t k = 0; k < std::size(letterPairs); ++k) {
        const char tens = static_cast<char>('0' + k / 10);
        const char ones = static_cast<char>('0' + k % 10);
        file += {tens, ones, static_cast<char>(letterPairs[k].capital), '\n'};
        file += {tens, ones, static_cast<char>(letterPairs[k].small), '\n'};
    }
    makeLibrary({file + std::string(40, '-')});
    for (ScanLoops loops : {ScanLoops::plain, ScanLoops::sse2}) {
        SCOPED_TRACE(chooseScanLoops(loops) == ScanLoops::sse2 ? "SSE2 loops" : "plain loops");
        for (std::uint32_t k = 0; k < std::size(letterPairs); ++k) {
            const LetterPair& pair = letterPairs[k];
            const wchar_t tens = static_cast<wchar_t>(L'0' + k / 10);
            const wchar_t ones = static_cast<wchar_t>(L'0' + k % 10);
            const std::wstring capital{tens, ones, pair.capital};
            const std::wstring small{tens, ones, pair.small};
            SCOPED_TRACE(testing::Message() << "capital 0x" << std::hex << int{pair.capital});
            const Hits both{{1, 2 * k + 1}, {1, 2 * k + 2}};
            const Hits capitalOnly{{1, 2 * k + 1}};
            const Hits smallOnly{{1, 2 * k + 2}};
            EXPECT_EQ(find(capital), pair.folds ? both : capitalOnly);
            EXPECT_EQ(library->getSearchText(), capital);
            EXPECT_EQ(find(small), pair.folds ? both : smallOnly);
            EXPECT_EQ(find(capital, true, true), capitalOnly);
            EXPECT_EQ(find(small, true, true), smallOnly);
        }
        EXPECT_EQ(find(L"\u20acuro"), Hits{});
    }
    chooseScanLoops(ScanLoops::sse2);
}

TEST_F(SearchTest, SearchesOneOrAllCategoriesInOrder) {
    makeLibrary({"x\nfoo", "foo\nfoo", "none", "a\nb\nfoo bar"});
    EXPECT_EQ(find(L"foo"), (Hits{{1, 2}, {2, 1}, {2, 2}, {4, 3}}));
    library->selectCategory(categoryOf(4));
    EXPECT_EQ(find(L"foo", false), (Hits{{4, 3}}));
    EXPECT_EQ(find(L"zzz", false), Hits{});
    EXPECT_EQ(library->getHitCategories(), std::vector<std::uint32_t>{0});
}

TEST_F(SearchTest, ARemovedOrChangedFileIsReadAsItIsNow) {
    makeLibrary({"needle", "hay\nneedle", "needle"});
    std::filesystem::remove(jokePath(L"2"));
    writeFile(L"3", "x\ny\nz\nneedle\x1a\nneedle");
    EXPECT_EQ(find(L"needle"), (Hits{{1, 1}, {3, 4}}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SearchTest, MatchesAcrossTheReadersBlocks) {
    const std::size_t block = 128 * 1024;
    const std::string text = "Pointe";
    std::vector<std::string> files;
    // The text starting at every offset around one or two block boundaries, in one long line
    // and after a CR LF that itself straddles a boundary.
    for (std::size_t boundary : {block, 2 * block}) {
        for (std::size_t back = 0; back <= text.size(); ++back) {
            files.push_back(std::string(boundary - back, 'p') + text + "\nPointe");
            files.push_back("a\n" + std::string(boundary - back - 3, 'q') + "\r\n" + text);
        }
    }
    // A long line whose only partial match ends right at a boundary must not count.
    files.push_back(std::string(block - 3, 'z') + "Poi" + "\nnte");
    makeLibrary(files);
    Hits expected;
    for (std::uint32_t n = 1; n < files.size(); ++n) {
        expected.emplace_back(n, n % 2 ? 1 : 3);
        if (n % 2) {
            expected.emplace_back(n, 2);
        }
    }
    EXPECT_EQ(find(L"pointe"), expected);
    EXPECT_EQ(find(L"Pointe", true, true), expected);
}

} // namespace
