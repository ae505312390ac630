// The witz tests' fixture: witz's output recorded in place of the console.
#include "witz_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "library/utf8.h"
#include "console.h"
#include "witz.h"

namespace {
std::wstring* recordedOut;
std::wstring* recordedErr;

std::size_t noColumns(host::Stream) {
    return 0;
}

bool holdsAll(host::Stream, char32_t) {
    return true;
}

void record(host::Stream stream, const std::string& text) {
    *(stream == host::Stream::out ? recordedOut : recordedErr) += decoded(text);
}

std::filesystem::path standInOwn;
std::filesystem::path standInInstalled;

std::vector<host::Collection> standInCollections() {
    return {{standInOwn.wstring(), false}, {standInInstalled.wstring(), true}};
}
} // namespace

const host::Terminal recordingTerminal = {noColumns, holdsAll, record};

std::wstring decoded(const std::string& utf8) {
    std::wstring text;
    const auto* data = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t value = 0;
        std::size_t length = decodeUtf8(data + i, utf8.size() - i, value);
        text += length ? static_cast<wchar_t>(value) : L'\uFFFD';
        i += length ? length : 1;
    }
    return text;
}

int WitzTest::witz(std::vector<std::wstring> args, bool withFolder) {
    if (withFolder) {
        args.insert(args.begin(), {L"-C", root.wstring()});
    }
    out.clear();
    err.clear();
    recordedOut = &out;
    recordedErr = &err;
    const host::Terminal previous = host::terminal;
    host::terminal = terminal;
    int status = runWitz(args);
    host::flush();
    host::terminal = previous;
    return status;
}

std::optional<std::string> WitzTest::fileBytes(const std::filesystem::path& path) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> WitzTest::namesIn(const std::filesystem::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void CollectionsTest::SetUp() {
    WitzTest::SetUp();
    own = root / ownBelowRoot;
    standInOwn = own;
    standInInstalled = root / "mitgeliefert";
    previous = host::fallbackCollections;
    host::fallbackCollections = standInCollections;
}

void CollectionsTest::TearDown() {
    host::fallbackCollections = previous;
    WitzTest::TearDown();
}
