// The About dialog as the user sees it: opening, the three texts, closing, and repeated openings.
#include "fixture.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

constexpr int textArea = 400, titleArea = 401, iconArea = 402;
constexpr int aboutButton = 403, versionButton = 404, lizenzButton = 405;

std::wstring notFound(const std::wstring& name) {
    return L"Die Datei \"" + name + L"\" wurde nicht gefunden!";
}

// What the main window shows; the dialog must leave all of it as it was.
struct MainWindowState {
    std::wstring title, text, status0, status1;
    int selection;
    bool operator==(const MainWindowState& other) const {
        return title == other.title && text == other.text && status0 == other.status0 &&
               status1 == other.status1 && selection == other.selection;
    }
};

std::ostream& operator<<(std::ostream& out, const MainWindowState& state) {
    return out << testing::PrintToString(state.title) << ", " << testing::PrintToString(state.text)
               << ", " << testing::PrintToString(state.status0) << ", "
               << testing::PrintToString(state.status1) << ", selection " << state.selection;
}

class AboutTest : public PointexTest {
  protected:
    // The About texts lie in the working directory, beside the joke folder.
    void writeTextFile(const std::wstring& name, const std::string& bytes) {
        std::ofstream out(std::filesystem::path(root + L"\\" + name),
                          std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << "could not write " << testing::PrintToString(name);
    }

    void writeAllTexts() {
        writeTextFile(L"about", "Pointex zeigt Witze.\r\nViel Spa\xdf!");
        writeTextFile(L"version", "Version 1.50\r\n- Suche in allen Kategorien");
        writeTextFile(L"lizenz", "Freeware.\r\nKeine Gew\xe4hr.");
    }

    MainWindowState mainState() {
        return {app.title(), app.jokeText(), app.statusPart(0), app.statusPart(1),
                app.categorySelection()};
    }

    HWND open() { return app.openAbout(); }

    std::wstring shownText(HWND dialog) { return e2e::windowText(GetDlgItem(dialog, textArea)); }

    // A posted click, as a user's; the barrier passes once the dialog has handled it.
    bool press(HWND dialog, int id) {
        return PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0) && app.barrier();
    }

    // The window that has the keyboard focus in the program, where a key press would go.
    static HWND focusedWindow(HWND dialog) {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)
                   ? thread.hwndFocus
                   : nullptr;
    }

    bool pressEscape(HWND window) {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_ESCAPE, 0)) << 16;
        return PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, scan | 1) &&
               PostMessageW(window, WM_KEYUP, VK_ESCAPE, scan | 0xC0000001) && app.barrier();
    }

    bool waitUntilClosed(HWND dialog) {
        const bool closed = e2e::waitFor([&] { return !IsWindow(dialog); }, e2e::commandTimeout);
        EXPECT_TRUE(closed) << "the About dialog is still open";
        return closed && app.barrier();
    }

    bool closeWithOk(HWND dialog) {
        return PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0) && waitUntilClosed(dialog);
    }
};

TEST_F(AboutTest, OpensOwnedAndModalWithNameVersionStampIconAndAboutText) {
    writeAllTexts();
    ASSERT_NO_FATAL_FAILURE(start());
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(e2e::windowText(dialog), L"\u00dcber Pointex");
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.mainWindow());
    EXPECT_FALSE(IsWindowEnabled(app.mainWindow())) << "the main window takes no input meanwhile";

    // Name and version, an empty line, the build date as "Sep  4 2009" and the time.
    const std::wstring title = e2e::windowText(GetDlgItem(dialog, titleArea));
    const std::wregex stamp(L"Pointex 1\\.50\r\n\r\n"
                            L"(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                            L"( [1-9]|[12][0-9]|3[01]) [0-9]{4}\r\n"
                            L"([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]");
    EXPECT_TRUE(std::regex_match(title, stamp)) << testing::PrintToString(title);

    EXPECT_EQ(shownText(dialog), latin1("Pointex zeigt Witze.\r\nViel Spa\xdf!"));
    DWORD_PTR icon = 0;
    EXPECT_TRUE(SendMessageTimeoutW(GetDlgItem(dialog, iconArea), STM_GETICON, 0, 0,
                                    SMTO_ABORTIFHUNG, e2e::scaled(e2e::queryTimeout), &icon));
    EXPECT_NE(icon, 0u) << "the program icon is shown";
    ASSERT_TRUE(closeWithOk(dialog));
}

TEST_F(AboutTest, EachButtonReadsItsFileAfresh) {
    writeAllTexts();
    ASSERT_NO_FATAL_FAILURE(start());
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);

    ASSERT_TRUE(press(dialog, versionButton));
    EXPECT_EQ(shownText(dialog), L"Version 1.50\r\n- Suche in allen Kategorien");
    writeTextFile(L"version", "Version 1.51");
    ASSERT_TRUE(press(dialog, versionButton));
    EXPECT_EQ(shownText(dialog), L"Version 1.51") << "a second press reads the file again";

    ASSERT_TRUE(press(dialog, lizenzButton));
    EXPECT_EQ(shownText(dialog), latin1("Freeware.\r\nKeine Gew\xe4hr."));

    // Line ends: LF and 0x0F become CR LF, CR LF is not doubled, a lone CR stays; 0x11 and 0x12
    // mean nothing here; 0x1A ends the text as it ends any file read as text.
    writeTextFile(L"about", "eins\nzwei\r\ndrei\x0fvier\x11"
                            "f\xfcnf\x12sechs\rsieben\n\x1a"
                            "danach");
    ASSERT_TRUE(press(dialog, aboutButton));
    EXPECT_EQ(shownText(dialog), latin1("eins\r\nzwei\r\ndrei\r\nvier\x11"
                                        "f\xfcnf\x12sechs\rsieben\r\n"));
    ASSERT_TRUE(closeWithOk(dialog));
    // The files as the test left them: the program must not have touched them.
    recordFolder();
}

TEST_F(AboutTest, MissingEmptyAndLockedFilesShowTheirTextWithoutBox) {
    ASSERT_NO_FATAL_FAILURE(start());
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(shownText(dialog), notFound(L"about"));
    ASSERT_TRUE(press(dialog, versionButton));
    EXPECT_EQ(shownText(dialog), notFound(L"version"));
    ASSERT_TRUE(press(dialog, lizenzButton));
    EXPECT_EQ(shownText(dialog), notFound(L"lizenz"));
    ASSERT_TRUE(press(dialog, aboutButton));
    EXPECT_EQ(shownText(dialog), notFound(L"about"));

    writeTextFile(L"version", "");
    ASSERT_TRUE(press(dialog, versionButton));
    EXPECT_EQ(shownText(dialog), L"") << "an empty file shows an empty text";

    // Another process holding the file without sharing makes it unopenable.
    writeTextFile(L"lizenz", "Freeware");
    HANDLE locked = CreateFileW((root + L"\\lizenz").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(press(dialog, lizenzButton));
    CloseHandle(locked);
    EXPECT_EQ(shownText(dialog), notFound(L"lizenz"));

    EXPECT_EQ(app.messageBoxes().size(), 1u) << "no message box besides the dialog";
    ASSERT_TRUE(closeWithOk(dialog));
    recordFolder();
}

TEST_F(AboutTest, EscapeKeepsItOpenOkAndCloseBoxEndItLeavingTheMainWindowAsItWas) {
    writeSampleFolder();
    writeAllTexts();
    ASSERT_NO_FATAL_FAILURE(start());
    // A category and a joke, so that there is something to leave unchanged.
    ASSERT_TRUE(app.chooseCategory(categoryNumber(tiere) - 1));
    ASSERT_TRUE(app.click(308));
    ASSERT_TRUE(app.click(308));
    const MainWindowState before = mainState();
    ASSERT_EQ(before.text, sampleJokes(tiere)[1]);

    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    // The focus starts on OK; Escape there, and on a button pressed since, comes as IDCANCEL.
    ASSERT_EQ(focusedWindow(dialog), GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(pressEscape(focusedWindow(dialog)));
    ASSERT_TRUE(press(dialog, versionButton));
    EXPECT_EQ(focusedWindow(dialog), GetDlgItem(dialog, versionButton));
    ASSERT_TRUE(pressEscape(GetDlgItem(dialog, versionButton)));
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "Escape must not close it";
    EXPECT_EQ(shownText(dialog), L"Version 1.50\r\n- Suche in allen Kategorien");
    EXPECT_FALSE(IsWindowEnabled(app.mainWindow()));

    ASSERT_TRUE(closeWithOk(dialog));
    EXPECT_TRUE(IsWindowEnabled(app.mainWindow()));
    EXPECT_EQ(mainState(), before);

    // Each opening starts with the "about" text again; the close box ends it too.
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(shownText(dialog), latin1("Pointex zeigt Witze.\r\nViel Spa\xdf!"));
    ASSERT_TRUE(PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0));
    ASSERT_TRUE(waitUntilClosed(dialog));
    EXPECT_TRUE(IsWindowEnabled(app.mainWindow()));
    EXPECT_EQ(mainState(), before);
    EXPECT_TRUE(app.messageBoxes().empty());

    // The main window works as before.
    ASSERT_TRUE(app.click(308));
    EXPECT_EQ(app.jokeText(), sampleJokes(tiere)[2]);
}

TEST_F(AboutTest, OpeningItManyTimesDoesNotLeak) {
    writeAllTexts();
    ASSERT_NO_FATAL_FAILURE(start());
    const auto openAndClose = [&](int times) {
        for (int i = 0; i < times; ++i) {
            HWND dialog = open();
            ASSERT_NE(dialog, nullptr) << "opening " << i + 1;
            ASSERT_TRUE(closeWithOk(dialog)) << "opening " << i + 1;
        }
    };
    // The first openings load the dialog's code and fonts; the heap settles after them.
    ASSERT_NO_FATAL_FAILURE(openAndClose(20));
    const SIZE_T settled = app.privateBytes();
    ASSERT_NO_FATAL_FAILURE(openAndClose(200));
    const SIZE_T after = app.privateBytes();
    // A 64 x 64 icon holds a 16 KB colour bitmap and its mask; one leaked per opening would add
    // well over 3 MB here.
    EXPECT_LT(after, settled + 1024 * 1024)
        << "memory grew from " << settled << " to " << after << " bytes over 200 openings";
    std::cout << "[ memory  ] " << settled << " bytes after 20 openings, " << after
              << " after 200 more\n";
}

} // namespace
