// The witz tests' fixture: witz's output recorded in place of the console.
#include "witz_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "system.h"
#include "witz.h"

namespace {
std::wstring* recordedOut;
std::wstring* recordedErr;

void record(host::Stream stream, const std::wstring& text) {
    *(stream == host::Stream::out ? recordedOut : recordedErr) += text;
}
} // namespace

int WitzTest::witz(std::vector<std::wstring> args) {
    args.insert(args.begin(), {L"-C", root.wstring()});
    out.clear();
    err.clear();
    recordedOut = &out;
    recordedErr = &err;
    host::WriteFunction previous = host::write;
    host::write = record;
    int status = runWitz(args);
    host::write = previous;
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
