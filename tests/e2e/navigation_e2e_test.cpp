// Choosing categories and jokes: the list, stepping, the number field, solutions, random choice.
#include "fixture.h"

namespace {

class NavigationTest : public PointexTest {
  protected:
    void SetUp() override {
        PointexTest::SetUp();
        writeSampleFolder();
        ASSERT_NO_FATAL_FAILURE(start());
    }

    int position(const std::wstring& name) const { return categoryNumber(name) - 1; }

    void expectCategoryShown(const std::wstring& name) {
        const auto count = sampleJokes(name).size();
        EXPECT_EQ(app.title(), L"Pointex 1.50 - [" + name + L"]");
        EXPECT_EQ(app.categorySelection(), position(name));
        EXPECT_EQ(app.statusPart(0), name + L": 0/" + std::to_wstring(count));
        EXPECT_EQ(app.jokeText(),
                  L"Kategorie: " + name + L"\r\n\r\nAnzahl Witze: " + std::to_wstring(count));
    }

    void expectJokeShown(const std::wstring& name, int joke) {
        const auto jokes = sampleJokes(name);
        EXPECT_EQ(app.statusPart(0),
                  name + L": " + std::to_wstring(joke) + L"/" + std::to_wstring(jokes.size()));
        ASSERT_GE(joke, 1);
        ASSERT_LE(joke, static_cast<int>(jokes.size()));
        EXPECT_EQ(app.jokeText(), jokes[joke - 1]);
    }

    // The category and joke number that status bar part 0 names, e.g. "Tiere: 3/4".
    std::pair<std::wstring, int> shownPlace() {
        const std::wstring status = app.statusPart(0);
        const auto colon = status.rfind(L": ");
        if (colon == std::wstring::npos) {
            ADD_FAILURE() << "no category in the status " << testing::PrintToString(status);
            return {};
        }
        return {status.substr(0, colon), std::stoi(status.substr(colon + 2))};
    }
};

TEST_F(NavigationTest, ChoosingEachCategoryShowsItsInformation) {
    for (const auto& name : listedNames()) {
        SCOPED_TRACE(testing::PrintToString(name));
        ASSERT_TRUE(app.chooseCategory(position(name)));
        expectCategoryShown(name);
    }
}

TEST_F(NavigationTest, ArrowKeyInTheClosedListChoosesTheNextCategory) {
    const auto names = listedNames();
    ASSERT_TRUE(app.pressKey(301, VK_DOWN));
    expectCategoryShown(names[0]);
    ASSERT_TRUE(app.pressKey(301, VK_DOWN));
    expectCategoryShown(names[1]);
}

TEST_F(NavigationTest, PreviousAndNextStepAndWrapAround) {
    ASSERT_TRUE(app.chooseCategory(position(tiere)));
    // From the category's information, back is the last joke.
    ASSERT_TRUE(app.click(307));
    expectJokeShown(tiere, 4);
    EXPECT_FALSE(app.enabled(303));
    ASSERT_TRUE(app.click(308));
    expectJokeShown(tiere, 1);
    EXPECT_TRUE(app.enabled(303)) << "joke 1 has a solution";
    ASSERT_TRUE(app.click(308));
    expectJokeShown(tiere, 2);
    EXPECT_FALSE(app.enabled(303));
    ASSERT_TRUE(app.click(307));
    ASSERT_TRUE(app.click(307));
    expectJokeShown(tiere, 4);
    // The menu commands do the same as the buttons.
    ASSERT_TRUE(app.command(308));
    expectJokeShown(tiere, 1);

    // A new category starts again from its information: forward is joke 1.
    ASSERT_TRUE(app.chooseCategory(position(zahlen)));
    expectCategoryShown(zahlen);
    ASSERT_TRUE(app.click(308));
    expectJokeShown(zahlen, 1);
    EXPECT_EQ(app.title(), L"Pointex 1.50 - [Zahlen]");
}

TEST_F(NavigationTest, SolutionPartsAreAppendedOneByOne) {
    ASSERT_TRUE(app.chooseCategory(position(tiere)));
    ASSERT_TRUE(app.click(308));
    const std::wstring joke = sampleJokes(tiere)[0];
    ASSERT_EQ(app.jokeText(), joke);
    ASSERT_TRUE(app.click(303));
    EXPECT_EQ(app.jokeText(), joke + L"\r\n\r\nEin Frosch.");
    EXPECT_TRUE(app.enabled(303)) << "a second part follows";
    ASSERT_TRUE(app.click(303));
    EXPECT_EQ(app.jokeText(), joke + L"\r\n\r\nEin Frosch.\r\n\r\nEin gr\u00fcner Frosch.");
    EXPECT_FALSE(app.enabled(303)) << "that was the last part";
    EXPECT_EQ(app.statusPart(0), L"Tiere: 1/4");

    // Joke 3 has one part; its line in the LF-only file of another category behaves alike.
    ASSERT_TRUE(app.replaceText(302, L"3"));
    ASSERT_TRUE(app.click(303));
    EXPECT_EQ(app.jokeText(), latin1("Der B\xe4r geht in die Bar.\r\n\r\nEr bestellt Honig."));
    EXPECT_FALSE(app.enabled(303));
    ASSERT_TRUE(app.chooseCategory(position(buero)));
    ASSERT_TRUE(app.replaceText(302, L"2"));
    ASSERT_TRUE(app.click(303));
    EXPECT_EQ(app.jokeText(), L"Der Drucker druckt nicht.\r\n\r\nPapier fehlt.");
}

TEST_F(NavigationTest, ChangingCategoryBeforeSolvingLeavesNoSolution) {
    ASSERT_TRUE(app.chooseCategory(position(tiere)));
    ASSERT_TRUE(app.click(308));
    ASSERT_TRUE(app.enabled(303));
    // The button keeps its state, but the information text has ended the joke.
    ASSERT_TRUE(app.chooseCategory(position(zahlen)));
    ASSERT_TRUE(app.click(303));
    EXPECT_EQ(app.jokeText(), L"Kategorie: Zahlen\r\n\r\nAnzahl Witze: 12\r\n\r\nKeine L\u00f6sung "
                              L"vorhanden!");
    EXPECT_FALSE(app.enabled(303));
}

TEST_F(NavigationTest, NumberFieldShowsTheTypedJokeAtOnce) {
    ASSERT_TRUE(app.chooseCategory(position(zahlen)));
    ASSERT_TRUE(app.type(302, L"1"));
    expectJokeShown(zahlen, 1);
    ASSERT_TRUE(app.type(302, L"2"));
    expectJokeShown(zahlen, 12);
    ASSERT_TRUE(app.type(302, L"x"));
    EXPECT_EQ(app.text(302), L"12") << "the field takes digits only";

    // Beyond the count, and an emptied field, show a valid joke chosen at random.
    for (const wchar_t* typed : {L"13", L"99", L"0", L""}) {
        SCOPED_TRACE(testing::PrintToString(typed));
        ASSERT_TRUE(app.replaceText(302, typed));
        const auto [name, joke] = shownPlace();
        EXPECT_EQ(name, zahlen);
        expectJokeShown(zahlen, joke);
    }

    ASSERT_TRUE(app.chooseCategory(position(leer)));
    ASSERT_TRUE(app.replaceText(302, L"1"));
    expectJokeShown(leer, 1);
    EXPECT_FALSE(app.enabled(303));
}

TEST_F(NavigationTest, JokeCommandsWithoutCategoryKeepTheWelcome) {
    const std::wstring welcome = app.jokeText();
    ASSERT_TRUE(app.type(302, L"3"));
    ASSERT_TRUE(app.click(308));
    ASSERT_TRUE(app.click(307));
    ASSERT_TRUE(app.click(305));
    EXPECT_EQ(app.jokeText(), welcome);
    EXPECT_EQ(app.statusPart(0), L"Pointex!");
    EXPECT_EQ(app.title(), L"Pointex 1.50");
    EXPECT_FALSE(app.enabled(303));
}

TEST_F(NavigationTest, RandomCommandsChooseValidCategoriesAndJokes) {
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(app.click(304));
        const auto [category, none] = shownPlace();
        EXPECT_EQ(none, 0);
        ASSERT_GT(categoryNumber(category), 0);
        expectCategoryShown(category);

        ASSERT_TRUE(app.click(305));
        const auto [sameCategory, joke] = shownPlace();
        EXPECT_EQ(sameCategory, category) << "a random joke stays in its category";
        expectJokeShown(category, joke);

        ASSERT_TRUE(app.command(306));
        const auto [otherCategory, otherJoke] = shownPlace();
        ASSERT_GT(categoryNumber(otherCategory), 0);
        EXPECT_EQ(app.title(), L"Pointex 1.50 - [" + otherCategory + L"]");
        EXPECT_EQ(app.categorySelection(), position(otherCategory));
        expectJokeShown(otherCategory, otherJoke);
    }
}

TEST_F(NavigationTest, SearchMenuCheckMarksToggle) {
    ASSERT_TRUE(app.command(313));
    EXPECT_EQ(app.menuState(313), UINT(MF_CHECKED));
    ASSERT_TRUE(app.command(313));
    EXPECT_EQ(app.menuState(313), 0u);
    ASSERT_TRUE(app.command(314));
    EXPECT_EQ(app.menuState(314), 0u);
    ASSERT_TRUE(app.command(314));
    EXPECT_EQ(app.menuState(314), UINT(MF_CHECKED));
}

} // namespace
