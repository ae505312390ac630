// Building the library: listing the joke folder, counting, and what a failed count leaves.
#include "fixture.h"

#include <algorithm>
#include <fstream>

#include "joke_library.h"
#include "platform.h"

namespace {

using LibraryTest = JokeFolderTest;

// The folder's files in the order the system lists them, as the library must keep them.
std::vector<std::wstring> listedFiles(const std::filesystem::path& folder) {
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(folder.wstring() + platform::pathSeparator + L"*", entries);
    std::vector<std::wstring> names;
    for (const auto& entry : entries) {
        if (!entry.isDirectory && entry.name != L"." && entry.name != L"..") {
            names.push_back(entry.name);
        }
    }
    return names;
}

TEST_F(LibraryTest, StartsEmptyAndQuietWithoutAJokeFolder) {
    std::filesystem::remove_all(root / "Witze");
    JokeLibrary library;
    EXPECT_EQ(library.getCategoryCount(), 0u);
    EXPECT_EQ(library.categoryCount, 0u);
    EXPECT_EQ(library.totalJokes, 0u);
    EXPECT_TRUE(library.getCategoryFiles().empty());
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(library.getStatusText(), L"Pointex! (Error)");
    EXPECT_EQ(library.getInfoText(), L"Es ist ein Fehler aufgetreten");
    EXPECT_EQ(library.getJokeText(1), L"Es ist ein Fehler aufgetreten");
    EXPECT_EQ(library.selectCategory(0), 0u);
}

TEST_F(LibraryTest, ARemovedWorkingDirectoryGivesNoCategories) {
    std::filesystem::path gone = root / "gone";
    std::filesystem::create_directories(gone / "Witze");
    std::filesystem::current_path(gone);
    std::error_code error;
    std::filesystem::remove_all(gone, error);
    if (error || std::filesystem::exists(gone)) {
        GTEST_SKIP() << "this system cannot remove the working directory";
    }
    if (!platform::currentDirectory().empty()) {
        GTEST_SKIP() << "this system still names a removed working directory";
    }
    JokeLibrary library;
    EXPECT_EQ(library.categoryCount, 0u);
    EXPECT_EQ(library.getStatusText(), L"Pointex! (Error)");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(LibraryTest, SubfoldersAreNoCategories) {
    std::filesystem::create_directories(root / "Witze" / "sub");
    std::ofstream(root / "Witze" / "sub" / "inner") << "x";
    JokeLibrary library;
    EXPECT_EQ(library.categoryCount, 0u);
    EXPECT_EQ(library.getStatusText(), L"Pointex! (Error)");
}

TEST_F(LibraryTest, ListsEveryFileInTheSystemsOrderAndCountsIt) {
    writeFile(L".hidden.txt", "a\nb");
    writeFile(L"Flachwitze", "1\n2\n3\n");
    writeFile(L"leer", "");
    writeFile(L"mit Blanks (und Klammern)", "x\r\ny");
    writeFile(L"\u00c4rzte", "\xe4");
    std::filesystem::create_directories(root / "Witze" / "Ordner");
    JokeLibrary library;
    ASSERT_EQ(library.getCategoryCount(), 5u);
    EXPECT_EQ(library.getCategoryFiles(), listedFiles(root / "Witze"));
    const auto& names = library.getCategoryFiles();
    auto countOf = [&](const std::wstring& name) {
        auto at = std::find(names.begin(), names.end(), name);
        EXPECT_NE(at, names.end()) << visible(name);
        return library.getJokeCounts()[static_cast<std::size_t>(at - names.begin())];
    };
    EXPECT_EQ(countOf(L".hidden.txt"), 2u);
    EXPECT_EQ(countOf(L"Flachwitze"), 4u);
    EXPECT_EQ(countOf(L"leer"), 1u);
    EXPECT_EQ(countOf(L"mit Blanks (und Klammern)"), 2u);
    EXPECT_EQ(countOf(L"\u00c4rzte"), 1u);
    EXPECT_EQ(library.totalJokes, 10u);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(LibraryTest, StartsWithNoPlaceAndNoHits) {
    writeFile(L"a", "x");
    JokeLibrary library;
    EXPECT_EQ(library.getCurrentCategory(), 0u);
    EXPECT_EQ(library.getCurrentJoke(), 0u);
    EXPECT_FALSE(library.getHasSolution());
    EXPECT_EQ(library.getHitCount(), 0u);
    EXPECT_EQ(library.getHitCategories(), std::vector<std::uint32_t>{0});
    EXPECT_EQ(library.getHitJokes(), std::vector<std::uint32_t>{0});
    EXPECT_EQ(library.getSearchText(), L"...");
    EXPECT_EQ(library.getStatusText(), L"Pointex!");
    EXPECT_EQ(library.getCategoryName(0), L"Keine Kategorie");
    EXPECT_EQ(library.getInfoText(),
              L"Willkommen bei Tobrek's Pointex!\r\n\r\nW\u00e4hle eine Kategorie.");
}

TEST_F(LibraryTest, HundredFiftyFilesAreAllCounted) {
    for (int i = 0; i < 150; ++i) {
        writeFile(L"kat" + std::to_wstring(i), std::string(static_cast<std::size_t>(i % 7), '\n'));
    }
    JokeLibrary library;
    ASSERT_EQ(library.getCategoryCount(), 150u);
    std::uint32_t expected = 0;
    for (std::uint32_t i = 0; i < 150; ++i) {
        const std::wstring& name = library.getCategoryFiles()[i];
        std::uint32_t lines = static_cast<std::uint32_t>(std::stoi(name.substr(3)) % 7) + 1;
        EXPECT_EQ(library.getJokeCounts()[i], lines) << visible(name);
        expected += lines;
    }
    EXPECT_EQ(library.totalJokes, expected);
}

TEST_F(LibraryTest, AnUnopenableFileStopsCountingWithOneMessage) {
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) {
        writeFile(name, "1\n2\n");
    }
    std::vector<std::wstring> order = listedFiles(root / "Witze");
    ASSERT_EQ(order.size(), 5u);
    auto blocker = makeUnopenable(jokePath(order[2]));
    JokeLibrary library;
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, L"Eine Datei konnte nicht ge\u00f6ffnet werden");
    EXPECT_EQ(boxes()[0].caption, L"Error");
    EXPECT_EQ(boxes()[0].flags, 0x10u);
    EXPECT_EQ(library.getCategoryCount(), 0u);
    EXPECT_EQ(library.categoryCount, 5u);
    EXPECT_EQ(library.getJokeCounts(), (std::vector<std::uint32_t>{3, 3}));
    EXPECT_EQ(library.totalJokes, 6u);
    EXPECT_EQ(library.getStatusText(), L"Pointex! (Error)");
    EXPECT_EQ(library.getJokeCount(1), 0u);
    EXPECT_EQ(library.getCategoryName(1), L"Keine Kategorie");
    EXPECT_EQ(library.selectCategory(1), 0u);
    EXPECT_EQ(library.search(L"abc", true, false), 0u);
    EXPECT_EQ(boxes().size(), 1u);
}

} // namespace
