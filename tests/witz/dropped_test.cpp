// Files dropped on witz.exe: what counts as a drop, the category names, and the import of each.
#include "witz_fixture.h"

#include <fstream>

#include "console.h"
#include "dropped.h"

namespace {

TEST(Dropped, PathsAndCategories) {
    const std::pair<const wchar_t*, bool> absolute[] = {
        {L"C:\\Witze\\neu.txt", true},
        {L"z:\\", true},
        {L"\\\\server\\freigabe\\a", true},
        {L"C:neu.txt", false},
        {L"C:/neu.txt", false},
        {L"1:\\neu.txt", false},
        {L"\\neu.txt", false},
        {L"\\\\", false},
        {L"neu.txt", false},
        {L"liste", false},
        {L"-C", false},
        {L"", false},
    };
    for (const auto& [path, expected] : absolute) {
        EXPECT_EQ(isAbsoluteWindowsPath(path), expected) << visible(path);
    }
    const std::pair<const wchar_t*, const wchar_t*> categories[] = {
        {L"C:\\Downloads\\Spr\u00fcche.txt", L"Spr\u00fcche"},
        {L"C:\\Downloads\\witze", L"witze"},
        {L"C:\\alte.Witze\\witze", L"witze"},
        {L"\\\\server\\f\\witze.tar.gz", L"witze.tar"},
        {L"C:\\Downloads\\.witze", L".witze"},
        {L"/tmp/Tiere.fortune", L"Tiere"},
    };
    for (const auto& [path, expected] : categories) {
        EXPECT_EQ(categoryOf(path), expected) << visible(path);
    }
}

// A drop: what lies beside witz.exe before, what is dropped, and what witz answers and writes.
struct Drop {
    const char* what;
    std::vector<std::pair<std::wstring, std::string>> before; // categories
    // Dropped in this order: a file with its bytes; a name ending in "/" is a folder, and bytes
    // "-" leave the path missing.
    std::vector<std::pair<std::wstring, std::string>> dropped;
    int status;
    std::vector<std::wstring> lines; // the start of each line written, in order
    std::vector<std::pair<std::wstring, std::string>> after;
};

const std::wstring onlyFiles = L"auf witz.exe lassen sich nur Dateien ziehen.";

const Drop drops[] = {
    {"several files, two refused",
     {{L"Tiere", "alt"}},
     {{L"Sprueche.txt", "a\n%\nb\n"},
      {L"Tiere.fortune", "neu\n"},
      {L"ende..txt", "x\n"},
      {L"Raetsel", "r\n"}},
     1,
     {L"Sprueche.txt: Witze", L"Tiere.fortune: Die Kategorie \u201ETiere\u201C gibt es schon.",
      L"Tiere.fortune: F\u00fcr eine neue Kategorie benenne die Datei um und ziehe sie noch einmal "
      L"auf witz.exe. Zum Anh\u00e4ngen gib in der Eingabeaufforderung (cmd) ein:",
      L"    \"", L"Tiere.fortune: Zum Ersetzen der Kategorie dasselbe mit --ersetzen-datei",
      L"ende..txt: \u201Eende.\u201C taugt nicht als Kategorie",
      L"ende..txt: Benenne die Datei um und ziehe sie noch einmal auf witz.exe.", L"Raetsel: Witze",
      L"2 von 4 Dateien \u00fcbernommen.",
      L"Pointex zeigt die Kategorien \u201ESprueche\u201C und \u201ERaetsel\u201C ab seinem "
      L"n\u00e4chsten Start."},
     {{L"Raetsel", "r"}, {L"Sprueche", "a\nb"}, {L"Tiere", "alt"}}},
    {"a folder and a path that is gone",
     {},
     {{L"Ordner/", ""}, {L"weg.txt", "-"}},
     2,
     {L"Ordner: Das ist ein Ordner; " + onlyFiles, L"weg.txt: Nicht gefunden; " + onlyFiles,
      L"0 von 2 Dateien \u00fcbernommen."},
     {}},
    {"a character without a place, and no joke",
     {},
     {{L"Schnee.txt", "\xe2\x98\x83\n"}, {L"leer.txt", "\n\n"}},
     2,
     {L"Schnee.txt: ", L"Schnee.txt: Nichts geschrieben: 1 Zeichen passt nicht in eine Witzdatei.",
      L"Schnee.txt: \u00c4ndere diese Zeichen in der Datei und ziehe die Datei noch einmal auf "
      L"witz.exe. Als \"?\" schreibt sie dieser Befehl in der Eingabeaufforderung (cmd):",
      L"    \"", L"leer.txt: Die Quellen enthalten keinen Witz; nichts geschrieben.",
      L"0 von 2 Dateien \u00fcbernommen."},
     {}},
    {"bytes that are no UTF-8 in a file marked as UTF-8",
     {},
     {{L"Gemischt.txt", "\xEF\xBB\xBFK\xC3\xA4se\nund K\xE4se\n"}},
     2,
     {L"Gemischt.txt: ",
      L"Gemischt.txt: Nichts geschrieben: 1 Bytefolge ist kein Zeichen in der Codierung ihrer "
      L"Datei.",
      L"Gemischt.txt: Berichtige diese Stellen im Editor, speichere die Datei als UTF-8 und ziehe "
      L"sie noch einmal auf witz.exe. Mit \"?\" f\u00fcr jede schreibt sie dieser Befehl in der "
      L"Eingabeaufforderung (cmd):",
      L"    \"", L"0 von 1 Datei \u00fcbernommen."},
     {}},
    // A file of "F:"/"A:" pairs cannot ask for --format raetsel here: it is found to be riddles.
    {"riddles without --format",
     {},
     {{L"Fragen.txt", "F: Was ist braun?\r\nA: Ein Tarzipan.\r\nF: Was ist gr\xc3\xbcn?\r\nA: Ein "
                      "Klopfsalat.\r\n"}},
     0,
     {L"Fragen.txt: Witze", L"1 von 1 Datei \u00fcbernommen.",
      L"Pointex zeigt die Kategorie \u201EFragen\u201C ab seinem n\u00e4chsten Start."},
     {{L"Fragen", "Was ist braun?\x12"
                  "Ein Tarzipan.\nWas ist gr\xfcn?\x12"
                  "Ein Klopfsalat."}}},
};

// Each file's lines together and in order, each naming its file, then the number taken; the
// refused files leave the categories as they were. (scripts/test-witz.sh runs the advised
// commands in cmd.)
class DroppedTest : public WitzTest {};

TEST_F(DroppedTest, EachFileGoesToTheCategoryOfItsName) {
    static std::wstring* transcript = &out;
    const host::Terminal previous = host::terminal;
    host::terminal = recordingTerminal;
    host::terminal.write = [](host::Stream, const std::string& text) {
        *transcript += decoded(text);
    };
    int row = 0;
    for (const Drop& drop : drops) {
        SCOPED_TRACE(drop.what);
        const std::filesystem::path folder = root / ("drop" + std::to_string(row++));
        std::filesystem::create_directories(folder / "Witze");
        for (const auto& [name, bytes] : drop.before) {
            std::ofstream(folder / "Witze" / pathOf(name), std::ios::binary) << bytes;
        }
        std::vector<std::wstring> paths;
        for (const auto& [name, bytes] : drop.dropped) {
            const std::filesystem::path path = folder / pathOf(name.substr(0, name.find(L'/')));
            if (name.back() == L'/') {
                std::filesystem::create_directory(path);
            } else if (bytes != "-") {
                std::ofstream(path, std::ios::binary) << bytes;
            }
            paths.push_back(path.wstring());
        }
        out.clear();
        EXPECT_EQ(importDropped(paths, (folder / "witz.exe").wstring()), drop.status);
        host::flush();
        std::size_t at = 0;
        for (const std::wstring& line : drop.lines) {
            EXPECT_EQ(out.compare(at, line.size(), line), 0) << visible(out.substr(at));
            at = std::min(out.find(L'\n', at), out.size() - 1) + 1;
        }
        EXPECT_EQ(at, out.size()) << visible(out);
        std::vector<std::string> names;
        for (const auto& [name, bytes] : drop.after) {
            names.push_back(pathOf(name).string());
            EXPECT_EQ(fileBytes(folder / "Witze" / pathOf(name)), bytes) << visible(name);
        }
        EXPECT_EQ(namesIn(folder / "Witze"), names);
    }
    host::terminal = previous;
}

// Explorer starts witz with absolute paths, of files or not; an argument of another kind (a
// command, an option, a relative name) makes it no drop.
TEST(Dropped, AbsolutePathsAreADrop) {
    const std::pair<std::vector<std::wstring>, bool> cases[] = {
        {{L"C:\\neu.txt"}, true},
        {{L"C:\\neu.txt", L"\\\\server\\f\\Ordner", L"D:\\weg"}, true},
        {{}, false},
        {{L"C:\\neu.txt", L"liste"}, false},
        {{L"liste", L"C:\\neu.txt"}, false},
        {{L"-C", L"C:\\Witze"}, false},
        {{L"neu.txt"}, false},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(isDrop(args), expected) << args.size() << " " << visible(args.back());
    }
}

} // namespace
