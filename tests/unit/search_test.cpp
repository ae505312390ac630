// The search: refusals, folding, one hit per line, order, and matches across read blocks.
#include "fixture.h"

#include <algorithm>
#include <utility>

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

TEST_F(SearchTest, FoldsOnlyAToZ) {
    makeLibrary({"abc\naBc\nABC\n\xe4rger\n\xc4rger\nstra\xdf"
                 "e"});
    EXPECT_EQ(find(L"ABC"), (Hits{{1, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(find(L"abc", true, true), (Hits{{1, 1}}));
    EXPECT_EQ(find(L"ABC", true, true), (Hits{{1, 3}}));
    EXPECT_EQ(find(L"\u00c4RGER"), (Hits{{1, 5}}));
    EXPECT_EQ(find(L"\u00e4rger"), (Hits{{1, 4}}));
    EXPECT_EQ(find(L"STRA\u00df"), (Hits{{1, 6}}));
    EXPECT_EQ(find(L"\u20acuro"), Hits{});
    EXPECT_EQ(library->getSearchText(), L"\u20acuro");
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
