// Joke files that vanish, change, are locked or are huge while Pointex runs: the texts it shows
// instead, and that it goes on answering.
#include "fixture.h"
#include "joke_model.h"
#include "robust_support.h"

#include <cstdio>

namespace {

const std::wstring errorJoke = L"Es ist ein Fehler beim \u00f6ffnen einer Datei aufgetreten!";
const std::wstring errorSolution = L"Es ist ein Fehler beim \u00f6ffnen der Datei aufgetreten!";
const std::wstring alpha = L"Alpha";
const std::wstring beta = L"Beta";
const std::string alphaBytes = "Erster Witz\x12"
                               "Erste L\xf6sung\x12"
                               "Zweite L\xf6sung\r\n"
                               "Zweiter Witz\r\n"
                               "Dritter Witz mit Schatz\x12"
                               "Schatzsuche";

class RobustnessTest : public PointexTest {
  protected:
    // Alpha: three jokes, the first with two solution parts; Beta: a "Schatz" in joke 1.
    void startWithTwoFiles() {
        writeJokeFile(alpha, alphaBytes);
        writeJokeFile(beta, "Ein Schatz im Keller\r\nNichts");
        ASSERT_NO_FATAL_FAILURE(start());
        // Numbered now: a removed file is no longer listed, but the program keeps its number.
        numbers = {{alpha, categoryNumber(alpha)}, {beta, categoryNumber(beta)}};
        ASSERT_TRUE(app.chooseCategory(position(alpha)));
    }

    int position(const std::wstring& name) const { return numbers.at(name) - 1; }

    // The test's own change to the folder; the program must not write after it either.
    void changeFile(const std::wstring& name, const std::string& bytes) {
        writeJokeFile(name, bytes);
        recordFolder();
    }

    void expectShown(const std::wstring& text, const std::wstring& status, bool solvable) {
        EXPECT_EQ(app.jokeText(), text);
        EXPECT_EQ(app.statusPart(0), status);
        EXPECT_EQ(app.enabled(303), solvable);
    }

    // Still running, answering, and no box was opened.
    void expectAlive() {
        ASSERT_TRUE(app.running());
        ASSERT_TRUE(app.barrier());
        EXPECT_TRUE(app.messageBoxes().empty());
    }

    std::pair<std::uint32_t, std::uint32_t> hit(const std::wstring& name, std::uint32_t joke) {
        return {static_cast<std::uint32_t>(numbers.at(name)), joke};
    }
    using Hits = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

    std::map<std::wstring, int> numbers;
};

TEST_F(RobustnessTest, AfterTheStartErrorNoCommandOpensAnotherBox) {
    writeJokeFile(L"A", "eins\r\nzwei");
    writeJokeFile(L"B", "drei");
    recordFolder();
    FileLock lock(jokePath(listedNames().front()));
    ASSERT_TRUE(app.launch(root));
    const auto box = app.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    ASSERT_TRUE(app.dismiss(box));
    lock.release();
    ASSERT_TRUE(app.waitForMainWindow());

    // Counting stopped at the first file. Then every command, also searches the program would
    // refuse with a warning if it had categories: none may show a box or another text.
    EXPECT_EQ(app.statusPart(1), L"0 Witze in 2 Kategorien");
    const auto run = [&](const char* what, const std::function<bool()>& action) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(action());
        expectAlive();
        EXPECT_EQ(app.jokeText(), L"Es ist ein Fehler aufgetreten");
        EXPECT_EQ(app.statusPart(0), L"Pointex! (Error)");
        EXPECT_FALSE(app.enabled(303));
    };
    run("random category", [&] { return app.click(304); });
    run("random joke", [&] { return app.click(305); });
    run("random category and joke", [&] { return app.click(306); });
    run("previous", [&] { return app.click(307); });
    run("next", [&] { return app.click(308); });
    run("number", [&] { return app.type(302, L"2"); });
    run("search", [&] { return !searchFor(app, L"eins").empty(); });
    run("short search", [&] { return !searchFor(app, L"ei").empty(); });
    run("one category", [&] { return app.command(314) && !searchFor(app, L"zw").empty(); });
    run("clear", [&] { return app.command(311); });
    EXPECT_TRUE(app.categoryItems().empty());
    EXPECT_EQ(app.title(), L"Pointex 1.50 - [Keine Kategorie]");
}

TEST_F(RobustnessTest, RemovedFileGivesTheErrorTextsAndIsSkippedBySearch) {
    ASSERT_NO_FATAL_FAILURE(startWithTwoFiles());
    ASSERT_TRUE(app.click(308));
    ASSERT_TRUE(DeleteFileW(jokePath(alpha).c_str()));
    recordFolder();

    // The solution may be tried again: the button stays enabled.
    ASSERT_TRUE(app.click(303));
    expectShown(L"Erster Witz\r\n\r\n" + errorSolution, L"Alpha: 1/3", true);
    ASSERT_TRUE(app.click(308));
    expectShown(errorJoke, L"Alpha: 2/3", false);
    // A failed jump keeps the joke number; stepping moves it.
    ASSERT_TRUE(app.replaceText(302, L"3"));
    expectShown(errorJoke, L"Alpha: 2/3", false);
    ASSERT_TRUE(app.click(307));
    expectShown(errorJoke, L"Alpha: 1/3", false);
    ASSERT_TRUE(app.click(305));
    expectShown(errorJoke, L"Alpha: 1/3", false);

    EXPECT_EQ(searchFor(app, L"Schatz"), L"Schatz");
    EXPECT_EQ(newestHits(app), Hits{hit(beta, 1)});
    ASSERT_TRUE(app.chooseCategory(position(alpha)));
    EXPECT_EQ(app.jokeText(), L"Kategorie: Alpha\r\n\r\nAnzahl Witze: 3");
    ASSERT_NO_FATAL_FAILURE(expectAlive());

    // Back in place, the file reads as before.
    changeFile(alpha, alphaBytes);
    ASSERT_TRUE(app.click(307));
    expectShown(L"Dritter Witz mit Schatz", L"Alpha: 3/3", true);
    ASSERT_TRUE(app.click(303));
    expectShown(L"Dritter Witz mit Schatz\r\n\r\nSchatzsuche", L"Alpha: 3/3", false);
}

TEST_F(RobustnessTest, ShortenedAndGrownFilesReadAsTheyAreNow) {
    ASSERT_NO_FATAL_FAILURE(startWithTwoFiles());
    changeFile(alpha, "Nur noch einer\x12Rest");

    // Lines beyond the new end are empty jokes without a solution; the counts stay.
    ASSERT_TRUE(app.replaceText(302, L"3"));
    expectShown(L"", L"Alpha: 3/3", false);
    ASSERT_TRUE(app.click(307));
    expectShown(L"", L"Alpha: 2/3", false);
    ASSERT_TRUE(app.click(307));
    expectShown(L"Nur noch einer", L"Alpha: 1/3", true);
    EXPECT_EQ(searchFor(app, L"noch"), L"noch");
    EXPECT_EQ(newestHits(app), Hits{hit(alpha, 1)});

    // Emptied while a solution is pending: the part read is empty and the last.
    changeFile(alpha, "");
    ASSERT_TRUE(app.click(303));
    expectShown(L"Nur noch einer\r\n\r\n", L"Alpha: 1/3", false);

    changeFile(alpha, "Neu 1\r\nNeu 2 Schatz\r\nNeu 3\x12L\xf6sung 3\r\n"
                      "Neu 4\r\nNeu 5\r\nNeu 6 Schatz");
    ASSERT_TRUE(app.click(308));
    expectShown(L"Neu 2 Schatz", L"Alpha: 2/3", false);
    ASSERT_TRUE(app.replaceText(302, L"3"));
    ASSERT_TRUE(app.click(303));
    expectShown(L"Neu 3\r\n\r\nL\u00f6sung 3", L"Alpha: 3/3", false);
    // The search reads the whole file, beyond the counted jokes too.
    EXPECT_EQ(searchFor(app, L"schatz"), L"schatz");
    const Hits expected{hit(alpha, 2), hit(alpha, 6), hit(beta, 1)};
    EXPECT_EQ(newestHits(app), expected);

    // A hit beyond the count shows a counted joke chosen at random.
    const auto group = app.tree().back();
    const auto& alphaItem = group.children.at(0);
    ASSERT_EQ(alphaItem.text, alpha);
    ASSERT_TRUE(app.doubleClick(alphaItem.children.at(1)));
    const std::wstring status = app.statusPart(0);
    ASSERT_EQ(status.substr(0, 7), L"Alpha: ");
    const int shown = _wtoi(status.c_str() + 7);
    ASSERT_TRUE(shown >= 1 && shown <= 3) << testing::PrintToString(status);
    const wchar_t* lines[] = {L"Neu 1", L"Neu 2 Schatz", L"Neu 3"};
    EXPECT_EQ(app.jokeText(), lines[shown - 1]);
    ASSERT_NO_FATAL_FAILURE(expectAlive());
}

TEST_F(RobustnessTest, FileLockedWhileShowingAJokeAndItsSolution) {
    ASSERT_NO_FATAL_FAILURE(startWithTwoFiles());
    ASSERT_TRUE(app.click(308));
    FileLock lock(jokePath(alpha));
    ASSERT_TRUE(lock.held());

    ASSERT_TRUE(app.click(303));
    ASSERT_TRUE(app.click(303));
    const std::wstring failedTwice =
        L"Erster Witz\r\n\r\n" + errorSolution + L"\r\n\r\n" + errorSolution;
    expectShown(failedTwice, L"Alpha: 1/3", true);

    lock.release();
    ASSERT_TRUE(app.click(303));
    expectShown(failedTwice + L"\r\n\r\nErste L\u00f6sung", L"Alpha: 1/3", true);
    ASSERT_TRUE(app.click(303));
    expectShown(failedTwice + L"\r\n\r\nErste L\u00f6sung\r\n\r\nZweite L\u00f6sung", L"Alpha: 1/3",
                false);

    FileLock again(jokePath(alpha));
    ASSERT_TRUE(app.click(308));
    expectShown(errorJoke, L"Alpha: 2/3", false);
    ASSERT_TRUE(app.replaceText(302, L"3"));
    expectShown(errorJoke, L"Alpha: 2/3", false);
    EXPECT_EQ(searchFor(app, L"Schatz"), L"Schatz");
    EXPECT_EQ(newestHits(app), Hits{hit(beta, 1)});
    ASSERT_NO_FATAL_FAILURE(expectAlive());

    again.release();
    ASSERT_TRUE(app.click(308));
    expectShown(L"Dritter Witz mit Schatz", L"Alpha: 3/3", true);
    EXPECT_EQ(searchFor(app, L"Schatz"), L"Schatz");
    EXPECT_EQ(newestHits(app), (Hits{hit(alpha, 3), hit(beta, 1)}));
}

// A joke of 10 MB in one line, broken into short lines by 0x11, and one of 10 MB without any
// break, which is only searched: the edit control under Wine takes time that grows with the
// square of a paragraph's length (29 KB: 3 s, 100 KB: 29 s).
TEST_F(RobustnessTest, TenMegabyteJokesAreShownAndFound) {
    std::string huge = "Anfang ";
    while (huge.size() < 10'000'000) {
        huge += "Witz und noch ein Witz, so lang wie eine Zeile sein kann.\x11";
    }
    huge += "Schlusspunkt";
    writeJokeFile(L"Riesig", huge + "\x12"
                                    "Die L\xf6sung\r\nKurzer Witz");
    std::string endless(10'000'000, 'a');
    for (std::size_t i = 7; i < endless.size(); i += 8) {
        endless[i] = ' ';
    }
    endless.replace(endless.size() / 2, 5, "Nadel");
    writeJokeFile(L"Endlos", endless + "\r\nletzter");
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(app.statusPart(1), L"4 Witze in 2 Kategorien");

    ASSERT_TRUE(app.chooseCategory(categoryNumber(L"Riesig") - 1));
    const long took = slowClick(app, 308, 30000);
    std::printf("showing the 10 MB joke took %ld ms\n", took);
    ASSERT_GE(took, 0) << "the program did not answer within 30 s after showing the 10 MB joke";
    const std::wstring text = app.jokeText();
    const std::wstring expected = model::view({huge}, 0);
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_TRUE(text == expected) << "the 10 MB joke differs from the file";
    EXPECT_EQ(app.statusPart(0), L"Riesig: 1/2");
    EXPECT_TRUE(app.enabled(303));

    const DWORD start = GetTickCount();
    EXPECT_EQ(searchFor(app, L"Schlusspunkt"), L"Schlusspunkt");
    EXPECT_EQ(newestHits(app), (Hits{{categoryNumber(L"Riesig"), 1}}));
    EXPECT_EQ(searchFor(app, L"Nadel"), L"Nadel");
    EXPECT_EQ(newestHits(app), (Hits{{categoryNumber(L"Endlos"), 1}}));
    std::printf("two searches through 20 MB took %lu ms\n", GetTickCount() - start);
    ASSERT_TRUE(app.click(308));
    EXPECT_EQ(app.jokeText(), L"Kurzer Witz");
    ASSERT_NO_FATAL_FAILURE(expectAlive());
}

// EM_REPLACESEL honours the edit control's text limit, by default about 30,000 characters:
// the program lifts it, or the solution of a longer joke would never be appended.
TEST_F(RobustnessTest, SolutionOfAJokeBeyondThirtyThousandCharactersIsShown) {
    std::string joke;
    while (joke.size() < 40'000) {
        joke += "Eine Zeile eines langen Witzes.\x11";
    }
    writeJokeFile(L"Lang", joke + "\x12"
                                  "Die L\xf6sung");
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(app.chooseCategory(0));
    ASSERT_GE(slowClick(app, 308, 20000), 0);
    ASSERT_GE(slowClick(app, 303, 20000), 0);
    const std::wstring text = app.jokeText();
    EXPECT_TRUE(text == model::view({joke, "Die L\xf6sung"}, 1))
        << "the view ends in " << testing::PrintToString(text.substr(text.size() - 40));
}

} // namespace
