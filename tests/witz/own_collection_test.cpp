// The user's own collection made and completed from the installed one (witz einrichten, and
// witz import before the launcher ever ran): what is copied, what stays, what never comes back.
#include "witz_fixture.h"

#include <fstream>
#include <map>

#include "system.h"

namespace {

using Files = std::map<std::string, std::string>; // UTF-8 path below a folder, content

const Files supplied = {
    {"Witze/A", "Witz A"},     {"Witze/B", "Witz B"}, {"Witze/R\xC3\xA4tsel", "Frage\x12L"},
    {"about", "Mitgeliefert"}, {"version", "1.50"},   {"lizenz", "MIT"},
};

struct Case {
    const char* what;
    Files before; // in the own collection; empty: its folder does not exist
    Files after;  // all its files afterwards, the record aside
    const char* record;
    const char* report; // a part of what einrichten says
};

const Case cases[] = {
    {"a new home: everything copied",
     {},
     supplied,
     "A\nB\nR\xC3\xA4tsel\n",
     "kopiert, dazu \xE2\x80\x9E"
     "about\xE2\x80\x9C, \xE2\x80\x9Eversion\xE2\x80\x9C und \xE2\x80\x9E"
     "lizenz\xE2\x80\x9C."},
    {"an own collection made first keeps its category and gets the supplied ones",
     {{"Witze/Mein", "Eigener Witz"}},
     {{"Witze/Mein", "Eigener Witz"},
      {"Witze/A", "Witz A"},
      {"Witze/B", "Witz B"},
      {"Witze/R\xC3\xA4tsel", "Frage\x12L"},
      {"about", "Mitgeliefert"},
      {"version", "1.50"},
      {"lizenz", "MIT"}},
     "A\nB\nR\xC3\xA4tsel\n",
     "3 Kategorien"},
    {"changed files and a name in other letter case stay the user's",
     {{"Witze/A", "Meins"}, {"Witze/r\xC3\xA4tsel", "klein"}, {"about", "Mein Text"}},
     {{"Witze/A", "Meins"},
      {"Witze/r\xC3\xA4tsel", "klein"},
      {"Witze/B", "Witz B"},
      {"about", "Mein Text"},
      {"version", "1.50"},
      {"lizenz", "MIT"}},
     "A\nB\nR\xC3\xA4tsel\n",
     "1 Kategorie aus"},
    {"deleted categories stay deleted, missing texts come back",
     {{".mitgeliefert", "A\nB\nR\xC3\xA4tsel\n"}, {"Witze/A", "Witz A"}},
     {{"Witze/A", "Witz A"}, {"about", "Mitgeliefert"}, {"version", "1.50"}, {"lizenz", "MIT"}},
     "A\nB\nR\xC3\xA4tsel\n",
     "\xE2\x80\x9E"
     "about\xE2\x80\x9C"},
    {"a category a later version brings arrives, the record keeps what it had",
     {{".mitgeliefert", "A\nAlt\n"},
      {"Witze/A", "Witz A"},
      {"about", "a"},
      {"version", "v"},
      {"lizenz", "l"}},
     {{"Witze/A", "Witz A"},
      {"Witze/B", "Witz B"},
      {"Witze/R\xC3\xA4tsel", "Frage\x12L"},
      {"about", "a"},
      {"version", "v"},
      {"lizenz", "l"}},
     "A\nAlt\nB\nR\xC3\xA4tsel\n",
     "2 Kategorien aus"},
};

// The own collection lies two folders deeper than anything made yet, as ~/.local/share/pointex
// does in a new home.
class OwnCollectionTest : public CollectionsTest {
  protected:
    OwnCollectionTest() : CollectionsTest(std::filesystem::path("home") / "share" / "pointex") {}
    void SetUp() override {
        CollectionsTest::SetUp();
        std::filesystem::remove_all(root / "Witze");
        place(root / "mitgeliefert", supplied);
    }
    static void place(const std::filesystem::path& folder, const Files& files) {
        for (const auto& [name, bytes] : files) {
            std::filesystem::path path = folder / std::filesystem::u8path(name);
            std::filesystem::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary) << bytes;
        }
    }
    // Every file below the own collection but the record, with its content.
    Files ownFiles() const {
        Files files;
        if (!std::filesystem::exists(own)) {
            return files;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(own)) {
            std::string name = entry.path().lexically_relative(own).generic_u8string();
            if (entry.is_regular_file() && name != ".mitgeliefert") {
                files[name] = *fileBytes(entry.path());
            }
        }
        return files;
    }
};

TEST_F(OwnCollectionTest, CopiesWhatItNeverHadAndKeepsWhatIsThere) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(root / "home");
        place(own, c.before);

        EXPECT_EQ(witz({L"einrichten"}, false), 0) << visible(err);
        EXPECT_NE(pathOf(out).u8string().find(c.report), std::string::npos) << visible(out);
        EXPECT_EQ(ownFiles(), c.after);
        EXPECT_EQ(fileBytes(own / ".mitgeliefert"), std::string(c.record));

        // Again, as every later start does: nothing more.
        EXPECT_EQ(witz({L"einrichten"}, false), 0) << visible(err);
        EXPECT_NE(out.find(L"nichts zu kopieren"), std::wstring::npos) << visible(out);
        EXPECT_EQ(ownFiles(), c.after);
        EXPECT_EQ(namesIn(root / "home" / "share"), std::vector<std::string>{"pointex"});
    }
}

// witz import before pointex ever started: the own collection is made as the launcher makes it,
// and the import goes there, not into the installed one. With -C it goes where -C says alone.
TEST_F(OwnCollectionTest, ImportBeforeTheFirstStartMakesTheOwnCollection) {
    writeFile(L"neu.txt", "Neuer Witz\n", false);
    EXPECT_EQ(witz({L"import", (root / "neu.txt").wstring(), L"--nach", L"Neu"}, false), 0)
        << visible(err);
    Files wanted = supplied;
    wanted["Witze/Neu"] = "Neuer Witz";
    EXPECT_EQ(ownFiles(), wanted);
    EXPECT_EQ(namesIn(root / "mitgeliefert" / "Witze"),
              (std::vector<std::string>{"A", "B", "R\xC3\xA4tsel"}));
    EXPECT_NE(out.find(L"3 Kategorien"), std::wstring::npos) << visible(out);

    std::filesystem::remove_all(root / "home");
    std::filesystem::create_directories(root / "anders");
    EXPECT_EQ(witz({L"-C", (root / "anders").wstring(), L"import", (root / "neu.txt").wstring(),
                    L"--nach", L"Neu"},
                   false),
              0)
        << visible(err);
    EXPECT_TRUE(std::filesystem::exists(root / "anders" / "Witze" / "Neu"));
    EXPECT_FALSE(std::filesystem::exists(root / "home"));
}

// Where the own collection cannot be made, nothing is written anywhere and the status is 2;
// without an installed collection einrichten has nothing to copy, and an import goes on.
TEST_F(OwnCollectionTest, WhereItCannotBeMadeOrThereIsNothingToCopy) {
    place(root / "home" / "share", {{"pointex", "eine Datei"}});
    EXPECT_EQ(witz({L"einrichten"}, false), 2);
    EXPECT_NE(err.find(L"nicht anlegen"), std::wstring::npos) << visible(err);
    writeFile(L"neu.txt", "Neuer Witz\n", false);
    EXPECT_EQ(witz({L"import", (root / "neu.txt").wstring(), L"--nach", L"Neu"}, false), 2);
    EXPECT_EQ(namesIn(root / "home" / "share"), std::vector<std::string>{"pointex"});

    std::filesystem::remove_all(root / "home");
    std::filesystem::remove_all(root / "mitgeliefert" / "Witze");
    EXPECT_EQ(witz({L"einrichten"}, false), 2);
    EXPECT_NE(err.find(L"keine mitgelieferte Sammlung"), std::wstring::npos) << visible(err);
    // An import into an own collection goes on without one, as a witz that is not installed has.
    std::filesystem::create_directories(root / "home" / "share" / "pointex" / "Witze");
    EXPECT_EQ(witz({L"import", (root / "neu.txt").wstring(), L"--nach", L"Neu"}, false), 0)
        << visible(err);
}

} // namespace
