// Files dropped on witz.exe: what counts as a drop, the category names, and the import of each.
#include "witz_fixture.h"

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

class DroppedTest : public WitzTest {
  protected:
    // Runs fn with witz's output recorded in out and err.
    template <typename Function>
    int recording(Function fn) {
        static std::wstring* streams[2];
        streams[0] = &out;
        streams[1] = &err;
        out.clear();
        err.clear();
        host::WriteFunction previous = host::write;
        host::write = [](host::Stream stream, const std::wstring& text) {
            *streams[static_cast<int>(stream)] += text;
        };
        int status = fn();
        host::write = previous;
        return status;
    }
    std::wstring source(const std::wstring& name, const std::string& bytes) {
        writeFile(name, bytes, false);
        return (root / pathOf(name)).wstring();
    }
};

// A refused file is reported and the others still go; the status is the worst one.
TEST_F(DroppedTest, EachFileGoesToTheCategoryOfItsName) {
    writeFile(L"Tiere", "alt");
    const std::vector<std::wstring> paths = {
        source(L"Sprueche.txt", "a\n%\nb\n"),
        source(L"Tiere.fortune", "neu\n"),
        source(L"ende..txt", "x\n"),
        source(L"Raetsel", "r\n"),
    };
    EXPECT_EQ(recording([&] { return importDropped(paths, root.wstring()); }), 2);
    EXPECT_EQ(namesIn(root / "Witze"), (std::vector<std::string>{"Raetsel", "Sprueche", "Tiere"}));
    EXPECT_EQ(fileBytes(root / "Witze" / "Sprueche"), "a\nb");
    EXPECT_EQ(fileBytes(root / "Witze" / "Tiere"), "alt");
    EXPECT_NE(out.find(L"Sprueche: 2 Witze geschrieben"), std::wstring::npos) << visible(out);
    EXPECT_NE(out.find(L"Raetsel: 1 Witz geschrieben"), std::wstring::npos) << visible(out);
    EXPECT_NE(err.find(L"\u201ETiere\u201C gibt es schon"), std::wstring::npos) << visible(err);
    EXPECT_NE(err.find(L"\u201Eende.\u201C taugt nicht"), std::wstring::npos) << visible(err);
}

// Only where the test's folder has a Windows path: the arguments must all be existing files.
TEST_F(DroppedTest, OnlyExistingFilesAreADrop) {
    if (!isAbsoluteWindowsPath(root.wstring())) {
        GTEST_SKIP() << "no Windows paths here";
    }
    const std::wstring file = source(L"neu.txt", "a\n");
    const std::wstring folder = (root / "Witze").wstring();
    const std::pair<std::vector<std::wstring>, bool> cases[] = {
        {{file}, true},         {{file, file}, true},      {{}, false},
        {{folder}, false},      {{file, folder}, false},   {{file, L"liste"}, false},
        {{file + L"x"}, false}, {{L"liste", file}, false},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(isDrop(args), expected) << args.size() << " " << visible(args.back());
    }
}

} // namespace
