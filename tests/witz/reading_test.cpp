// witz's reading commands on a made folder: the texts, parts, hits and exit statuses.
#include "witz_fixture.h"

#include <sstream>

#include "resources/version.h"

namespace {

struct Case {
    std::vector<std::wstring> args;
    int status;
    std::wstring out; // exact, unless contains is set
    std::wstring err; // a part of the error output
    bool contains = false;
};

const Case cases[] = {
    {{L"zeige", L"Alpha", L"1"}, 0, L"Eins\n\nL\u00f6sung\n", L""},
    {{L"zeige", L"Alpha", L"2"}, 0, L"Zwei\nZeilen\n", L""},
    {{L"zeige", L"Alpha", L"3"}, 0, L"Drei Polizist\n\nx\n\n\n", L""},
    {{L"zeige", L"Beta", L"3"}, 0, L"\n", L""},
    {{L"zeige", L"Alpha", L"4"}, 2, L"", L"1 bis 3"},
    {{L"zeige", L"Alpha", L"0"}, 2, L"", L"1 bis 3"},
    {{L"zeige", L"Gamma", L"2"},
     2,
     L"",
     L"\u201EGamma\u201C hat nur Witz 1; \u201E2\u201C ist es nicht."},
    {{L"zeige", L"Delta"}, 2, L"", L"Keine Kategorie \u201EDelta\u201C"},
    {{L"zeige", L"Alpha"}, 0, L"Alpha: ", L"", true},
    {{L"suche", L"polizist", L"--kategorie", L"Beta"},
     0,
     L"Beta:1: polizist\nBeta:2: POLIZIST und Polizist\n",
     L""},
    {{L"suche", L"Polizist", L"--kategorie=Beta", L"--gross-klein"},
     0,
     L"Beta:2: POLIZIST und Polizist\n",
     L""},
    {{L"suche", L"Polizist", L"--kategorie", L"Alpha"}, 0, L"Alpha:3: Drei Polizist | x | \n", L""},
    {{L"suche", L"ei\u0011Ze", L"--kategorie", L"Alpha"}, 0, L"Alpha:2: Zwei Zeilen\n", L""},
    {{L"suche", L"L\u00d6SUNG"}, 0, L"Alpha:1: Eins | L\u00f6sung\n", L""},
    {{L"suche", L"L\u00d6SUNG", L"--gross-klein"}, 1, L"", L""},
    {{L"suche", L"polizist", L"--kategorie", L"Gamma"}, 1, L"", L""},
    {{L"suche", L"po"}, 2, L"", L"Gib mindestens drei Buchstaben ein!"},
    {{L"suche", L"Polizist", L"--kategorie", L"Delta"}, 2, L"", L"Keine Kategorie"},
    {{L"liste"}, 0, L"  Beta  (3)\n", L"", true},
    {{L"liste"}, 0, L"7 Witze in 3 Kategorien\n", L"", true},
    {{L"frobnicate"}, 2, L"", L"weder ein Befehl noch eine Kategorie"},
    {{L"Beta"}, 0, L"Beta: ", L"", true},
    {{L"Beta", L"2"}, 0, L"POLIZIST und Polizist\n", L""},
    {{L"Beta", L"--help"}, 2, L"", L"Unbekannter Befehl"},
    // Names match case-insensitively, numbers stand for names, the shortcut takes both.
    {{L"zeige", L"aLPHA", L"1"}, 0, L"Eins\n\nL\u00f6sung\n", L""},
    {{L"2", L"1"}, 0, L"polizist\n", L""},
    {{L"3"}, 0, L"Gamma: 1/", L"", true},
    {{L"4"}, 2, L"", L"Keine Kategorie \u201E4\u201C"},
    {{L"suche", L"polizist", L"--kategorie", L"BETA"}, 0, L"Beta:1: polizist\n", L"", true},
    {{L"liste", L"--kaputt"}, 2, L"", L"Unbekannte Option"},
    {{L"zeige"}, 2, L"", L"Aufruf: witz zeige"},
    {{L"zeige", L"--help"}, 0, L"Aufruf: witz zeige KATEGORIE", L"", true},
    {{L"--help"}, 0, L"pruefe", L"", true},
    // Habits of Windows consoles, of grep and of German keyboards.
    {{L"/?"}, 0, L"Aufruf: witz [-C ORDNER] [BEFEHL]", L"", true},
    {{L"-?"}, 0, L"Aufruf: witz [-C ORDNER] [BEFEHL]", L"", true},
    {{L"suche", L"/?"}, 0, L"Aufruf: witz suche TEXT", L"", true},
    {{L"--version"},
     0,
     L"witz " + std::to_wstring(POINTEX_VERSION_MAJOR) + L"." +
         std::to_wstring(POINTEX_VERSION_MINOR) + L"." + std::to_wstring(POINTEX_VERSION_PATCH) +
         L"\n",
     L""},
    {{L"suche", L"-i", L"polizist", L"--kategorie", L"Beta"},
     0,
     L"Beta:1: polizist\nBeta:2: POLIZIST und Polizist\n",
     L""},
    {{L"suche", L"-i", L"--gross-klein", L"polizist"}, 2, L"", L"schlie\u00dfen einander aus"},
    {{L"suche", L"Polizist", L"--kategorie=Beta", L"--gro\u00df-klein"},
     0,
     L"Beta:2: POLIZIST und Polizist\n",
     L""},
    {{L"pr\u00fcfe"}, 1, L"Gamma: Witz 1, Offset 1: Byte 0x1A", L"", true},
};

class ReadingTest : public WitzTest {
  protected:
    void SetUp() override {
        WitzTest::SetUp();
        writeFile(L"Alpha", "Eins\x12L\xf6sung\nZwei\x11Zeilen\r\nDrei Polizist\x12x\x12");
        writeFile(L"Beta", "polizist\nPOLIZIST und Polizist\n");
        writeFile(L"Gamma", "a\x1Apolizist\n\n");
    }
};

TEST_F(ReadingTest, CommandsGiveTheTextsAndStatuses) {
    for (const Case& c : cases) {
        std::wstring shown;
        for (const std::wstring& arg : c.args) {
            shown += arg + L" ";
        }
        SCOPED_TRACE(visible(shown));
        EXPECT_EQ(witz(c.args), c.status) << visible(err);
        if (c.contains) {
            EXPECT_NE(out.find(c.out), std::wstring::npos) << visible(out);
        } else {
            EXPECT_EQ(visible(out), visible(c.out));
        }
        EXPECT_NE(err.find(c.err), std::wstring::npos) << visible(err);
    }
}

TEST_F(ReadingTest, CategoriesByNumberInTheListsOrder) {
    ASSERT_EQ(witz({L"liste"}), 0);
    std::size_t at = out.find(L"2  ");
    ASSERT_NE(at, std::wstring::npos) << visible(out);
    std::wstring name = out.substr(at + 3, out.find(L"  (", at) - at - 3);
    EXPECT_EQ(witz({L"zeige", L"2", L"1"}), 0);
    std::wstring byNumber = out;
    EXPECT_EQ(witz({L"zeige", name, L"1"}), 0);
    EXPECT_EQ(out, byNumber);
}

TEST_F(ReadingTest, RandomJokeNamesItsPlace) {
    EXPECT_EQ(witz({}), 0);
    EXPECT_NE(out.find(L"/"), std::wstring::npos) << visible(out);
}

// Without a category every joke is as likely as any other, also past the generator's 32,768
// values; --kategorie-zuerst draws a category first, as Pointex's button does.
TEST_F(WitzTest, RandomJokesWeighCategoriesBySize) {
    writeFile(L"Klein", "klein");
    writeFile(L"Gross", std::string(65535, '\n'));
    const std::pair<std::vector<std::wstring>, std::pair<int, int>> draws[] = {
        {{}, {0, 10}},
        {{L"--kategorie-zuerst"}, {60, 140}},
    };
    for (const auto& [options, range] : draws) {
        SCOPED_TRACE(options.empty() ? "every joke alike" : "category first");
        int small = 0;
        bool odd = false;
        bool even = false;
        bool high = false;
        for (int k = 0; k < 200; ++k) {
            ASSERT_EQ(witz(options), 0) << visible(err);
            if (out.find(L"Klein: 1/1\n") == 0) {
                ++small;
                continue;
            }
            unsigned number = std::stoul(out.substr(out.find(L": ") + 2));
            (number % 2 != 0 ? odd : even) = true;
            high = high || number > 32768;
        }
        EXPECT_GE(small, range.first);
        EXPECT_LE(small, range.second);
        if (options.empty()) {
            EXPECT_TRUE(odd && even && high) << odd << even << high;
        }
    }
}

// Numbered as Windows lists a folder (and Wine any folder): case-insensitive, by UTF-16 units.
TEST_F(WitzTest, CategoriesInWindowsOrder) {
    for (const wchar_t* name : {L"\u00d6lfass", L"beta", L"Zeta 2", L"Alpha", L"Zeta 10",
                                L"\u00c4rger", L"gamma", L"Zucker", L"10 Fragen", L"\u00e4tzend"}) {
        writeFile(name, "x");
    }
    ASSERT_EQ(witz({L"liste"}), 0);
    EXPECT_EQ(visible(out), visible(L" 1  10 Fragen  (1)\n 2  Alpha  (1)\n 3  beta  (1)\n"
                                    L" 4  gamma  (1)\n 5  Zeta 10  (1)\n 6  Zeta 2  (1)\n"
                                    L" 7  Zucker  (1)\n 8  \u00c4rger  (1)\n 9  \u00e4tzend  (1)\n"
                                    L"10  \u00d6lfass  (1)\n10 Witze in 10 Kategorien\n"));
}

// An exact name wins over names alike but for case; two of those (where the file system keeps
// both) are named rather than guessed.
TEST_F(WitzTest, CategoryNamesIgnoreCaseWhenUnique) {
    writeFile(L"R\u00e4tsel", "r");
    // Where case is ignored, the second write goes to the first name.
    writeFile(L"TIERE", "T");
    writeFile(L"Tiere", "t");
    const bool twins = namesIn(root / "Witze").size() == 3;
    const std::tuple<std::vector<std::wstring>, int, std::wstring> cases[] = {
        {{L"r\u00c4TSEL", L"1"}, 0, L"r\n"},
        {{L"zeige", L"Tiere", L"1"}, 0, L"t\n"},
        {{L"zeige", L"TIERE", L"1"}, 0, twins ? L"T\n" : L"t\n"},
        {{L"tiere", L"1"},
         twins ? 2 : 0,
         twins ? L"\u201ETIERE\u201C und \u201ETiere\u201C" : L"t\n"},
    };
    for (const auto& [args, status, text] : cases) {
        EXPECT_EQ(witz(args), status) << visible(args[args.size() - 2]) << visible(err);
        EXPECT_NE((status == 0 ? out : err).find(text), std::wstring::npos) << visible(out + err);
    }
}

// A line of 80 columns wraps in a console 80 wide.
TEST_F(WitzTest, HelpLinesFitAConsole) {
    for (const wchar_t* command : {L"--help", L"liste", L"zeige", L"suche", L"import", L"pruefe"}) {
        ASSERT_EQ(witz({command, L"--help"}), 0) << visible(command);
        std::wistringstream lines(out);
        for (std::wstring line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 79u) << visible(line);
        }
    }
}

TEST_F(ReadingTest, FolderFromTheEnvironment) {
#ifdef _WIN32
    _wputenv_s(L"WITZ_ORDNER", root.wstring().c_str());
#else
    setenv("WITZ_ORDNER", root.string().c_str(), 1);
#endif
    int status = witz({L"liste"}, false);
#ifdef _WIN32
    _wputenv_s(L"WITZ_ORDNER", L"");
#else
    unsetenv("WITZ_ORDNER");
#endif
    EXPECT_EQ(status, 0) << visible(err);
    EXPECT_NE(out.find(L"7 Witze in 3 Kategorien"), std::wstring::npos) << visible(out);
}

TEST_F(WitzTest, FolderWithoutJokesIsAnError) {
    EXPECT_EQ(witz({L"liste"}), 2);
    EXPECT_NE(err.find(L"Keine Witze"), std::wstring::npos) << visible(err);
    EXPECT_EQ(witz({L"suche", L"abc"}), 2);
}

} // namespace
