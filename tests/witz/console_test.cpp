// witz's output: lines broken for a terminal, the plain forms where the output lacks a
// character, and what the commands look like on an 80-column terminal.
#include "witz_fixture.h"

#include <fstream>
#include <sstream>

#include "console.h"
#include "dropped.h"

namespace {

const std::string hang = host::indentMarkUtf8;
const std::string whole = host::wholeLineUtf8;

// The words of a text (what lies between blanks, tabs and line ends), each with the blanks and
// tabs before it.
std::vector<std::pair<std::string, std::string>> gapsAndWords(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> words;
    std::string gap, word;
    for (char c : text + " ") {
        if (c == ' ' || c == '\t' || c == '\n') {
            if (!word.empty()) {
                words.emplace_back(gap, word);
                gap.clear();
            }
            word.clear();
            gap += c == '\n' ? "" : std::string(1, c);
        } else {
            word += c;
        }
    }
    return words;
}

std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    for (const auto& gapAndWord : gapsAndWords(text)) {
        words.push_back(gapAndWord.second);
    }
    return words;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A terminal shows one character a column; UTF-8 continuation bytes start none.
std::size_t columnsOf(const std::string& text) {
    std::size_t columns = 0;
    for (char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return columns;
}

std::string withoutMarks(std::string text) {
    for (const std::string& mark : {hang, whole}) {
        for (std::size_t at; (at = text.find(mark)) != std::string::npos;) {
            text.erase(at, mark.size());
        }
    }
    return text;
}

std::string shown(const std::string& text) {
    return visible(decoded(text));
}

const struct Text {
    const char* what;
    std::string text;   // one line
    std::size_t indent; // of its continuation lines, where the width leaves room for it
} texts[] = {
    {"a flowing paragraph",
     "Ein Mathematikprofessor trifft auf dem Uniplatz einen Kollegen und unterh\xc3\xa4lt sich "
     "eine Weile mit ihm.  Anschlie\xc3\x9f"
     "end fragt er: \xe2\x80\x9eK\xc3\xb6nnen Sie mir sagen, aus welcher Richtung ich kam?\xe2\x80"
     "\x9c Nachdem ihm der Kollege die gew\xc3\xbcnschte Auskunft erteilt hatte, meint er: "
     "\xe2\x80\x9e"
     "Aha, dann war ich also noch nicht essen.\xe2\x80\x9c",
     0},
    {"a search hit with tabs",
     "Tiere:12: " + hang + "Sagt\tdie Kuh\t\tzum Schaf: | Ich bin\tdoch nicht bl\xc3\xb6" + "d!\t",
     10},
    {"a word longer than the width",
     "Das Wort Donaudampfschifffahrtsgesellschaftskapit\xc3\xa4nsm\xc3\xbctzenabzeichen ist "
     "lang.",
     0},
    {"an indented line of the help",
     "  --ohne-doppelte    Witze auslassen, die schon in einer Kategorie oder weiter vorn in den "
     "Quellen stehen",
     2},
};

// Each text at each width: no word split, joined, lost or added, no line wider than the width
// but one of a single word, no line broken before it had to be, and the continuation lines
// under the text.
TEST(Console, LinesBreakAtBlanksWithinTheWidth) {
    for (const Text& t : texts) {
        for (std::size_t width : {1, 10, 24, 40, 79, 80, 200}) {
            SCOPED_TRACE(std::string(t.what) + ", width " + std::to_string(width));
            const std::string wrapped = host::wrapText(t.text, width);
            EXPECT_EQ(wordsOf(wrapped), wordsOf(withoutMarks(t.text))) << shown(wrapped);
            EXPECT_EQ(wrapped.find_first_of("\t"), std::string::npos) << shown(wrapped);
            EXPECT_EQ(withoutMarks(wrapped), wrapped);
            const std::vector<std::string> lines = linesOf(wrapped);
            const std::size_t indent = 2 * t.indent <= width ? t.indent : 0;
            const auto gaps = gapsAndWords(withoutMarks(t.text));
            std::size_t wordsBefore = 0;
            for (std::size_t k = 0; k < lines.size(); ++k) {
                const std::string& line = lines[k];
                if (columnsOf(line) > width) {
                    EXPECT_EQ(wordsOf(line).size(), 1u) << shown(line);
                }
                if (k > 0) {
                    EXPECT_EQ(line.find_first_not_of(' '), indent) << shown(line);
                }
                // The next word with the blanks before it, a tab to the next multiple of eight,
                // would not have fit.
                wordsBefore += wordsOf(line).size();
                if (k + 1 < lines.size()) {
                    const auto& [gap, next] = gaps[wordsBefore];
                    std::size_t end = columnsOf(line);
                    for (char c : gap) {
                        end = c == '\t' ? end / 8 * 8 + 8 : end + 1;
                    }
                    EXPECT_GT(end + columnsOf(next), width) << shown(line) << " / " << shown(next);
                }
            }
        }
    }
}

TEST(Console, LinesAsATerminalShowsThem) {
    const struct {
        std::string text;
        std::size_t width;
        std::string expected;
    } cases[] = {
        // Tabs reach the next multiple of eight; blanks at a break go, those at the end stay.
        {"Tiere:12: " + hang + "Sagt\tdie Kuh\t\tzum Schaf: Ich bin\tdoch nicht bl\xc3\xb6" +
             "d!\t",
         32,
         "Tiere:12: Sagt  die Kuh\n"
         "          zum Schaf: Ich bin\n"
         "          doch nicht bl\xc3\xb6"
         "d!      "},
        // A command to copy stays whole; the lines around it are broken as usual.
        {"Zum Anh\xc3\xa4ngen gib ein:\n" + whole +
             "    \"C:\\Pointex\\witz.exe\" -C \"C:\\Pointex\" import \"C:\\a b.txt\"\n"
             "Zum Ersetzen dasselbe mit --ersetzen-datei.",
         20,
         "Zum Anh\xc3\xa4ngen gib\nein:\n"
         "    \"C:\\Pointex\\witz.exe\" -C \"C:\\Pointex\" import \"C:\\a b.txt\"\n"
         "Zum Ersetzen\ndasselbe mit\n--ersetzen-datei."},
        {"\n\nzwei  Leerzeilen davor\n", 80, "\n\nzwei  Leerzeilen davor\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(host::wrapText(c.text, c.width)), shown(c.expected)) << shown(c.text);
    }
}

// A console of code page 850 holds ISO 8859-1's characters but not the typographic ones; the C
// locale holds only ASCII. Each lacking character with a plain form takes it.
TEST(Console, PlainFormsWhereTheOutputLacksACharacter) {
    const host::Terminal previous = host::terminal;
    host::terminal = recordingTerminal;
    const std::string text = "\xe2\x80\x9eGr\xc3\xbc\xc3\x9f\xe2\x80\x9c \xe2\x80\x93 5 "
                             "\xe2\x82\xac\xe2\x80\xa6 \xc2\xab"
                             "ja\xc2\xbb \xe2\x80\x9a"
                             "a\xe2\x80\x98 \xe2\x98\x83";
    const struct {
        bool (*holds)(host::Stream, char32_t);
        std::string expected;
    } cases[] = {
        {[](host::Stream, char32_t c) { return c <= 0xFF; },
         "\"Gr\xc3\xbc\xc3\x9f\" - 5 EUR... \xc2\xab"
         "ja\xc2\xbb 'a' \xe2\x98\x83"},
        {[](host::Stream, char32_t c) { return c < 0x80; },
         "\"Gr\xc3\xbc\xc3\x9f\" - 5 EUR... \"ja\" 'a' \xe2\x98\x83"},
        {[](host::Stream, char32_t) { return true; }, text},
    };
    for (const auto& c : cases) {
        host::terminal.holds = c.holds;
        std::string written = text;
        host::usePlainForms(written, host::Stream::out);
        EXPECT_EQ(shown(written), shown(c.expected));
    }
    host::terminal = previous;
}

class TerminalTest : public WitzTest {
  protected:
    void SetUp() override {
        WitzTest::SetUp();
        terminal.columns = [](host::Stream) { return std::size_t{40}; };
        writeFile(L"Tiere", "Sagt die Kuh zum Schaf: Ich bin doch nicht bl\xf6"
                            "d!\x12Sagt das Schaf: M\xe4h.\nKurz.\n");
    }
};

// witz on a terminal of 40 columns: a joke's lines and a hit's text broken at blanks, the hit's
// continuation lines under its text.
TEST_F(TerminalTest, JokesAndHitsFitTheWidth) {
    EXPECT_EQ(witz({L"zeige", L"Tiere", L"1"}), 0);
    EXPECT_EQ(out, L"Sagt die Kuh zum Schaf: Ich bin doch\nnicht bl\u00f6d!\n\nSagt das Schaf: "
                   L"M\u00e4h.\n");
    EXPECT_EQ(witz({L"suche", L"schaf"}), 0);
    EXPECT_EQ(out, L"Tiere:1: Sagt die Kuh zum Schaf: Ich bin\n"
                   L"         doch nicht bl\u00f6d! | Sagt das\n"
                   L"         Schaf: M\u00e4h.\n");
}

// The command a drop offers for copying keeps its line, however narrow the console.
TEST_F(TerminalTest, CommandToCopyStaysWhole) {
    const std::filesystem::path source = root / "Tiere.txt";
    std::ofstream(source) << "neu\n";
    static std::wstring* transcript = &out;
    out.clear();
    const host::Terminal previous = host::terminal;
    host::terminal = terminal;
    host::terminal.write = [](host::Stream, const std::string& text) {
        *transcript += decoded(text);
    };
    EXPECT_EQ(importDropped({source.wstring()}, (root / "witz.exe").wstring()), 2);
    host::flush();
    host::terminal = previous;
    const std::wstring command = L"    \"" + (root / "witz.exe").wstring() + L"\" -C \"" +
                                 root.wstring() + L"\" import \"" + source.wstring() +
                                 L"\" --nach \"Tiere\" --anhaengen\n";
    EXPECT_NE(out.find(L"\n" + command), std::wstring::npos) << visible(out);
}

} // namespace
