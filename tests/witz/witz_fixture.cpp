// The witz tests' fixture: witz's output recorded in place of the console.
#include "witz_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "library/utf8.h"
#include "system.h"
#include "witz.h"

namespace {
std::wstring* recordedOut;
std::wstring* recordedErr;

void record(host::Stream stream, const std::wstring& text) {
    *(stream == host::Stream::out ? recordedOut : recordedErr) += text;
}

void recordUtf8(host::Stream stream, const std::string& text) {
    std::wstring decoded;
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        char32_t value = 0;
        std::size_t length = decodeUtf8(data + i, text.size() - i, value);
        decoded += length ? static_cast<wchar_t>(value) : L'\uFFFD';
        i += length ? length : 1;
    }
    record(stream, decoded);
}
} // namespace

int WitzTest::witz(std::vector<std::wstring> args, bool withFolder) {
    if (withFolder) {
        args.insert(args.begin(), {L"-C", root.wstring()});
    }
    out.clear();
    err.clear();
    recordedOut = &out;
    recordedErr = &err;
    host::WriteFunction previous = host::write;
    host::WriteUtf8Function previousUtf8 = host::writeUtf8;
    host::write = record;
    host::writeUtf8 = recordUtf8;
    int status = runWitz(args);
    host::write = previous;
    host::writeUtf8 = previousUtf8;
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
