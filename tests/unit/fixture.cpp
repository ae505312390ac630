// The shared working-directory fixture of the core tests.
#include "fixture.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "platform.h"

namespace {
std::vector<RecordedBox> recorded;

int recordBox(const std::wstring& text, const std::wstring& caption, unsigned flags) {
    recorded.push_back({text, caption, flags});
    return 1;
}
} // namespace

std::vector<RecordedBox>& JokeFolderTest::boxes() {
    return recorded;
}

void JokeFolderTest::SetUp() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root = std::filesystem::temp_directory_path() /
           ("pointex-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(root / "Witze");
    previousDirectory = std::filesystem::current_path();
    std::filesystem::current_path(root);
    recorded.clear();
    platform::messageBox = recordBox;
}

void JokeFolderTest::TearDown() {
    std::filesystem::current_path(previousDirectory);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::filesystem::path pathOf(const std::wstring& name) {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::filesystem::path(name);
    } else {
        // Names on POSIX systems are UTF-8, whatever the test's locale says.
        std::string bytes;
        for (wchar_t c : name) {
            auto value = static_cast<std::uint32_t>(c);
            if (value < 0x80) {
                bytes += static_cast<char>(value);
            } else if (value < 0x800) {
                bytes += static_cast<char>(0xC0 | (value >> 6));
                bytes += static_cast<char>(0x80 | (value & 0x3F));
            } else {
                bytes += static_cast<char>(0xE0 | (value >> 12));
                bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (value & 0x3F));
            }
        }
        return std::filesystem::path(bytes);
    }
}

std::filesystem::path JokeFolderTest::jokePath(const std::wstring& name) const {
    return root / "Witze" / pathOf(name);
}

void JokeFolderTest::writeFile(const std::wstring& name, const std::string& bytes, bool inFolder) {
    std::ofstream out(inFolder ? jokePath(name) : root / pathOf(name),
                      std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good());
}

std::string visible(const std::wstring& text) {
    std::string shown;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "<%02X>", static_cast<unsigned>(c));
            shown += code;
        }
    }
    return shown;
}
