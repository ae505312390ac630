// Joke folders of unusual shape: many categories, random bytes, odd names, read-only files.
#include "fixture.h"
#include "joke_model.h"
#include "robust_support.h"

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

using Hits = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class ContentsTest : public PointexTest {
  protected:
    void TearDown() override {
        // A read-only file could not be removed with the folder.
        for (const auto& name : listedNames()) {
            SetFileAttributesW(jokePath(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        PointexTest::TearDown();
    }

    // Writes the files and starts; the list must show every file with its joke count.
    void startWith(const std::map<std::wstring, std::string>& files) {
        for (const auto& [name, bytes] : files) {
            writeJokeFile(name, bytes);
        }
        ASSERT_NO_FATAL_FAILURE(start());
        std::vector<std::wstring> expected;
        std::size_t total = 0;
        for (const auto& name : listedNames()) {
            const auto count = model::jokes(files.at(name)).size();
            expected.push_back(name + L"  (" + std::to_wstring(count) + L")");
            total += count;
        }
        EXPECT_EQ(app.categoryItems(), expected);
        EXPECT_EQ(app.statusPart(1), std::to_wstring(total) + L" Witze in " +
                                         std::to_wstring(files.size()) + L" Kategorien");
    }

    // Steps through every joke of a category with " Vor" and reveals every solution part,
    // comparing each view with the reference.
    void readWholeCategory(const std::wstring& name, const std::string& bytes) {
        SCOPED_TRACE(testing::PrintToString(name));
        ASSERT_TRUE(app.chooseCategory(categoryNumber(name) - 1));
        EXPECT_EQ(app.title(), L"Pointex 1.50 - [" + name + L"]");
        const auto jokes = model::jokes(bytes);
        for (std::size_t k = 1; k <= jokes.size(); ++k) {
            SCOPED_TRACE(k);
            ASSERT_TRUE(app.click(308));
            const auto parts = model::parts(jokes[k - 1]);
            EXPECT_EQ(app.statusPart(0),
                      name + L": " + std::to_wstring(k) + L"/" + std::to_wstring(jokes.size()));
            std::size_t revealed = 0;
            EXPECT_EQ(app.jokeText(), model::view(parts, revealed));
            while (app.enabled(303) && revealed < parts.size()) {
                ASSERT_TRUE(app.click(303));
                EXPECT_EQ(app.jokeText(), model::view(parts, ++revealed));
            }
            EXPECT_EQ(revealed, parts.size() - 1) << "every solution part, then no more";
            EXPECT_FALSE(app.enabled(303));
        }
    }

    // Searches all categories and compares the hits with the reference.
    void expectSearch(const std::map<std::wstring, std::string>& files, const std::wstring& text,
                      bool caseSensitive) {
        // One group in the tree at a time keeps reading it short.
        ASSERT_TRUE(app.command(311));
        const std::wstring held = searchFor(app, text);
        SCOPED_TRACE("searched for " + testing::PrintToString(held));
        ASSERT_GE(held.size(), 3u);
        Hits expected;
        for (const auto& name : listedNames()) {
            for (auto joke : model::hits(files.at(name), held, caseSensitive)) {
                expected.emplace_back(categoryNumber(name), joke);
            }
        }
        EXPECT_EQ(newestHits(app), expected);
        EXPECT_TRUE(app.messageBoxes().empty());
    }
};

TEST_F(ContentsTest, HundredFiftyCategoriesAreAllListedAndUsable) {
    std::map<std::wstring, std::string> files;
    for (int i = 1; i <= 150; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Kategorie %03d", i);
        std::string bytes;
        for (int j = 1; j <= i % 5 + 1; ++j) {
            bytes += (j > 1 ? "\r\n" : "") + std::string("Witz ") + std::to_string(j) + " von " +
                     std::to_string(i);
        }
        files[name] = bytes + (i == 150 ? "\x12Schlusslicht" : "");
    }
    ASSERT_NO_FATAL_FAILURE(startWith(files));

    const std::wstring last = listedNames().back();
    ASSERT_TRUE(app.chooseCategory(149));
    EXPECT_EQ(app.title(), L"Pointex 1.50 - [" + last + L"]");
    EXPECT_EQ(app.statusPart(0), last + L": 0/1");
    ASSERT_TRUE(app.click(308));
    EXPECT_EQ(app.jokeText(), L"Witz 1 von 150");
    ASSERT_TRUE(app.click(303));
    EXPECT_EQ(app.jokeText(), L"Witz 1 von 150\r\n\r\nSchlusslicht");

    ASSERT_TRUE(app.chooseCategory(0));
    ASSERT_NO_FATAL_FAILURE(expectSearch(files, L"schlusslicht", false));
    const auto group = app.tree().back();
    ASSERT_TRUE(app.doubleClick(group.children.at(0).children.at(0)));
    EXPECT_EQ(app.statusPart(0), last + L": 1/1");
    EXPECT_EQ(app.categorySelection(), 149);
    ASSERT_NO_FATAL_FAILURE(expectSearch(files, L"von 15", false));
}

TEST_F(ContentsTest, RandomBytesAreShownAndFoundAsTheReferenceSays) {
    std::map<std::wstring, std::string> files;
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
        files[L"Zufall " + std::to_wstring(seed)] =
            model::randomJokeFile(seed, 400 + 100 * seed, seed % 2 == 0);
    }
    ASSERT_NO_FATAL_FAILURE(startWith(files));
    for (const auto& [name, bytes] : files) {
        ASSERT_NO_FATAL_FAILURE(readWholeCategory(name, bytes));
    }

    // Pieces of random lines, control bytes and bytes above 0x7F included, as the user could
    // paste them; the field takes no line end and no 0x00.
    std::mt19937 random(7);
    std::vector<std::wstring> texts;
    for (const auto& [name, bytes] : files) {
        const auto jokes = model::jokes(bytes);
        const std::size_t enough = texts.size() + 4;
        for (int tries = 0; tries < 200 && texts.size() < enough; ++tries) {
            const auto& line = jokes[random() % jokes.size()];
            if (line.size() < 6) {
                continue;
            }
            const std::size_t length = 3 + texts.size() % 2;
            std::string piece = line.substr(random() % (line.size() - length), length);
            if (piece.find_first_of(std::string("\r\0", 2)) == std::string::npos) {
                texts.push_back(latin1(piece));
                // Its small letters too, which only a search without regard to case finds.
                for (char& c : piece) {
                    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
                }
                texts.push_back(latin1(piece));
            }
        }
    }
    ASSERT_GE(texts.size(), 12u);
    for (const auto& text : texts) {
        ASSERT_NO_FATAL_FAILURE(expectSearch(files, text, false));
    }
    ASSERT_TRUE(app.command(313));
    for (const auto& text : texts) {
        ASSERT_NO_FATAL_FAILURE(expectSearch(files, text, true));
    }
}

TEST_F(ContentsTest, OddFileNamesAreListedReadAndFound) {
    const std::map<std::wstring, std::string> files{
        {L"Witze mit Leerzeichen", "Leer eins\x12L\xf6sung eins\r\nLeer zwei"},
        {L"(Klammern) und [mehr]", "Klammer eins\x12L\xf6sung zwei"},
        {L"\u00c4rger \u00fcber \u00d6l & Stra\u00dfe", "\xc4rger eins\r\n\xd6l zwei"},
        {L".versteckt", "Punkt eins\x12L\xf6sung drei\r\nPunkt zwei"},
        {L" vorn leer.txt", "Vorn eins"},
    };
    ASSERT_NO_FATAL_FAILURE(startWith(files));
    for (const auto& [name, bytes] : files) {
        ASSERT_NO_FATAL_FAILURE(readWholeCategory(name, bytes));
    }
    ASSERT_NO_FATAL_FAILURE(expectSearch(files, L"eins", false));
    const auto group = app.tree().back();
    std::vector<std::wstring> shownNames;
    for (const auto& category : group.children) {
        shownNames.push_back(category.text);
    }
    EXPECT_EQ(shownNames, listedNames());
}

TEST_F(ContentsTest, ReadOnlyFilesAreReadAndSearched) {
    writeSampleFolder();
    std::map<std::wstring, std::string> files;
    for (const auto& name : listedNames()) {
        std::ifstream in(std::filesystem::path(jokePath(name)), std::ios::binary);
        files[name] = std::string(std::istreambuf_iterator<char>(in), {});
        ASSERT_TRUE(SetFileAttributesW(jokePath(name).c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(GetFileAttributesW(jokePath(name).c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    ASSERT_NO_FATAL_FAILURE(start());
    for (const auto& [name, bytes] : files) {
        ASSERT_NO_FATAL_FAILURE(readWholeCategory(name, bytes));
    }
    for (const wchar_t* text : {L"Witz", L"frosch", L"Drucker"}) {
        ASSERT_NO_FATAL_FAILURE(expectSearch(files, text, false));
    }
}

} // namespace
