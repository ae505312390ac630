// Files dropped on witz.exe: what counts as a drop, the category names, and the import of each.
#include "witz_fixture.h"

#include <fstream>

#include "dropped.h"
#include "system.h"

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
    std::vector<std::pair<std::wstring, std::string>> categories; // in Witze before the drop
    // Dropped in this order: a file with its bytes; a name ending in "/" is a folder, and bytes
    // "-" leave the path missing.
    std::vector<std::pair<std::wstring, std::string>> dropped;
    int status;
    std::vector<std::wstring> lines;                           // the start of each line, in order
    std::vector<std::pair<std::wstring, std::string>> written; // Witze after the drop
    std::vector<std::pair<std::wstring, std::string>> advised; // after the advised commands
};

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
      L"2 von 4 Dateien \u00fcbernommen."},
     {{L"Raetsel", "r"}, {L"Sprueche", "a\nb"}, {L"Tiere", "alt"}},
     {{L"Raetsel", "r"}, {L"Sprueche", "a\nb"}, {L"Tiere", "alt\nneu"}}},
    {"a folder and a path that is gone",
     {},
     {{L"Ordner/", ""}, {L"weg.txt", "-"}},
     2,
     {L"Ordner: Das ist ein Ordner; auf witz.exe lassen sich nur Dateien ziehen.",
      L"weg.txt: Nicht gefunden; auf witz.exe lassen sich nur Dateien ziehen.",
      L"0 von 2 Dateien \u00fcbernommen."},
     {},
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
     {},
     {{L"Schnee", "?"}}},
    {"one file",
     {},
     {{L"Neu.txt", "a\n"}},
     0,
     {L"Neu.txt: Witze", L"1 von 1 Datei \u00fcbernommen."},
     {{L"Neu", "a"}},
     {{L"Neu", "a"}}},
};

class DroppedTest : public WitzTest {
  protected:
    // Runs fn with witz's output recorded in out, err and both.
    template <typename Function>
    int recording(Function fn) {
        static std::wstring* streams[3];
        streams[0] = &out;
        streams[1] = &err;
        streams[2] = &both;
        out.clear();
        err.clear();
        both.clear();
        host::WriteFunction previous = host::write;
        host::write = [](host::Stream stream, const std::wstring& text) {
            *streams[static_cast<int>(stream)] += text;
            *streams[2] += text;
        };
        int status = fn();
        host::write = previous;
        return status;
    }
    void expectCategories(const std::filesystem::path& folder,
                          const std::vector<std::pair<std::wstring, std::string>>& expected) {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : expected) {
            names.push_back(pathOf(name).string());
            EXPECT_EQ(fileBytes(folder / pathOf(name)), bytes) << visible(name);
        }
        EXPECT_EQ(std::filesystem::exists(folder) ? namesIn(folder) : std::vector<std::string>(),
                  names);
    }
    std::wstring both;
};

// The words of a command line as cmd passes them on: parted at blanks outside quotes.
std::vector<std::wstring> words(const std::wstring& line) {
    std::vector<std::wstring> result;
    std::wstring word;
    bool quoted = false, inWord = false;
    for (wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == L' ' && !quoted) {
            if (inWord) {
                result.push_back(word);
            }
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        result.push_back(word);
    }
    return result;
}

// Each file's lines together and in order, each naming its file, then the number taken; the
// refused files left as they were, and the commands advised for a console doing what they say.
TEST_F(DroppedTest, EachFileGoesToTheCategoryOfItsName) {
    int row = 0;
    for (const Drop& drop : drops) {
        SCOPED_TRACE(drop.what);
        const std::filesystem::path folder = root / ("drop" + std::to_string(row++));
        std::filesystem::create_directories(folder / "Witze");
        for (const auto& [name, bytes] : drop.categories) {
            std::ofstream(folder / "Witze" / pathOf(name), std::ios::binary) << bytes;
        }
        std::vector<std::wstring> paths;
        for (const auto& [name, bytes] : drop.dropped) {
            const bool isFolder = name.back() == L'/';
            std::filesystem::path path =
                folder / pathOf(isFolder ? name.substr(0, name.size() - 1) : name);
            if (isFolder) {
                std::filesystem::create_directory(path);
            } else if (bytes != "-") {
                std::ofstream(path, std::ios::binary) << bytes;
            }
            paths.push_back(path.wstring());
        }
        const std::wstring program = (folder / "witz.exe").wstring();
        EXPECT_EQ(recording([&] { return importDropped(paths, program); }), drop.status);
        std::vector<std::wstring> lines;
        for (std::size_t at = 0; at < both.size();) {
            std::size_t end = both.find(L'\n', at);
            lines.push_back(both.substr(at, end - at));
            at = end == std::wstring::npos ? both.size() : end + 1;
        }
        ASSERT_EQ(lines.size(), drop.lines.size()) << visible(both);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            EXPECT_EQ(lines[k].compare(0, drop.lines[k].size(), drop.lines[k]), 0)
                << visible(lines[k]);
        }
        expectCategories(folder / "Witze", drop.written);

        std::vector<std::wstring> commands;
        for (const std::wstring& line : lines) {
            if (line.compare(0, 5, L"    \"") == 0) {
                commands.push_back(line);
            }
        }
        for (const std::wstring& command : commands) {
            std::vector<std::wstring> args = words(command);
            ASSERT_GE(args.size(), 3u) << visible(command);
            EXPECT_EQ(args[0], program);
            args.erase(args.begin());
            EXPECT_EQ(witz(args, false), 0) << visible(command) << visible(err);
        }
        expectCategories(folder / "Witze", drop.advised);
    }
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
