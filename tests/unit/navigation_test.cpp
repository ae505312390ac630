// Choosing categories and jokes, reading jokes and solutions, and the texts about the place.
#include "fixture.h"

#include <fstream>

#include "joke_library.h"
#include "platform.h"

namespace {

class NavigationTest : public JokeFolderTest {
  protected:
    // One category named "k" with the given bytes; it is made current.
    void openCategory(const std::string& bytes) {
        writeFile(L"k", bytes);
        library = std::make_unique<JokeLibrary>();
        ASSERT_EQ(library->selectCategory(1), 1u);
    }
    std::unique_ptr<JokeLibrary> library;
};

TEST(RandomGenerator, MatchesTheWindowsRuntimeSequence) {
    platform::seedRandom(1);
    EXPECT_EQ(platform::randomValue(), 41);
    EXPECT_EQ(platform::randomValue(), 18467);
    EXPECT_EQ(platform::randomValue(), 6334);
}

TEST(RandomGenerator, DrawsOneToMFromOneValue) {
    for (unsigned seed : {0u, 1u, 4711u, 29470u}) {
        for (std::uint32_t m : {1u, 2u, 7u, 150u, 32768u, 100000u, 4000000000u}) {
            platform::seedRandom(seed);
            std::uint64_t r = static_cast<std::uint64_t>(platform::randomValue());
            platform::seedRandom(seed);
            std::uint32_t drawn = randomDraw(m);
            EXPECT_EQ(drawn, r * m / 32768 + 1) << "seed " << seed << ", m " << m;
            EXPECT_GE(drawn, 1u);
            EXPECT_LE(drawn, m);
        }
    }
}

TEST_F(NavigationTest, StepsWrapAroundInBothDirections) {
    openCategory("1\n2\n3");
    library->nextJoke();
    EXPECT_EQ(library->getCurrentJoke(), 1u); // from the information text
    library->previousJoke();
    EXPECT_EQ(library->getCurrentJoke(), 3u);
    library->nextJoke();
    EXPECT_EQ(library->getCurrentJoke(), 1u);
    library->nextJoke();
    library->previousJoke();
    EXPECT_EQ(library->getCurrentJoke(), 1u);
    library->selectCategory(1);
    library->previousJoke(); // from 0 to the last
    EXPECT_EQ(library->getCurrentJoke(), 3u);
    EXPECT_EQ(library->getJokeText(library->getCurrentJoke()), L"3");
}

TEST_F(NavigationTest, ReadsSolutionPartsOneByOne) {
    openCategory("first\nX\x12Y\x12Z\nlast");
    EXPECT_EQ(library->getJokeText(2), L"X");
    EXPECT_TRUE(library->getHasSolution());
    EXPECT_EQ(library->getSolution(), L"Y");
    EXPECT_TRUE(library->getHasSolution());
    EXPECT_EQ(library->getSolution(), L"Z");
    EXPECT_FALSE(library->getHasSolution());
    EXPECT_EQ(library->getSolution(), L"Keine L\u00f6sung vorhanden!");
    EXPECT_EQ(library->getCurrentJoke(), 2u);
    EXPECT_EQ(library->getStatusText(), L"k: 2/3");
}

TEST_F(NavigationTest, EmptyPartsLineBreaksAndEmptyJokes) {
    openCategory("\x12only solution\nend\x12\na\x11"
                 "b\x12"
                 "c\x11"
                 "d\r\n");
    EXPECT_EQ(library->getJokeText(1), L"");
    EXPECT_TRUE(library->getHasSolution());
    EXPECT_EQ(library->getSolution(), L"only solution");
    EXPECT_EQ(library->getJokeText(2), L"end");
    EXPECT_EQ(library->getSolution(), L"");
    EXPECT_FALSE(library->getHasSolution());
    EXPECT_EQ(library->getJokeText(3), L"a\r\nb");
    EXPECT_EQ(library->getSolution(), L"c\r\nd");
    EXPECT_EQ(library->getJokeText(4), L""); // after the final line end
    EXPECT_FALSE(library->getHasSolution());
    EXPECT_EQ(library->getSolution(), L"Keine L\u00f6sung vorhanden!");
}

TEST_F(NavigationTest, CrLfAndLfFilesReadTheSame) {
    const std::string lf = "a\x12"
                           "b\nc\x11"
                           "d\x12\xe4\nlast";
    std::string crlf;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    std::vector<std::wstring> texts[2];
    int i = 0;
    for (const std::string& bytes : {lf, crlf}) {
        openCategory(bytes);
        for (std::uint32_t n = 1; n <= library->getJokeCount(0); ++n) {
            texts[i].push_back(library->getJokeText(n));
            while (library->getHasSolution()) {
                texts[i].push_back(library->getSolution());
            }
        }
        ++i;
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_EQ(texts[0], (std::vector<std::wstring>{L"a", L"b", L"c\r\nd", L"\u00e4", L"last"}));
}

TEST_F(NavigationTest, RandomChoicesFollowTheDraw) {
    writeFile(L"a", "1");
    writeFile(L"b", "1\n2\n3\n4\n5\n6\n7\n8\n9");
    library = std::make_unique<JokeLibrary>();
    for (unsigned seed = 0; seed < 40; ++seed) {
        platform::seedRandom(seed);
        std::uint32_t r1 = static_cast<std::uint32_t>(platform::randomValue());
        std::uint32_t r2 = static_cast<std::uint32_t>(platform::randomValue());
        platform::seedRandom(seed);
        std::uint32_t category = library->selectCategory(seed % 2 ? 0 : 7); // 7 is out of range
        EXPECT_EQ(category, r1 * 2 / 32768 + 1);
        std::uint32_t count = library->getJokeCount(0);
        library->getJokeText(seed % 3 ? 0 : 0xFFFFFFFF); // a negative number from the field
        EXPECT_EQ(library->getCurrentJoke(), r2 * count / 32768 + 1) << "seed " << seed;
    }
}

TEST_F(NavigationTest, SelectingACategoryShowsItsInformation) {
    writeFile(L"a", "1\n2");
    writeFile(L"b", "x\x12y");
    library = std::make_unique<JokeLibrary>();
    std::uint32_t b = library->getCategoryFiles()[0] == L"b" ? 1 : 2;
    EXPECT_EQ(library->getJokeText(1), library->getInfoText()); // no category yet
    EXPECT_EQ(library->getCurrentJoke(), 0u);
    library->selectCategory(b);
    EXPECT_EQ(library->getInfoText(), L"Kategorie: b\r\n\r\nAnzahl Witze: 1");
    EXPECT_EQ(library->getStatusText(), L"b: 0/1");
    EXPECT_EQ(library->getCategoryName(0), L"b");
    EXPECT_EQ(library->getCategoryName(99), L"b");
    EXPECT_EQ(library->getCategoryName(3 - b), L"a");
    EXPECT_EQ(library->getJokeText(1), L"x");
    EXPECT_TRUE(library->getHasSolution());
    library->getInfoText(); // clears the pending solution
    EXPECT_EQ(library->getSolution(), L"Keine L\u00f6sung vorhanden!");
}

TEST_F(NavigationTest, AFileChangedAfterCountingIsReadAsItIsNow) {
    openCategory("1\n2\n3\x12sol\n4");
    EXPECT_EQ(library->getJokeText(3), L"3");
    writeFile(L"k", "only\n"); // shortened
    EXPECT_EQ(library->getSolution(), L"");
    EXPECT_EQ(library->getJokeText(4), L"");
    EXPECT_FALSE(library->getHasSolution());
    EXPECT_EQ(library->getStatusText(), L"k: 4/4");
    std::filesystem::remove(jokePath(L"k"));
    EXPECT_EQ(library->getJokeText(2),
              L"Es ist ein Fehler beim \u00f6ffnen einer Datei aufgetreten!");
    EXPECT_EQ(library->getCurrentJoke(), 4u);
}

TEST_F(NavigationTest, AnUnopenableFileLeavesTheSolutionPending) {
    openCategory("q\x12"
                 "a");
    EXPECT_EQ(library->getJokeText(1), L"q");
    {
        auto blocker = makeUnopenable(jokePath(L"k"));
        EXPECT_EQ(library->getSolution(),
                  L"Es ist ein Fehler beim \u00f6ffnen der Datei aufgetreten!");
        EXPECT_TRUE(library->getHasSolution());
    }
    std::filesystem::remove(jokePath(L"k"));
    writeFile(L"k", "q\x12"
                    "a");
    EXPECT_EQ(library->getSolution(), L"a");
    EXPECT_TRUE(boxes().empty());
}

} // namespace
