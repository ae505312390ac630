// witz import from made sources: the bytes written, the refusals, existing categories, faults.
#include "witz_fixture.h"

#include <fstream>

#include "import/duplicates.h"

namespace {

struct Case {
    const char* what;
    std::string source;
    std::vector<std::wstring> options;
    int status;
    std::optional<std::string> written; // the category's bytes, nothing when none is written
    std::wstring message;               // a part of the output or the error output
    std::string other = std::string();  // another category's bytes, for --ohne-doppelte
};

// Two keys that differ but share their 64-bit hash: their second eight letters make up for the
// difference of the first eight (SourcesBecomeOneLinePerJoke checks that the hashes agree).
const std::string sameHash[2] = {"Witz eins: 1aa5 1040!", "wrsx ezgj zzwz zfzg"};

const Case cases[] = {
    {"fortune, UTF-8, typographic marks",
     "\xE2\x80\x9EHallo\xE2\x80\x9C \xE2\x80\x93 ja\xE2\x80\xA6\n%\nZwei\nZeilen\n%\n",
     {},
     0,
     std::string("\"Hallo\" - ja...\nZwei\x11Zeilen"),
     L"2 Witze geschrieben"},
    {"without a closing %", "a\n%\nb", {}, 0, std::string("a\nb"), L"2 Witze"},
    {"a leading %", "%\na\n%\nb\n", {}, 0, std::string("a\nb"), L"0 leere"},
    {"CR LF",
     "a\r\n%\r\nb\r\nc\r\n%\r\n",
     {},
     0,
     std::string("a\nb\x11"
                 "c"),
     L"2 Witze"},
    {"not UTF-8: ISO 8859-1",
     "K\xe4se \xa0!\n%\n",
     {},
     0,
     std::string("K\xe4se  !"),
     L"1 Witz geschrieben"},
    {"UTF-8 with byte-order mark",
     "\xEF\xBB\xBF"
     "K\xC3\xA4se\n",
     {},
     0,
     std::string("K\xe4se"),
     L"1 Witz geschrieben"},
    {"empty and blank records",
     "a\n%\n  \n%\n\n%\nb\n",
     {},
     0,
     std::string("a\nb"),
     L"2 leere Eintr\u00e4ge"},
    {"outside ISO 8859-1",
     "x\n%\nHaken \xE2\x9C\x93\n%\n",
     {},
     2,
     std::nullopt,
     L"Eintrag 2, Zeile 3, Zeichen 7: U+2713 \u201E\u2713\u201C"},
    {"outside ISO 8859-1, replaced",
     "Haken \xE2\x9C\x93\n%\n",
     {L"--ersetzen"},
     0,
     std::string("Haken ?"),
     L"1 durch \"?\""},
    {"Windows-1252 from Notepad's ANSI",
     "Er sagt: \x84Hallo\x93 \x96 und zahlt 5 \x80\x85\xA0\x91ok\x92 \x8B\x9B \x97 K\xe4se",
     {},
     0,
     std::string("Er sagt: \"Hallo\" - und zahlt 5 EUR... 'ok' '' - K\xe4se"),
     L"11 in schlichter Form, 0 durch \"?\"). Gelesen: quelle.txt als Liste in Windows-1252"},
    {"Windows-1252 without an ISO 8859-1 form",
     "a\nb \x8C",
     {},
     2,
     std::nullopt,
     L"Eintrag 2, Zeile 2, Zeichen 3: U+0152"},
    {"Windows-1252 undefined byte", "a\x81", {}, 2, std::nullopt, L"Steuerzeichen U+0081"},
    {"Windows-1252 replaced",
     "\x8C\x81\x9D\x80",
     {L"--ersetzen"},
     0,
     std::string("??"
                 "?EUR"),
     L"4 Zeichen ersetzt (1 in schlichter Form, 3 durch"},
    {"UTF-8 C1 controls read as Windows-1252",
     "a\xC2\x92s\xC2\x80",
     {},
     0,
     std::string("a'sEUR"),
     L"als Liste in UTF-8"},
    {"UTF-8 C1 control undefined there", "a\xC2\x81", {}, 2, std::nullopt, L"Steuerzeichen U+0081"},
    {"UTF-16 with byte-order mark",
     std::string("\xFF\xFE"
                 "a\0\xE4\0\n\0\xAC\x20\n\0",
                 12),
     {},
     0,
     std::string("a\xe4\nEUR"),
     L"als Liste in UTF-16"},
    {"a list",
     "eins\nzwei\r\n  drei  \n",
     {},
     0,
     std::string("eins\nzwei\n  drei  "),
     L"3 Witze geschrieben"},
    // The format's name with its umlaut, and the line on Pointex that ends an import.
    {"riddles asked for as r\u00e4tsel",
     "F: Frage?\nA: Antwort\n",
     {L"--format", L"r\u00e4tsel"},
     0,
     std::string("Frage?\x12"
                 "Antwort"),
     L"\nPointex zeigt die Kategorie \u201ENeu\u201C ab seinem n\u00e4chsten Start.\n"},
    {"a list asked for",
     "a\n\nb\n",
     {L"--format", L"liste"},
     0,
     std::string("a\nb"),
     L"1 leerer Eintrag \u00fcbersprungen"},
    {"riddles in fortune records",
     "F: Frage?\nA: Antwort\n   weiter\n\nF:Zweite?\nA:  Zwei\n%\nKein R\xc3\xa4tsel\nA: b\n%\nM D "
     "M\nF: "
     "weiter?\nA: D\n%\n",
     {L"--format=raetsel"},
     0,
     std::string("Frage?\x12"
                 "Antwort\x11weiter\x11Zweite?\x12Zwei\nKein R\xe4tsel\x11"
                 "A: b\nM D M\x11weiter?\x12"
                 "D"),
     L"als R\u00e4tsel in UTF-8"},
    {"riddles line by line",
     "F: a?\nA: b\nF: c?\nsteht noch da\nA: d\n",
     {L"--format", L"raetsel"},
     0,
     std::string("a?\x12"
                 "b\nc?\x11steht noch da\x12"
                 "d"),
     L"2 Witze"},
    {"riddles in paragraphs",
     "F: a?\nA: b\n\nF: c?\nA: d\n",
     {L"--format", L"raetsel"},
     0,
     std::string("a?\x12"
                 "b\nc?\x12"
                 "d"),
     L"2 Witze"},
    {"not text: NUL bytes",
     std::string("ab\0\0cd", 6),
     {},
     2,
     std::nullopt,
     L"keine Textdatei: Byte 0x00 bei Offset 2"},
    {"a strfile index",
     std::string("\0\0\0\x02\0\0\0\x03\0\0\0\x10\0\0\0\x05\0\0\0\0%\0\0\0", 24),
     {},
     2,
     std::nullopt,
     L"Index von strfile, kein Text"},
    {"format byte 0x12",
     "a\x12"
     "b\n%\n",
     {},
     2,
     std::nullopt,
     L"Steuerzeichen U+0012"},
    {"format bytes replaced",
     "a\x12\x11\x1A\x0F"
     "b\n",
     {L"--ersetzen"},
     0,
     std::string("a????b"),
     L"4 durch"},
    {"lone CR", "a\rb\n", {}, 2, std::nullopt, L"U+000D"},
    {"empty source", "", {}, 2, std::nullopt, L"keinen Witz"},
    {"only separators", "%\n%\n", {}, 2, std::nullopt, L"keinen Witz"},
    {"plain text with solution marker",
     "Frage eins\nzweite Zeile\n--\nAntwort\n\n\nZweiter Witz\n--\nA\n--\nB\n",
     {},
     0,
     std::string("Frage eins\x11zweite Zeile\x12"
                 "Antwort\nZweiter Witz\x12"
                 "A\x12"
                 "B"),
     L"2 Witze"},
    {"one paragraph is a list", "a\nb\n", {}, 0, std::string("a\nb"), L"als Liste"},
    {"one paragraph with a solution is text",
     "a\n--\nb\n",
     {},
     0,
     std::string("a\x12"
                 "b"),
     L"als Text in Abs\u00e4tzen"},
    {"plain text forced as fortune",
     "a\n\nb\n",
     {L"--format", L"fortune"},
     0,
     std::string("a\x11\x11"
                 "b"),
     L"1 Witz geschrieben"},
    {"unknown format", "a\n", {L"--format", L"csv"}, 2, std::nullopt, L"--format"},
    {"unknown heading rule",
     "a\n",
     {L"--ueberschrift", L"oben"},
     2,
     std::nullopt,
     L"frage und weg"},
    {"format byte 0x1A in a list", "a\x1A", {}, 2, std::nullopt, L"Steuerzeichen U+001A"},
    // A source in another script: the first 50 places shown, the others counted.
    {"many characters outside ISO 8859-1",
     [] {
         std::string checks;
         for (int k = 0; k < 60; ++k) {
             checks += "\xE2\x9C\x93";
         }
         return checks;
     }(),
     {},
     2,
     std::nullopt,
     L"Zeichen 50: U+2713 \u201E\u2713\u201C gibt es in ISO 8859-1 nicht\nwitz: und 10 weitere\n"
     L"witz: Nichts geschrieben: 60 Zeichen passen nicht in eine Witzdatei."},
    // Files that are no text, named by their first bytes, with what to do instead of an offset.
    {"a .docx or .odt",
     std::string("PK\x03\x04\x14\0\x06\0", 8),
     {},
     2,
     std::nullopt,
     L"ist wohl ein Word- oder OpenOffice-Dokument (oder ein ZIP-Archiv), keine Textdatei. "
     L"\u00d6ffne die Datei in ihrem Programm und speichere sie als Text"},
    {"an old .doc",
     std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0", 9),
     {},
     2,
     std::nullopt,
     L"ein Word-Dokument im alten Format"},
    // RTF has no NUL byte: without its mark it would be imported, commands and all.
    {"an .rtf", "{\\rtf1\\ansi Ein Witz\\par}", {}, 2, std::nullopt, L"ein RTF-Dokument"},
    {"a .pdf", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n", {}, 2, std::nullopt, L"ein PDF-Dokument"},
    {"a .png",
     std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16),
     {},
     2,
     std::nullopt,
     L"ein Bild (PNG)"},
    {"a .jpg",
     std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10),
     {},
     2,
     std::nullopt,
     L"ein Bild (JPEG)"},
    {"a .gif", "GIF89a\x01\x02", {}, 2, std::nullopt, L"ein Bild (GIF)"},
    {"other bytes 0x00",
     std::string("ab\0", 3),
     {},
     2,
     std::nullopt,
     L"Offset 2. Speichere die Witze im Editor als Text."},
    // The ways the import changed text behind the user's back, each with the source that showed
    // it. A word broken at its hyphen and a record that begins with a blank line are rows of the
    // editing table (editing_test.cpp); an import into a folder that is gone is LookupTest.
    {"a byte-order mark settles UTF-8: a byte that is none is refused where it stands",
     "\xEF\xBB\xBFK\xC3\xA4se\nund K\xE4se\n",
     {},
     2,
     std::nullopt,
     L"quelle.txt: Eintrag 2, Zeile 2, Zeichen 6: das Byte 0xE4 ist kein UTF-8, obwohl die Datei "
     L"mit der Marke f\u00fcr UTF-8 (BOM) beginnt\nwitz: Nichts geschrieben: 1 Bytefolge ist kein "
     L"Zeichen in der Codierung ihrer Datei. Berichtige diese Stellen im Editor und speichere die "
     L"Datei als UTF-8, oder schreibe mit --ersetzen f\u00fcr jede ein \"?\"."},
    {"with --ersetzen, a \"?\" for the byte and UTF-8 for the rest",
     "\xEF\xBB\xBFK\xC3\xA4se\nund K\xE4se\n",
     {L"--ersetzen"},
     0,
     std::string("K\xE4se\nund K?se"),
     L"1 durch \"?\"). Gelesen: quelle.txt als Liste in UTF-8"},
    {"a sequence broken off is one \"?\", and the character after it stays",
     "\xEF\xBB\xBF\xE2\x80\x9E"
     "Da\xE2\x80\n",
     {L"--ersetzen"},
     0,
     std::string("\"Da?"),
     L"1 in schlichter Form, 1 durch"},
    {"a sequence broken off names its bytes",
     "\xEF\xBB\xBF\xE2\x80\x9E"
     "Da\xE2\x80\n",
     {},
     2,
     std::nullopt,
     L"Zeile 1, Zeichen 4: die Bytes 0xE2 0x80 sind kein UTF-8"},
    {"without a mark, UTF-8 spoilt by a few bytes is a mixed file",
     "Der K\xC3\xA4se\n\nund der K\xE4se\n",
     {},
     2,
     std::nullopt,
     L"Eintrag 2, Zeile 3, Zeichen 10: das Byte 0xE4 ist kein UTF-8, anderes in der Datei aber "
     L"schon: sie mischt UTF-8 mit einer anderen Codierung"},
    {"a mixed file with --ersetzen",
     "\xE2\x80\x9EK\xE4se\xE2\x80\x9C\n",
     {L"--ersetzen"},
     0,
     std::string("\"K?se\""),
     L"als Liste in UTF-8"},
    {"Notepad's ANSI stays Windows-1252, though \"\xDF\x93\" is well-formed UTF-8",
     "Das ist Spa\xDF\x93, sagt er \x84ohne\x93 K\xE4se.\n",
     {},
     0,
     std::string("Das ist Spa\xDF\", sagt er \"ohne\" K\xE4se."),
     L"in Windows-1252 (ANSI)"},
    {"UTF-16: a surrogate without its partner",
     std::string("\xFF\xFE"
                 "a\0\x3D\xD8"
                 "b\0",
                 8),
     {},
     2,
     std::nullopt,
     L"Zeile 1, Zeichen 2: die Bytes 0x3D 0xD8 sind in UTF-16 kein Zeichen (ein Surrogat ohne "
     L"Partner)"},
    {"UTF-16: an odd last byte",
     std::string("\xFE\xFF\0a\0\n\0b"
                 "c",
                 9),
     {},
     2,
     std::nullopt,
     L"Zeile 2, Zeichen 2: das Byte 0x63 ist \u00fcbrig"},
    {"UTF-16 with --ersetzen",
     std::string("\xFF\xFE\x00\xDC"
                 "a\0"
                 "b",
                 7),
     {L"--ersetzen"},
     0,
     std::string("?a?"),
     L"2 durch"},
    {"--ohne-doppelte leaves out a joke only when its letters are another's",
     sameHash[1] + "\n",
     {L"--ohne-doppelte"},
     0,
     sameHash[1],
     L"0 doppelte Witze",
     sameHash[0]},
    {"... and does leave it out then",
     "WITZ EINS 1AA51040\n",
     {L"--ohne-doppelte"},
     2,
     std::nullopt,
     L"Der Witz der Quellen steht schon",
     sameHash[0]},
};

class ImportTest : public WitzTest {
  protected:
    std::filesystem::path target() const { return root / "Witze" / "Neu"; }
    int import(const std::string& source, std::vector<std::wstring> options = {},
               const std::wstring& name = L"Neu") {
        writeFile(L"quelle.txt", source, false);
        options.insert(options.begin(),
                       {L"import", (root / "quelle.txt").wstring(), L"--nach", name});
        return witz(options);
    }
};

TEST_F(ImportTest, SourcesBecomeOneLinePerJoke) {
    ASSERT_EQ(jokeKey(sameHash[0].data(), sameHash[0].size()),
              jokeKey(sameHash[1].data(), sameHash[1].size()))
        << "the hash changed: find two keys it gives alike";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(root / "Witze");
        std::filesystem::create_directory(root / "Witze");
        if (!c.other.empty()) {
            writeFile(L"Andere", c.other);
        }
        EXPECT_EQ(import(c.source, c.options), c.status) << visible(err);
        std::optional<std::string> written = fileBytes(target());
        EXPECT_EQ(written.has_value(), c.written.has_value());
        if (written && c.written) {
            EXPECT_EQ(visible(std::wstring(written->begin(), written->end())),
                      visible(std::wstring(c.written->begin(), c.written->end())));
        }
        EXPECT_NE((out + err).find(c.message), std::wstring::npos) << visible(out + err);
        EXPECT_EQ(namesIn(root / "Witze").size(),
                  (written ? 1u : 0u) + (c.other.empty() ? 0u : 1u));
    }
}

TEST_F(ImportTest, ImportedCountsAreWhatListShows) {
    ASSERT_EQ(import("a\n%\nb\n%\nc\n%\n"), 0);
    ASSERT_EQ(witz({L"liste"}), 0);
    EXPECT_NE(out.find(L"Neu  (3)"), std::wstring::npos) << visible(out);
}

TEST_F(ImportTest, BadNamesAreRefusedBeforeReading) {
    for (const wchar_t* name :
         {L"a:b", L"CON", L"con.txt", L"Lpt1", L"ende.", L"ende ", L"", L"..", L"a/b", L"tab\t"}) {
        SCOPED_TRACE(visible(name));
        EXPECT_EQ(witz({L"import", L"fehlt.txt", L"--nach", name}), 2);
        EXPECT_NE(err.find(L"taugt nicht"), std::wstring::npos) << visible(err);
    }
    EXPECT_TRUE(namesIn(root / "Witze").empty());
}

TEST_F(ImportTest, ExistingCategoryIsKeptUnlessAskedFor) {
    writeFile(L"Neu", "alt");
    EXPECT_EQ(import("neu\n"), 2);
    EXPECT_EQ(fileBytes(target()), "alt");
    EXPECT_EQ(import("neu\n", {L"--ersetzen-datei"}), 0);
    EXPECT_EQ(fileBytes(target()), "neu");
    EXPECT_EQ(import("x\n", {L"--anhaengen", L"--ersetzen-datei"}), 2);
    EXPECT_EQ(fileBytes(target()), "neu");
}

TEST_F(ImportTest, AppendingKeepsTheCountsRight) {
    const std::pair<std::string, std::string> appended[] = {
        {"alt", "alt\nneu1\nneu2"},
        {"alt\n", "alt\nneu1\nneu2"},
        {"alt\r\n", "alt\r\nneu1\nneu2"},
        {"", "neu1\nneu2"},
    };
    for (const auto& [old, expected] : appended) {
        SCOPED_TRACE(visible(std::wstring(old.begin(), old.end())));
        writeFile(L"Neu", old);
        EXPECT_EQ(import("neu1\n%\nneu2\n", {L"--anhaengen"}), 0) << visible(err);
        EXPECT_EQ(fileBytes(target()), expected);
    }
    // Hidden jokes, and a last CR that the new line end would swallow: nothing is appended.
    for (const std::string old : {"alt\x1Aversteckt", "alt\r"}) {
        writeFile(L"Neu", old);
        EXPECT_EQ(import("neu\n", {L"--anhaengen"}), 2);
        EXPECT_EQ(fileBytes(target()), old);
    }
}

TEST_F(ImportTest, WithoutDuplicatesSkipsWhatTheCollectionHolds) {
    const struct {
        const char* what;
        std::optional<std::string> old; // the category's bytes before
        std::string source;
        std::vector<std::wstring> options;
        int status;
        std::optional<std::string> written;
        std::wstring message;
    } cases[] = {
        {"in another category, earlier in the sources; jokes without letters never repeat",
         std::nullopt,
         "neu\n%\nAlt!\n%\nNEU\n%\n...\n%\n...\n%\nzwei\n",
         {},
         0,
         std::string("neu\n...\n...\nzwei"),
         L"4 Witze geschrieben, 0 leere Eintr\u00e4ge \u00fcbersprungen, 2 doppelte Witze "
         L"\u00fcbersprungen, 0 Zeichen"},
        {"appended: the category's own jokes count",
         std::string("eigen"),
         "Eigen\n%\nneu\n",
         {L"--anhaengen"},
         0,
         std::string("eigen\nneu"),
         L"1 doppelter Witz"},
        {"replaced: its old jokes do not",
         std::string("eigen"),
         "eigen\n",
         {L"--ersetzen-datei"},
         0,
         std::string("eigen"),
         L"0 doppelte Witze"},
        {"every joke there already",
         std::nullopt,
         "ALT\n",
         {},
         2,
         std::nullopt,
         L"Der Witz der Quellen steht schon"},
    };
    writeFile(L"Andere", "Alt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(target());
        if (c.old) {
            writeFile(L"Neu", *c.old);
        }
        std::vector<std::wstring> options = c.options;
        options.push_back(L"--ohne-doppelte");
        EXPECT_EQ(import(c.source, options), c.status) << visible(err);
        EXPECT_EQ(fileBytes(target()), c.written ? c.written : c.old);
        EXPECT_NE((out + err).find(c.message), std::wstring::npos) << visible(out + err);
    }

    // A category it cannot compare with stops the import.
    std::filesystem::remove(target());
    auto locked = makeUnopenable(jokePath(L"Andere"));
    EXPECT_EQ(import("neu\n", {L"--ohne-doppelte"}), 2);
    EXPECT_NE(err.find(L"nicht lesen"), std::wstring::npos) << visible(err);
    EXPECT_FALSE(fileBytes(target()));
}

// As Windows compares names: Latin with its extensions, Greek and Cyrillic.
TEST_F(ImportTest, NameDifferingOnlyInCaseIsRefused) {
    for (const auto& [old, name] :
         {std::pair{L"Tiere", L"tiere"}, {L"\u0141\u00f3d\u017a", L"\u0142\u00d3D\u0179"}}) {
        std::filesystem::remove_all(root / "Witze");
        std::filesystem::create_directory(root / "Witze");
        writeFile(old, "alt");
        EXPECT_EQ(import("neu\n", {}, name), 2) << visible(name);
        EXPECT_EQ(namesIn(root / "Witze"), std::vector<std::string>{pathOf(old).string()});
    }
}

TEST_F(ImportTest, UnwritableFolderChangesNothing) {
    std::filesystem::remove_all(root / "Witze");
    writeFile(L"Witze", "eine Datei", false);
    EXPECT_EQ(import("neu\n"), 2);
    EXPECT_EQ(fileBytes(root / "Witze"), "eine Datei");
}

TEST_F(ImportTest, MissingFolderIsMade) {
    std::filesystem::remove_all(root / "Witze");
    EXPECT_EQ(import("neu\n"), 0) << visible(err);
    EXPECT_EQ(fileBytes(target()), "neu");
}

TEST_F(ImportTest, SourcesThatAreNoTextWriteNothing) {
    writeFile(L"gut.txt", "ein Witz\n", false);
    writeFile(L"huhn.dat",
              std::string("\0\0\0\x02\0\0\0\x01\0\0\0\x10\0\0\0\x05\0\0\0\0%\0\0\0", 24), false);
    std::filesystem::create_directory(root / "Ordner");
    const std::pair<const char*, const wchar_t*> refused[] = {
        {"fehlt.txt", L"nicht lesen: nicht gefunden. Nichts geschrieben."},
        {"Ordner", L"ist ein Ordner"},
        {"huhn.dat", L"die Witze stehen in \u201E"},
    };
    for (const auto& [source, message] : refused) {
        SCOPED_TRACE(source);
        EXPECT_EQ(witz({L"import", (root / "gut.txt").wstring(), (root / source).wstring(),
                        L"--nach", L"Neu"}),
                  2);
        EXPECT_NE(err.find(message), std::wstring::npos) << visible(err);
        EXPECT_EQ(std::count(err.begin(), err.end(), L'\n'), 1) << visible(err);
        EXPECT_TRUE(namesIn(root / "Witze").empty());
    }
}

TEST_F(ImportTest, ReservedDeviceNamesAreRefused) {
    for (const wchar_t* name : {L"COM\u00b9", L"lpt\u00b3.txt", L"COM0", L"conin$"}) {
        SCOPED_TRACE(visible(name));
        EXPECT_EQ(witz({L"import", L"fehlt.txt", L"--nach", name}), 2);
        EXPECT_NE(err.find(L"Ger\u00e4tename"), std::wstring::npos) << visible(err);
    }
}

} // namespace
