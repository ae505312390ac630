// Any given folder as Pointex shows it, against its own files: the categories with their counts,
// the totals, the first solution part of a riddle in each category that has one, and the About
// dialog's three texts. Runs only when POINTEX_E2E_FOLDER names the
// folder (an unpacked release, a collection written by witz); the program is POINTEX_EXE.
#include "fixture.h"
#include "joke_model.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

namespace fs = std::filesystem;

constexpr int numberField = 302, solveButton = 303;
constexpr int textArea = 400;
constexpr int aboutButton = 403, versionButton = 404, lizenzButton = 405;

std::optional<std::string> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// An About text as the dialog shows it: the file read as text (CR LF as LF, nothing from 0x1A
// on), LF and 0x0F as CR LF, byte b as U+00bb, and only up to a NUL, where the control stops.
std::wstring aboutText(const std::wstring& folder, const std::wstring& name) {
    const auto bytes = readBytes(fs::path(folder) / name);
    if (!bytes) {
        return L"Die Datei \"" + name + L"\" wurde nicht gefunden!";
    }
    std::wstring text;
    for (char c : model::textMode(*bytes)) {
        if (c == '\0') {
            break;
        }
        if (c == '\n' || c == '\x0f') {
            text += L"\r\n";
        } else {
            text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
    }
    return text;
}

TEST(FolderCheck, ShowsTheFoldersCategoriesCountsAndAboutTexts) {
    const wchar_t* given = _wgetenv(L"POINTEX_E2E_FOLDER");
    if (given == nullptr || *given == 0) {
        GTEST_SKIP() << "POINTEX_E2E_FOLDER names no folder to check";
    }
    const std::wstring folder = e2e::windowsPath(given);
    std::cout << "[ folder  ] " << testing::PrintToString(folder) << " with "
              << testing::PrintToString(e2e::pointexPath()) << "\n";

    // What the files say: one category per file, its jokes counted as the program counts them.
    const auto names = jokeFileNames(folder);
    ASSERT_FALSE(names.empty()) << "no joke files in " << testing::PrintToString(folder);
    std::vector<std::wstring> items;
    std::vector<std::vector<std::string>> jokes;
    std::size_t total = 0;
    for (const auto& name : names) {
        const auto bytes = readBytes(fs::path(folder) / L"Witze" / name);
        ASSERT_TRUE(bytes) << "cannot read " << testing::PrintToString(name);
        jokes.push_back(model::jokes(*bytes));
        items.push_back(name + L"  (" + std::to_wstring(jokes.back().size()) + L")");
        total += jokes.back().size();
    }

    e2e::Pointex app;
    ASSERT_TRUE(app.launch(folder));
    ASSERT_TRUE(app.waitForMainWindow()) << "no main window with its controls appeared";
    EXPECT_EQ(app.categoryItems(), items);
    EXPECT_EQ(app.statusPart(0), L"Pointex!");
    EXPECT_EQ(app.statusPart(1), std::to_wstring(total) + L" Witze in " +
                                     std::to_wstring(names.size()) + L" Kategorien");
    EXPECT_TRUE(app.messageBoxes().empty()) << "a box came up at start";

    // The first joke with a solution in each category, by its number: "Lösen" adds a part.
    std::size_t solved = 0;
    for (std::size_t category = 0; category < names.size(); ++category) {
        const auto& all = jokes[category];
        const auto riddle = std::find_if(
            all.begin(), all.end(), [](const auto& joke) { return model::parts(joke).size() > 1; });
        if (riddle == all.end()) {
            continue;
        }
        const auto parts = model::parts(*riddle);
        const auto number = std::to_wstring(riddle - all.begin() + 1);
        ASSERT_TRUE(app.chooseCategory(static_cast<int>(category)) &&
                    app.replaceText(numberField, number));
        EXPECT_EQ(app.jokeText(), model::view(parts, 0)) << testing::PrintToString(names[category]);
        ASSERT_TRUE(app.enabled(solveButton)) << testing::PrintToString(names[category]);
        ASSERT_TRUE(app.click(solveButton));
        EXPECT_EQ(app.jokeText(), model::view(parts, 1)) << testing::PrintToString(names[category]);
        ++solved;
    }

    HWND dialog = app.openAbout();
    ASSERT_NE(dialog, nullptr);
    const std::pair<int, const wchar_t*> buttons[] = {
        {versionButton, L"version"}, {lizenzButton, L"lizenz"}, {aboutButton, L"about"}};
    // The dialog opens on "about"; each button then shows its own file.
    EXPECT_EQ(e2e::windowText(GetDlgItem(dialog, textArea)), aboutText(folder, L"about"));
    for (const auto& [id, name] : buttons) {
        ASSERT_TRUE(PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0) && app.barrier());
        EXPECT_EQ(e2e::windowText(GetDlgItem(dialog, textArea)), aboutText(folder, name))
            << "the button of " << testing::PrintToString(std::wstring(name));
    }
    ASSERT_TRUE(PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0));
    EXPECT_TRUE(e2e::waitFor([&] { return !IsWindow(dialog); }, e2e::commandTimeout))
        << "the About dialog is still open";
    std::cout << "[ folder  ] " << names.size() << " categories, " << total
              << " jokes and the three About texts as the files say; a solution part shown in "
              << solved << " categories\n";
}

} // namespace
