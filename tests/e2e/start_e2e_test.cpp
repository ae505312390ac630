// What the user sees at start and at the end: title, list, status bar, texts, start-up errors.
#include "fixture.h"

#include <algorithm>

namespace {

const std::wstring welcome =
    latin1("Willkommen bei Tobrek's Pointex!\r\n\r\nW\xe4hle eine Kategorie.");
const std::wstring notLoaded = L"Es ist ein Fehler aufgetreten";

using StartTest = PointexTest;

TEST_F(StartTest, ShowsTitleCategoriesTotalsAndWelcome) {
    writeSampleFolder();
    ASSERT_NO_FATAL_FAILURE(start());

    EXPECT_EQ(app.title(), L"Pointex 1.50");
    const std::map<std::wstring, int> counts{{tiere, 4}, {zahlen, 12}, {leer, 1}, {buero, 2}};
    std::vector<std::wstring> expected;
    for (const auto& name : listedNames()) {
        expected.push_back(name + L"  (" + std::to_wstring(counts.at(name)) + L")");
    }
    EXPECT_EQ(app.categoryItems(), expected);
    EXPECT_EQ(app.categorySelection(), CB_ERR);
    EXPECT_EQ(app.statusPart(0), L"Pointex!");
    EXPECT_EQ(app.statusPart(1), L"19 Witze in 4 Kategorien");
    EXPECT_EQ(app.jokeText(), welcome);
    EXPECT_EQ(app.text(309), L"...");
    EXPECT_EQ(app.text(302), L"");
    EXPECT_FALSE(app.enabled(303)) << "\" L\xf6sen\" must wait for a joke with a solution";
    EXPECT_EQ(app.menuState(313), 0u) << "case is ignored at start";
    EXPECT_EQ(app.menuState(314), UINT(MF_CHECKED)) << "all categories are searched at start";
    EXPECT_TRUE(app.tree().empty());
    EXPECT_TRUE(app.messageBoxes().empty());
}

void expectNoCategories(e2e::Pointex& app) {
    EXPECT_TRUE(app.categoryItems().empty());
    EXPECT_EQ(app.statusPart(0), L"Pointex! (Error)");
    EXPECT_EQ(app.statusPart(1), L"0 Witze in 0 Kategorien");
    EXPECT_EQ(app.jokeText(), notLoaded);
    EXPECT_TRUE(app.messageBoxes().empty()) << "no folder is no error worth a box";

    ASSERT_TRUE(app.click(304));
    EXPECT_EQ(app.title(), L"Pointex 1.50 - [Keine Kategorie]");
    EXPECT_EQ(app.categorySelection(), CB_ERR);
    EXPECT_EQ(app.jokeText(), notLoaded);
    ASSERT_TRUE(app.click(308));
    EXPECT_EQ(app.jokeText(), notLoaded);
    EXPECT_FALSE(app.enabled(303));
}

TEST_F(StartTest, FolderWithOnlySubfoldersHasNoCategories) {
    ASSERT_TRUE(CreateDirectoryW(jokePath(L"Archiv").c_str(), nullptr));
    writeJokeFile(L"Archiv\\Alt", "Ein Witz im Unterordner");
    ASSERT_NO_FATAL_FAILURE(start());
    expectNoCategories(app);
}

TEST_F(StartTest, MissingFolderHasNoCategories) {
    ASSERT_TRUE(RemoveDirectoryW((root + L"\\Witze").c_str()));
    ASSERT_NO_FATAL_FAILURE(start());
    expectNoCategories(app);
}

TEST_F(StartTest, UnopenableFileGivesOneErrorBoxBeforeTheWindow) {
    const std::map<std::wstring, int> counts{{L"A", 3}, {L"B", 1}, {L"C", 2}};
    writeJokeFile(L"A", "eins\r\nzwei\r\ndrei");
    writeJokeFile(L"B", "vier");
    writeJokeFile(L"C", "f\xfcnf\r\nsechs");
    recordFolder();
    // Another process holding the second listed file without sharing makes it unopenable.
    const auto names = listedNames();
    ASSERT_EQ(names.size(), 3u);
    HANDLE locked = CreateFileW(jokePath(names[1]).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    ASSERT_TRUE(app.launch(root));
    const auto box = app.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_EQ(box.text, L"Eine Datei konnte nicht ge\u00f6ffnet werden");
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), nullptr);
    EXPECT_EQ(app.findMainWindow(), nullptr) << "the box comes before any window";
    ASSERT_TRUE(app.dismiss(box));
    CloseHandle(locked);

    ASSERT_TRUE(app.waitForMainWindow());
    ASSERT_TRUE(app.barrier());
    EXPECT_TRUE(app.messageBoxes().empty()) << "exactly one box";
    EXPECT_EQ(app.statusPart(0), L"Pointex! (Error)");
    // Counting stopped at the locked file: the jokes are those counted before it.
    EXPECT_EQ(app.statusPart(1), std::to_wstring(counts.at(names[0])) + L" Witze in 3 Kategorien");
    EXPECT_TRUE(app.categoryItems().empty());
    EXPECT_EQ(app.jokeText(), notLoaded);
}

// Pixels of a window as the screen shows it, 0x00RRGGBB each.
std::vector<DWORD> screenPixels(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Button faces, texts, frames and the focus are greys or pale: inside the frame, clearly
// coloured pixels come from an icon.
int colouredPixels(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top, frame = 4;
    const std::vector<DWORD> pixels = screenPixels(window);
    int coloured = 0;
    for (int y = frame; y < height - frame; ++y) {
        for (int x = frame; x < width - frame; ++x) {
            const DWORD pixel = pixels[static_cast<size_t>(y) * width + x];
            const int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
            coloured += std::max({red, green, blue}) - std::min({red, green, blue}) > 32;
        }
    }
    return coloured;
}

// Without the common controls the manifest asks for, the buttons show their texts alone.
TEST_F(StartTest, ButtonsShowTheirIcons) {
    writeSampleFolder();
    ASSERT_NO_FATAL_FAILURE(start());
    const auto names = listedNames();
    const auto animals = std::find(names.begin(), names.end(), tiere) - names.begin();
    ASSERT_TRUE(app.chooseCategory(static_cast<int>(animals)));
    ASSERT_TRUE(app.click(308));
    ASSERT_TRUE(app.enabled(303)) << "the first joke has a solution";
    for (int id : {303, 304, 305, 306, 307, 308, 310}) {
        // Wine copies a window's drawing to the screen a moment later.
        EXPECT_TRUE(e2e::waitFor([&] { return colouredPixels(app.control(id)) >= 12; },
                                 e2e::commandTimeout))
            << "button " << id << " shows no icon";
    }
}

TEST_F(StartTest, ExitMenuCommandEndsWithCodeZero) {
    writeSampleFolder();
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(PostMessageW(app.mainWindow(), WM_COMMAND, MAKEWPARAM(317, 0), 0));
    EXPECT_EQ(app.waitForExit(), 0u);
}

TEST_F(StartTest, ClosingTheWindowEndsWithCodeZero) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(PostMessageW(app.mainWindow(), WM_CLOSE, 0, 0));
    EXPECT_EQ(app.waitForExit(), 0u);
}

TEST_F(StartTest, CloseBoxEndsWithCodeZero) {
    writeSampleFolder();
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(app.chooseCategory(0));
    ASSERT_TRUE(PostMessageW(app.mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_EQ(app.waitForExit(), 0u);
}

TEST_F(StartTest, PaintingDoesNotLeak) {
    writeSampleFolder();
    ASSERT_NO_FATAL_FAILURE(start());
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(app.repaint());
    }
    const SIZE_T before = app.privateBytes();
    // The 128 x 128 picture is about 80 KB; a leaked copy per paint would add 30 MB.
    for (int i = 0; i < 400; ++i) {
        ASSERT_TRUE(app.repaint());
    }
    const SIZE_T after = app.privateBytes();
    EXPECT_LT(after, before + 16 * 1024 * 1024)
        << "memory grew from " << before << " to " << after << " bytes over 400 paints";
}

} // namespace
