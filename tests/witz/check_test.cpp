// witz pruefe: each finding on small made files, duplicate jokes, and the clean report.
#include "witz_fixture.h"

#include "check.h"
#include "import/duplicates.h"
#include "library/platform.h"

namespace {

struct Expected {
    std::uint32_t joke;
    std::uint64_t offset;
    std::wstring text; // a part of the finding's text
};

struct Case {
    std::string bytes;
    std::vector<Expected> findings;
};

const Case cases[] = {
    {"a\r\nb\x12"
     "c\r\nd",
     {}},
    {"K\xe4se\x1A", {}},
    {"a\nb\n", {{3, 3, L"LF am Dateiende"}}},
    {"", {{1, 0, L"leerer Witz"}}},
    {"a\n\nb\n \x12\nc", {{2, 2, L"leerer Witz"}, {4, 5, L"leerer Witz"}}},
    {"a\x1A"
     "b\nc",
     {{1, 1, L"0x1A vor dem Ende: Pointex zeigt die 3 Bytes"}}},
    {"a\nb\x1A\n", {{2, 3, L"0x1A vor dem Ende: Pointex zeigt das Byte dahinter nicht"}}},
    {"a\rb", {{1, 1, L"CR ohne LF"}}},
    {"a\r\nb\r\nc\nd", {{3, 7, L"gemischt: 2 \u00d7 CR LF, 1 \u00d7 LF; das erste LF ohne CR"}}},
    {"K\xc3\xa4se\n\xe2\x82\xac",
     {{1, 1,
       L"UTF-8-Folge C3 A4 f\u00fcr \u201E\u00e4\u201C zeigt Pointex als \u201E\u00c3\u00a4\u201C"},
      {2, 6, L"UTF-8-Folge E2 82 AC"}}},
    {std::string("a\0b", 3), {{1, 1, L"0x00"}}},
    // Windows-1252 bytes: Pointex shows C1 control characters as nothing.
    {"\x84Hallo\x93\n5 \x80 \x81",
     {{1, 0, L"Byte 0x84 (in Windows-1252 \u201E\u201E\u201C) zeigt Pointex als nichts"},
      {1, 6, L"0x93"},
      {2, 10, L"Byte 0x80 (in Windows-1252 \u201E\u20AC\u201C)"},
      {2, 12, L"Byte 0x81 zeigt"}}},
    {std::string(70000, 'x') + "\nkurz", {{1, 0, L"70000 Bytes lang"}}},
    {std::string(7, '\0'),
     {{1, 0, L"0x00"},
      {1, 1, L"0x00"},
      {1, 2, L"0x00"},
      {1, 3, L"0x00"},
      {1, 4, L"0x00"},
      {1, 6, L"und 2 weitere Bytes 0x00"}}},
    {"\r\r\r\r\r\r",
     {{1, 0, L"CR"},
      {1, 1, L"CR"},
      {1, 2, L"CR"},
      {1, 3, L"CR"},
      {1, 4, L"CR"},
      {1, 5, L"und 1 weiteres einzelnes CR bis hier"}}},
};

TEST(CheckJokeFile, FindsWhatShowsDifferently) {
    for (const Case& c : cases) {
        SCOPED_TRACE(visible(std::wstring(
            c.bytes.begin(), c.bytes.begin() + std::min<std::size_t>(c.bytes.size(), 40))));
        std::vector<Finding> found = checkJokeFile(c.bytes);
        ASSERT_EQ(found.size(), c.findings.size());
        for (std::size_t k = 0; k < found.size(); ++k) {
            EXPECT_EQ(found[k].joke, c.findings[k].joke) << k;
            EXPECT_EQ(found[k].offset, c.findings[k].offset) << k;
            EXPECT_NE(found[k].text.find(c.findings[k].text), std::wstring::npos)
                << visible(found[k].text);
        }
    }
}

TEST(JokeKey, ComparesLettersAndDigitsCaseAside) {
    const struct {
        std::string a, b;
        bool same;
    } pairs[] = {
        {"Ein Witz.", "ein  WITZ!", true},
        {"Frage?\x12"
         "Antwort",
         "Frage Antwort", true},
        {"Frage?\x12"
         "Antwort",
         "Frage?", false},
        {"zwei\x11Zeilen\r", "ZWEI ZEILEN", true},
        {"\xc4pfel \xd6l \xde", "\xe4PFEL \xf6L \xfe", true},
        {"Stra\xdf"
         "e",
         "STRASSE", false},
        {"a\xd7"
         "b\xf7"
         "c\x84\x93",
         "abc", true},
        {"5 \xb5m\xb2", "5m", false},
        {"a1", "a2", false},
        {"ab", "ba", false},
        // Long lines are gathered in blocks: the blanks shift where one ends.
        {std::string(250, '.') + std::string(300, 'x'), std::string(300, 'X'), true},
        {std::string(300, 'x'), std::string(301, 'x'), false},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(visible(std::wstring(pair.a.begin(), pair.a.end())) + " / " +
                     visible(std::wstring(pair.b.begin(), pair.b.end())));
        std::uint64_t a = jokeKey(pair.a.data(), pair.a.size());
        EXPECT_NE(a, 0u);
        EXPECT_EQ(a == jokeKey(pair.b.data(), pair.b.size()), pair.same);
    }
    for (const std::string empty : {"", " ?!\x11\x12-- \xd7\r"}) {
        EXPECT_EQ(jokeKey(empty.data(), empty.size()), 0u);
    }
}

TEST_F(WitzTest, CheckNotesDuplicatesWithoutFailing) {
    writeFile(L"A", "eins\nZwei!\n...\nEINS");
    writeFile(L"B", "zwei\n...");
    writeFile(L"C", "Drei\r\nEins.");
    EXPECT_EQ(witz({L"pruefe"}), 0);
    EXPECT_EQ(out, L"A: Witz 4: Hinweis: derselbe Witz wie A, Witz 1\n"
                   L"B: Witz 1: Hinweis: derselbe Witz wie A, Witz 2\n"
                   L"C: Witz 2: Hinweis: derselbe Witz wie A, Witz 1\n"
                   L"In Ordnung: 3 Dateien ohne Befund, 3 Hinweise.\n");

    // What Pointex does not show behind a 0x1A repeats nothing.
    writeFile(L"D", "ZWEI\x1A"
                    "eins\n");
    EXPECT_EQ(witz({L"pruefe"}), 1);
    EXPECT_NE(out.find(L"D: Witz 1: Hinweis: derselbe Witz wie A, Witz 2\n"
                       L"4 Dateien, 1 Befund, 4 Hinweise.\n"),
              std::wstring::npos)
        << visible(out);
    // Two jokes whose letters differ though their hashes agree repeat nothing.
    std::filesystem::remove(jokePath(L"D"));
    writeFile(L"E", "Witz eins: 1aa5 1040!\nwrsx ezgj zzwz zfzg");
    EXPECT_EQ(witz({L"pruefe"}), 0);
    EXPECT_NE(out.find(L"In Ordnung: 4 Dateien ohne Befund, 3 Hinweise.\n"), std::wstring::npos)
        << visible(out);
}

TEST_F(WitzTest, CheckNamesFilesSubfoldersAndTheResult) {
    writeFile(L"gut", "a\nb");
    EXPECT_EQ(witz({L"pruefe"}), 0);
    EXPECT_NE(out.find(L"In Ordnung: 1 Datei ohne Befund."), std::wstring::npos) << visible(out);

    writeFile(L"schlecht", "a\n");
    std::filesystem::create_directory(root / "Witze" / "Ordner");
    auto locked = makeUnopenable(jokePath(L"zu"));
    EXPECT_EQ(witz({L"pruefe", (root / "Witze").wstring()}), 1);
    EXPECT_NE(out.find(L"schlecht: Witz 2, Offset 1: LF am Dateiende"), std::wstring::npos)
        << visible(out);
    EXPECT_NE(out.find(L"Ordner: Unterordner"), std::wstring::npos) << visible(out);
    EXPECT_NE(out.find(L"zu: l\u00e4sst sich nicht \u00f6ffnen"), std::wstring::npos)
        << visible(out);
    EXPECT_NE(out.find(L"3 Dateien, 3 Befunde"), std::wstring::npos) << visible(out);

    // A name that Windows refuses can stand in a folder elsewhere.
    if (platform::pathSeparator == L'/') {
        writeFile(L"Frage?", "a");
        EXPECT_EQ(witz({L"pruefe"}), 1);
        EXPECT_NE(out.find(L"Frage?: Dateiname: Zeichen wie"), std::wstring::npos) << visible(out);
    }

    EXPECT_EQ(witz({L"pruefe", (root / "fehlt").wstring()}), 2);
}

} // namespace
