// Which collection witz reads and writes when no folder is named, and the user's own by XDG.
#include "witz_fixture.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "library/platform.h"
#include "system.h"

namespace {

void setVariable(const char* name, const char* value) {
#ifdef _WIN32
    std::string assignment = std::string(name) + "=" + (value != nullptr ? value : "");
    _putenv(assignment.c_str());
#else
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

struct Case {
    const char* what;
    bool here, own, installed;
    const char* environment; // WITZ_ORDNER's folder below the test's, or null
    const char* given;       // -C's folder below the test's, or null
    const char* read;        // the category liste shows, or null when there are no jokes
    int importStatus;
    const char* importedTo; // the folder below the test's that gets Witze/Neu, or null
};

const Case cases[] = {
    {"-C first", true, true, true, "benannt", "anders", "Anders", 0, "anders"},
    {"then WITZ_ORDNER", true, true, true, "benannt", nullptr, "Benannt", 0, "benannt"},
    {"then the working directory", true, true, true, nullptr, nullptr, "Hier", 0, "."},
    {"then the user's own", false, true, true, nullptr, nullptr, "Eigen", 0, "eigene"},
    {"then the installed one, read-only: import makes the own", false, false, true, nullptr,
     nullptr, "Mitgeliefert", 0, "eigene"},
    {"none: the working directory's is made", false, false, false, nullptr, nullptr, nullptr, 0,
     "."},
};

class LookupTest : public CollectionsTest {
  protected:
    LookupTest() : CollectionsTest("eigene") {}
    void TearDown() override {
        setVariable("WITZ_ORDNER", nullptr);
        CollectionsTest::TearDown();
    }
    // A collection in root/folder with one category of one joke, or none at all.
    void collection(const char* folder, const char* category, bool present) {
        std::filesystem::remove_all(root / folder);
        std::filesystem::create_directories(root / folder);
        if (present) {
            std::filesystem::create_directories(root / folder / "Witze");
            std::ofstream(root / folder / "Witze" / category) << "Ein Witz";
        }
    }
};

TEST_F(LookupTest, NamedFolderThenHereThenOwnThenInstalled) {
    writeFile(L"quelle.txt", "Neu\n", false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(root / "Witze");
        if (c.here) {
            std::filesystem::create_directories(root / "Witze");
            writeFile(L"Hier", "Ein Witz");
        }
        collection("eigene", "Eigen", c.own);
        collection("mitgeliefert", "Mitgeliefert", c.installed);
        collection("benannt", "Benannt", true);
        collection("anders", "Anders", true);
        setVariable("WITZ_ORDNER",
                    c.environment ? (root / c.environment).string().c_str() : nullptr);
        std::vector<std::wstring> given;
        if (c.given != nullptr) {
            given = {L"-C", (root / c.given).wstring()};
        }

        std::vector<std::wstring> args = given;
        args.push_back(L"liste");
        if (c.read != nullptr) {
            EXPECT_EQ(witz(args, false), 0) << visible(err);
            std::wstring category(c.read, c.read + std::strlen(c.read));
            EXPECT_NE(out.find(L"1  " + category + L"  (1)"), std::wstring::npos) << visible(out);
        } else {
            EXPECT_EQ(witz(args, false), 2);
            EXPECT_NE(err.find(L"Auch nicht in"), std::wstring::npos) << visible(err);
        }

        args = given;
        args.insert(args.end(), {L"import", (root / "quelle.txt").wstring(), L"--nach", L"Neu"});
        EXPECT_EQ(witz(args, false), c.importStatus) << visible(err);
        for (const char* folder : {".", "eigene", "mitgeliefert", "benannt", "anders"}) {
            bool imported = c.importedTo != nullptr && std::string(folder) == c.importedTo;
            EXPECT_EQ(std::filesystem::exists(root / folder / "Witze" / "Neu"), imported) << folder;
        }
        if (c.importStatus != 0) {
            EXPECT_NE(err.find(L"-C ORDNER"), std::wstring::npos) << visible(err);
        }
    }
}

// A folder that is not there is no collection: nothing is read or written elsewhere, and the
// message names what was looked for.
TEST_F(LookupTest, AMissingFolderIsNoCollection) {
    writeFile(L"quelle.txt", "Neu\n", false);
    const std::wstring source = (root / "quelle.txt").wstring();
    collection("eigene", "Eigen", false);
    collection("mitgeliefert", "Mitgeliefert", false);
    const std::filesystem::path missing = root / "fehlt";
    EXPECT_EQ(witz({L"-C", missing.wstring(), L"liste"}, false), 2);
    EXPECT_EQ(witz({L"-C", missing.wstring(), L"import", source, L"--nach", L"Neu"}, false), 2);
    EXPECT_NE(err.find(L"fehlt\u201C ist kein vorhandener Ordner"), std::wstring::npos)
        << visible(err);
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A working directory deleted meanwhile reads as none; the library's root is never taken
    // for it.
    platform::CurrentDirectoryFunction current = platform::currentDirectory;
    platform::currentDirectory = [] { return std::wstring(); };
    const std::filesystem::path rootJokes = std::filesystem::path("/") / "Witze";
    const std::filesystem::path atRoot = rootJokes / "Neu";
    const bool folderWasThere = std::filesystem::exists(rootJokes);
    const bool wasThere = std::filesystem::exists(atRoot);
    int status = witz({L"import", source, L"--nach", L"Neu"}, false);
    platform::currentDirectory = current;
    std::error_code ignored;
    if (!wasThere) {
        std::filesystem::remove(atRoot, ignored);
    }
    if (!folderWasThere) {
        std::filesystem::remove(rootJokes, ignored);
    }
    EXPECT_EQ(status, 2);
    EXPECT_EQ(std::filesystem::exists(atRoot), wasThere);
    EXPECT_NE(err.find(L"Das Arbeitsverzeichnis gibt es nicht mehr, und auch"), std::wstring::npos)
        << visible(err);
    EXPECT_NE(err.find(L"mitgeliefert"), std::wstring::npos) << visible(err);
}

#ifndef _WIN32
// The user's own collection by the XDG rules (a relative XDG_DATA_HOME counts as not set), and
// the installed one after it.
TEST(FallbackCollections, UserFolderByXdgThenInstalled) {
    const struct {
        const char* data;
        const char* home;
        const wchar_t* own; // empty when there is none
    } cases[] = {
        {"/daten", "/heim", L"/daten/pointex"},
        {"daten", "/heim", L"/heim/.local/share/pointex"},
        {nullptr, "/heim", L"/heim/.local/share/pointex"},
        {nullptr, "", L""},
    };
    std::string data = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.data ? c.data : "(none)") + " " + c.home);
        setVariable("XDG_DATA_HOME", c.data);
        setVariable("HOME", c.home);
        std::vector<host::Collection> found = host::fallbackCollections();
        ASSERT_EQ(found.size(), *c.own != 0 ? 2u : 1u);
        if (*c.own != 0) {
            EXPECT_EQ(visible(found[0].directory), visible(c.own));
            EXPECT_FALSE(found[0].readOnly);
        }
        EXPECT_TRUE(found.back().readOnly);
        EXPECT_EQ(found.back().directory.rfind(L"/share/pointex"),
                  found.back().directory.size() - 14)
            << visible(found.back().directory);
    }
    setVariable("XDG_DATA_HOME", data.empty() ? nullptr : data.c_str());
    setVariable("HOME", home.c_str());
}
#endif

} // namespace
