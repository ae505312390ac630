// Reads the resources back out of a built Pointex.exe: version, About dialog template, icons,
// manifest, and the executable's kind. The file is the shipped 32-bit program where
// POINTEX_SHIPPED_EXE names it, else this build's own (POINTEX_EXE), of this test's bitness.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"

namespace {

const char* shippedExe() {
    return std::getenv("POINTEX_SHIPPED_EXE");
}

std::wstring exePath() {
    const char* path = shippedExe() ? shippedExe() : std::getenv("POINTEX_EXE");
    return path ? std::wstring(path, path + std::strlen(path)) : std::wstring();
}

bool isX86() {
    return shippedExe() != nullptr || sizeof(void*) == 4;
}

class Resources : public ::testing::Test {
  protected:
    void SetUp() override {
        // As data, so that a 64-bit test can read the 32-bit program and the other way round.
        module = LoadLibraryExW(exePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot load POINTEX_EXE";
    }
    void TearDown() override { FreeLibrary(module); }

    std::vector<unsigned char> bytesOf(const wchar_t* type, int id) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) {
            return {};
        }
        auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        return std::vector<unsigned char>(data, data + SizeofResource(module, found));
    }
    HMODULE module = nullptr;
};

// A cursor over a dialog template's words.
struct TemplateReader {
    const std::vector<unsigned char>& bytes;
    std::size_t at = 0;
    std::uint16_t word() {
        std::uint16_t value;
        std::memcpy(&value, &bytes.at(at + 1) - 1, 2);
        at += 2;
        return value;
    }
    std::uint32_t dword() {
        std::uint32_t low = word();
        return low | (static_cast<std::uint32_t>(word()) << 16);
    }
    // A name or an ordinal: an ordinal reads as "#" followed by its number.
    std::wstring nameOrOrdinal() {
        std::uint16_t first = word();
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(word());
        }
        std::wstring text;
        for (std::uint16_t c = first; c != 0; c = word()) {
            text += static_cast<wchar_t>(c);
        }
        return text;
    }
    void alignToDword() { at = (at + 3) & ~std::size_t{3}; }
};

TEST_F(Resources, AboutDialogTemplateIsTheClassicFormAsDesigned) {
    std::vector<unsigned char> bytes = bytesOf(MAKEINTRESOURCEW(5), IDD_ABOUT);
    ASSERT_FALSE(bytes.empty());
    TemplateReader reader{bytes};
    EXPECT_EQ(reader.dword(), 0x90C808CCu); // style; an extended template would start 1, 0xFFFF
    EXPECT_EQ(reader.dword(), 0u);
    ASSERT_EQ(reader.word(), 7u);
    EXPECT_EQ(reader.word(), 0u);
    EXPECT_EQ(reader.word(), 0u);
    EXPECT_EQ(reader.word(), 300u);
    EXPECT_EQ(reader.word(), 200u);
    EXPECT_EQ(reader.nameOrOrdinal(), L""); // no menu
    EXPECT_EQ(reader.nameOrOrdinal(), L""); // the default dialog class
    EXPECT_EQ(reader.nameOrOrdinal(), L"\u00dcber Pointex");
    EXPECT_EQ(reader.word(), 8u);
    EXPECT_EQ(reader.nameOrOrdinal(), L"MS Sans Serif");

    struct Item {
        std::uint32_t style;
        int x, y, width, height, id;
        std::wstring className, text;
    };
    const Item expected[] = {
        {0x50010001, 231, 181, 64, 14, IDOK, L"#128", L"OK"},
        {0x50A10844, 5, 5, 221, 190, IDC_ABOUT_TEXT, L"#129", L""},
        {0x50000203, 231, 112, 64, 64, IDC_ABOUT_ICON, L"STATIC", L""},
        {0x50010000, 231, 43, 64, 18, IDC_SHOW_ABOUT, L"#128", L"\u00dcber"},
        {0x50010000, 231, 66, 64, 18, IDC_SHOW_VERSION, L"#128", L"Version"},
        {0x50010000, 231, 89, 64, 18, IDC_SHOW_LIZENZ, L"#128", L"Lizenz"},
        {0x50000001, 231, 5, 64, 33, IDC_ABOUT_TITLE, L"#130", L"Pointex"},
    };
    for (const Item& item : expected) {
        SCOPED_TRACE(item.id);
        reader.alignToDword();
        EXPECT_EQ(reader.dword(), item.style);
        EXPECT_EQ(reader.dword(), 0u);
        EXPECT_EQ(reader.word(), item.x);
        EXPECT_EQ(reader.word(), item.y);
        EXPECT_EQ(reader.word(), item.width);
        EXPECT_EQ(reader.word(), item.height);
        EXPECT_EQ(reader.word(), item.id);
        std::wstring className = reader.nameOrOrdinal();
        EXPECT_EQ(_wcsicmp(className.c_str(), item.className.c_str()), 0);
        EXPECT_EQ(reader.nameOrOrdinal(), item.text);
        EXPECT_EQ(reader.word(), 0u); // no creation data
    }
    EXPECT_GE(bytes.size(), reader.at);
}

TEST_F(Resources, VersionResourceCarriesTheProgramsProperties) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exePath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exePath().c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010005u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x00040004u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS | fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0407);
    EXPECT_EQ(translation[1], 0x04E4);

    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"Build", L"2009"},
        {L"Comments", L"Freeware"},
        {L"CompanyName", L"Pointex-Team"},
        {L"Developer", L"das Pointex-Team"},
        {L"FileDescription", L"Pointex - zum verwalten von Witzen"},
        {L"FileVersion", L"1, 5, 0, 0"},
        {L"InternalName", L"Pointex"},
        {L"LegalCopyright", L"Copyright \u00a9 2026 das Pointex-Team"},
        {L"LegalTrademarks", L"Keine Marke"},
        {L"OriginalFilename", L"Pointex.exe"},
        {L"PrivateBuild", L""},
        {L"ProductName", L"Pointex"},
        {L"ProductVersion", L"1, 5, 0, 0"},
        {L"SpecialBuild", L""},
        {L"Support", L"kein offizieller Support"},
        {L"Users", L"The World!"},
    };
    for (const auto& [key, value] : values) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904E4\\") + key;
        wchar_t* text = nullptr;
        length = 0;
        bool found =
            VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length);
        // An empty value may be reported as not found by some readers; its text is empty then.
        EXPECT_EQ(std::wstring(found && text ? text : L""), value) << "key " << key;
        EXPECT_TRUE(found || *value == L'\0');
    }
    // The resource itself is stored as German.
    EXPECT_NE(FindResourceExW(module, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), 0x0407), nullptr);
}

TEST_F(Resources, IconsHaveTheirSizes) {
    // A group icon directory: reserved, type, count, then 14-byte entries starting with width.
    auto sizesOf = [this](int id) {
        std::vector<unsigned char> group = bytesOf(MAKEINTRESOURCEW(14), id);
        std::vector<int> sizes;
        if (group.size() < 6) {
            return sizes;
        }
        int count = group[4] | (group[5] << 8);
        for (int i = 0; i < count && 6 + 14 * (i + 1) <= static_cast<int>(group.size()); ++i) {
            int width = group[6 + 14 * i];
            sizes.push_back(width == 0 ? 256 : width);
        }
        std::sort(sizes.begin(), sizes.end());
        return sizes;
    };
    EXPECT_EQ(sizesOf(IDI_APP), (std::vector<int>{16, 32, 64, 128}));
    for (int id = IDI_PREVIOUS; id <= IDI_SOLVE; ++id) {
        EXPECT_EQ(sizesOf(id), std::vector<int>{16}) << "icon " << id;
    }
}

// The twin's manifest is the shipped one with its own processor in both places, so that both
// builds run the same version of the common controls.
TEST_F(Resources, ManifestAsksForCommonControlsSixForItsProcessor) {
    std::vector<unsigned char> bytes = bytesOf(MAKEINTRESOURCEW(24), 1);
    std::string manifest(bytes.begin(), bytes.end());
    const std::string own = isX86() ? "x86" : "amd64";
    const std::string dependency = isX86() ? "X86" : "amd64";
    EXPECT_NE(manifest.find("version=\"0.64.1.0\" processorArchitecture=\"" + own + "\""),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("xmlns=\"urn:schemas-microsoft-com:asm.v1\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\" processorArchitecture=\"" + dependency + "\""),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
    EXPECT_NE(manifest.find("language=\"*\""), std::string::npos);
}

TEST_F(Resources, IsAGuiProgramForItsProcessor) {
    auto* base = reinterpret_cast<const unsigned char*>(reinterpret_cast<std::uintptr_t>(module) &
                                                        ~std::uintptr_t{3});
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    if (isX86()) {
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
        EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
        EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
        EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    } else {
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
        EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
        EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
        EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    }
}

} // namespace
