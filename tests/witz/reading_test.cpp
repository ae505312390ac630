// witz's reading commands on a made folder: the texts, parts, hits and exit statuses.
#include "witz_fixture.h"

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
    {{L"suche", L"L\u00d6SUNG"}, 1, L"", L""},
    {{L"suche", L"polizist", L"--kategorie", L"Gamma"}, 1, L"", L""},
    {{L"suche", L"po"}, 2, L"", L"Gib mindestens drei Buchstaben ein!"},
    {{L"suche", L"Polizist", L"--kategorie", L"Delta"}, 2, L"", L"Keine Kategorie"},
    {{L"liste"}, 0, L"  Beta  (3)\n", L"", true},
    {{L"liste"}, 0, L"7 Witze in 3 Kategorien\n", L"", true},
    {{L"frobnicate"}, 2, L"", L"Unbekannter Befehl"},
    {{L"liste", L"--kaputt"}, 2, L"", L"Unbekannte Option"},
    {{L"zeige"}, 2, L"", L"Aufruf: witz zeige"},
    {{L"zeige", L"--help"}, 0, L"Aufruf: witz zeige KATEGORIE", L"", true},
    {{L"--help"}, 0, L"pruefe", L"", true},
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

TEST_F(WitzTest, FolderWithoutJokesIsAnError) {
    EXPECT_EQ(witz({L"liste"}), 2);
    EXPECT_NE(err.find(L"Keine Witze"), std::wstring::npos) << visible(err);
    EXPECT_EQ(witz({L"suche", L"abc"}), 2);
}

} // namespace
