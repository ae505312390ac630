// The end-to-end fixture: temporary working directories, the sample folder, the no-write check.
#include "fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

const std::wstring tiere = L"Tiere";
const std::wstring zahlen = L"Zahlen";
const std::wstring leer = L"Leer";
const std::wstring buero = L"B\u00fcro (alt).txt";

std::wstring latin1(const std::string& bytes) {
    std::wstring text;
    for (char c : bytes) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return text;
}

void PointexTest::SetUp() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"pointex-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    ASSERT_TRUE(fs::create_directories(fs::path(root) / L"Witze"));
}

void PointexTest::TearDown() {
    app.end();
    if (hasRecord) {
        EXPECT_EQ(readFolder(), recorded) << "the working directory changed during the run";
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::wstring PointexTest::jokePath(const std::wstring& name) const {
    return root + L"\\Witze\\" + name;
}

void PointexTest::writeJokeFile(const std::wstring& name, const std::string& bytes) {
    std::ofstream out(fs::path(jokePath(name)), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "could not write " << testing::PrintToString(name);
}

std::map<std::wstring, std::string> PointexTest::readFolder() const {
    std::map<std::wstring, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::wstring relative = fs::relative(entry.path(), root).wstring();
        if (entry.is_directory()) {
            contents[relative + L"\\"] = "";
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        EXPECT_TRUE(in.good()) << "cannot read " << testing::PrintToString(relative);
        contents[relative] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return contents;
}

void PointexTest::recordFolder() {
    recorded = readFolder();
    hasRecord = true;
}

void PointexTest::start() {
    if (!hasRecord) {
        recordFolder();
    }
    ASSERT_TRUE(app.launch(root));
    ASSERT_TRUE(app.waitForMainWindow()) << "no main window with its controls appeared";
}

std::vector<std::wstring> PointexTest::listedNames() const {
    return jokeFileNames(root);
}

std::vector<std::wstring> jokeFileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\Witze\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

int PointexTest::categoryNumber(const std::wstring& name) const {
    const auto names = listedNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<int>(i) + 1;
        }
    }
    ADD_FAILURE() << "no category " << testing::PrintToString(name);
    return 0;
}

void PointexTest::writeSampleFolder() {
    // Solutions after 0x12, a line break as 0x11, CR LF line ends, no LF after the last joke.
    writeJokeFile(tiere, "Was ist gr\xfcn und h\xfcpft?\x12"
                         "Ein Frosch.\x12"
                         "Ein gr\xfcner Frosch.\r\n"
                         "Treffen sich zwei J\xe4ger.\x11"
                         "Beide tot.\r\n"
                         "Der B\xe4r geht in die Bar.\x12"
                         "Er bestellt Honig.\r\n"
                         "Kuh auf dem Eis");
    std::string numbered;
    for (int i = 1; i <= 12; ++i) {
        numbered += "Witz " + std::to_string(i) + (i < 12 ? "\r\n" : "");
    }
    writeJokeFile(zahlen, numbered);
    // An empty file holds one empty joke.
    writeJokeFile(leer, "");
    // LF line ends, and a name with an umlaut, blanks, parentheses and an extension.
    writeJokeFile(buero, "Chef: Wer hat das Fenster offen gelassen?\x11"
                         "Azubi: Ich, es war zu warm.\n"
                         "Der Drucker druckt nicht.\x12"
                         "Papier fehlt.");
}

std::vector<std::wstring> sampleJokes(const std::wstring& category) {
    if (category == tiere) {
        return {latin1("Was ist gr\xfcn und h\xfcpft?"),
                L"Treffen sich zwei J\u00e4ger.\r\nBeide tot.",
                latin1("Der B\xe4r geht in die Bar."), L"Kuh auf dem Eis"};
    }
    if (category == zahlen) {
        std::vector<std::wstring> jokes;
        for (int i = 1; i <= 12; ++i) {
            jokes.push_back(L"Witz " + std::to_wstring(i));
        }
        return jokes;
    }
    if (category == leer) {
        return {L""};
    }
    return {L"Chef: Wer hat das Fenster offen gelassen?\r\nAzubi: Ich, es war zu warm.",
            L"Der Drucker druckt nicht."};
}
