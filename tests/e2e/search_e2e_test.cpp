// The search as the user sees it: groups in the result tree, warnings, clearing, double-clicks.
#include "fixture.h"

namespace {

const std::wstring bar = L"Bar";
const std::wstring garten = L"Garten";
const std::wstring heading = L" [316]";

class SearchTest : public PointexTest {
  protected:
    void SetUp() override {
        PointexTest::SetUp();
        // "bar" in several cases, once only in a solution part; umlauts in both cases.
        writeJokeFile(bar, "In der Bar sitzt ein Pferd.\r\n"
                           "Barfu\xdf kommt der Barkeeper.\x12"
                           "Er hat keine Schuhe.\r\n"
                           "Nichts hier.\r\n"
                           "Die Rechnung, bitte!\x12"
                           "Die bAR ist zu.");
        writeJokeFile(garten, "Der G\xe4rtner und die Barbara.\n"
                              "Die \xe4pfel sind reif.\n"
                              "Drei Punkte...");
        writeJokeFile(L"Leer", "");
        ASSERT_NO_FATAL_FAILURE(start());
    }

    // The tree as indented lines "text [value]", so a failure shows the whole tree.
    static void addLines(const std::vector<e2e::TreeItem>& items, const std::wstring& indent,
                         std::vector<std::wstring>& lines) {
        for (const auto& item : items) {
            lines.push_back(indent + item.text + L" [" + std::to_wstring(item.value) + L"]");
            addLines(item.children, indent + L"  ", lines);
        }
    }
    std::vector<std::wstring> treeLines() {
        std::vector<std::wstring> lines;
        addLines(app.tree(), L"", lines);
        return lines;
    }

    std::wstring hit(int joke, const std::wstring& category) {
        return L"    " + std::to_wstring(joke) + L" [" +
               std::to_wstring(joke * 1000 + categoryNumber(category)) + L"]";
    }

    bool search(const std::wstring& text) { return app.replaceText(309, text) && app.click(310); }

    // A search that is refused with a warning box: the box is read and closed.
    void expectWarning(const std::wstring& text) {
        const auto box = app.waitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, L"Warnung");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(GetWindow(box.window, GW_OWNER), nullptr);
        ASSERT_TRUE(app.dismiss(box));
        ASSERT_TRUE(app.barrier());
        EXPECT_TRUE(app.messageBoxes().empty());
    }
};

TEST_F(SearchTest, SearchInAllCategoriesIgnoringCase) {
    ASSERT_TRUE(search(L"bar"));
    EXPECT_EQ(treeLines(), (std::vector<std::wstring>{
                               L"In allen Kategorien:" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"4 Fundstellen" + heading,
                               L"bar" + heading,
                               L"  Bar" + heading,
                               hit(1, bar),
                               hit(2, bar),
                               hit(4, bar),
                               L"  Garten" + heading,
                               hit(1, garten),
                           }));
    // The search leaves the rest of the window as it was.
    EXPECT_EQ(app.title(), L"Pointex 1.50");
    EXPECT_EQ(app.statusPart(0), L"Pointex!");
    EXPECT_EQ(app.text(309), L"bar");
}

TEST_F(SearchTest, CaseMarksAndOneCategory) {
    ASSERT_TRUE(app.command(313));
    ASSERT_TRUE(search(L"Bar"));
    ASSERT_TRUE(app.command(313));
    // With case ignored a capital umlaut finds the small one; the tree shows the text as typed.
    ASSERT_TRUE(search(L"\u00c4PFEL"));
    ASSERT_TRUE(search(L"\u00e4PFEL"));
    ASSERT_TRUE(app.chooseCategory(categoryNumber(garten) - 1));
    ASSERT_TRUE(app.command(314));
    ASSERT_TRUE(search(L"bar"));

    EXPECT_EQ(treeLines(), (std::vector<std::wstring>{
                               L"In allen Kategorien:" + heading,
                               L"Schreibung beachtet" + heading,
                               L"3 Fundstellen" + heading,
                               L"Bar" + heading,
                               L"  Bar" + heading,
                               hit(1, bar),
                               hit(2, bar),
                               L"  Garten" + heading,
                               hit(1, garten),
                               L"In allen Kategorien:" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"1 Fundstellen" + heading,
                               L"\u00c4PFEL" + heading,
                               L"  Garten" + heading,
                               hit(2, garten),
                               L"In allen Kategorien:" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"1 Fundstellen" + heading,
                               L"\u00e4PFEL" + heading,
                               L"  Garten" + heading,
                               hit(2, garten),
                               L"Nur \"Garten\"" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"1 Fundstellen" + heading,
                               L"bar" + heading,
                               L"  Garten" + heading,
                               hit(1, garten),
                           }));
    EXPECT_EQ(app.statusPart(0), L"Garten: 0/3");
}

TEST_F(SearchTest, EnterInTheSearchFieldSearchesOnce) {
    ASSERT_TRUE(app.replaceText(309, L"Punkte"));
    ASSERT_TRUE(app.pressKey(309, VK_RETURN));
    const auto lines = treeLines();
    ASSERT_EQ(lines.size(), 6u) << "one group of four headings, one category, one hit";
    EXPECT_EQ(lines[3], L"Punkte" + heading);
    EXPECT_EQ(lines[5], hit(3, garten));
    EXPECT_EQ(app.text(309), L"Punkte");
}

TEST_F(SearchTest, FirstSearchUsesTheInitialDots) {
    ASSERT_TRUE(app.click(310));
    EXPECT_EQ(treeLines(), (std::vector<std::wstring>{
                               L"In allen Kategorien:" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"1 Fundstellen" + heading,
                               L"..." + heading,
                               L"  Garten" + heading,
                               hit(3, garten),
                           }));
}

TEST_F(SearchTest, RefusedSearchesWarnAndStillAddAGroup) {
    ASSERT_TRUE(search(L"ab"));
    ASSERT_NO_FATAL_FAILURE(expectWarning(L"Gib mindestens drei Buchstaben ein!"));
    // Without "all categories" and without a category, that warning comes first.
    ASSERT_TRUE(app.command(314));
    ASSERT_TRUE(search(L"xy"));
    ASSERT_NO_FATAL_FAILURE(expectWarning(L"Keine Kategorie ausgew\u00e4hlt!"));

    EXPECT_EQ(treeLines(), (std::vector<std::wstring>{
                               L"In allen Kategorien:" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"0 Fundstellen" + heading,
                               L"ab" + heading,
                               L"Nur \"Keine Kategorie\"" + heading,
                               L"Schreibung nicht beachtet" + heading,
                               L"0 Fundstellen" + heading,
                               L"xy" + heading,
                           }));
    EXPECT_TRUE(IsWindowEnabled(app.mainWindow()));
}

TEST_F(SearchTest, ClearingEmptiesTheTree) {
    ASSERT_TRUE(search(L"bar"));
    ASSERT_TRUE(search(L"Punkte"));
    ASSERT_EQ(app.tree().size(), 8u);
    ASSERT_TRUE(app.command(311));
    EXPECT_TRUE(app.tree().empty());
    ASSERT_TRUE(app.command(311));
    EXPECT_TRUE(app.tree().empty());
    ASSERT_TRUE(search(L"Punkte"));
    EXPECT_EQ(app.tree().size(), 4u);
}

TEST_F(SearchTest, DoubleClickOnAHitShowsItsJoke) {
    ASSERT_TRUE(search(L"bar"));
    ASSERT_TRUE(search(L"Pferd"));
    const auto roots = app.tree();
    ASSERT_EQ(roots.size(), 8u);

    // A hit of the older group, in another category than the current one.
    ASSERT_TRUE(app.chooseCategory(categoryNumber(bar) - 1));
    const auto& gartenItem = roots[3].children.at(1);
    ASSERT_EQ(gartenItem.text, garten);
    ASSERT_TRUE(app.doubleClick(gartenItem.children.at(0)));
    EXPECT_EQ(app.title(), L"Pointex 1.50 - [Garten]");
    EXPECT_EQ(app.categorySelection(), categoryNumber(garten) - 1);
    EXPECT_EQ(app.statusPart(0), L"Garten: 1/3");
    EXPECT_EQ(app.jokeText(), L"Der G\u00e4rtner und die Barbara.");

    ASSERT_TRUE(app.doubleClick(roots[3].children.at(0).children.at(1)));
    EXPECT_EQ(app.title(), L"Pointex 1.50 - [Bar]");
    EXPECT_EQ(app.statusPart(0), L"Bar: 2/4");
    EXPECT_EQ(app.jokeText(), L"Barfu\u00df kommt der Barkeeper.");
    EXPECT_TRUE(app.enabled(303));

    // Headings and category items lead nowhere.
    for (const auto* item : {&roots[0], &roots[2], &roots[7], &roots[7].children.at(0)}) {
        SCOPED_TRACE(testing::PrintToString(item->text));
        ASSERT_TRUE(app.doubleClick(*item));
        EXPECT_EQ(app.title(), L"Pointex 1.50 - [Bar]");
        EXPECT_EQ(app.statusPart(0), L"Bar: 2/4");
        EXPECT_EQ(app.jokeText(), L"Barfu\u00df kommt der Barkeeper.");
    }
}

} // namespace
