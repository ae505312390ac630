// Reads the resources back out of the built Pointex.exe and witz.exe: version, icons, manifest
// and the executable's kind of both, and Pointex's About dialog template. The files are the
// shipped 32-bit programs where POINTEX_SHIPPED_EXE and WITZ_SHIPPED_EXE name them, else this
// build's own (POINTEX_EXE, WITZ_EXE), of this test's bitness.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"

namespace {

using Values = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

// What differs between the two programs. In a manifest's expected texts, "@own@" stands for the
// program's processor as its own identity names it, "@dependency@" as a dependency names it.
struct Program {
    const char* name;
    const char* variable;        // this build's file
    const char* shippedVariable; // the shipped 32-bit file
    WORD subsystem;
    Values values; // the version resource's texts besides those both programs share
    std::vector<std::string> inManifest;
    std::vector<std::string> notInManifest;
};

// The twin's manifest is the shipped one with its own processor in both places, so that both
// builds run the same version of the common controls.
const Program pointex{
    "Pointex",
    "POINTEX_EXE",
    "POINTEX_SHIPPED_EXE",
    IMAGE_SUBSYSTEM_WINDOWS_GUI,
    {
        {L"Build", L"2009"},
        {L"Comments", L"Freeware"},
        {L"Developer", L"das Pointex-Team"},
        {L"FileDescription", L"Pointex - zum verwalten von Witzen"},
        {L"InternalName", L"Pointex"},
        {L"LegalTrademarks", L"Keine Marke"},
        {L"OriginalFilename", L"Pointex.exe"},
        {L"PrivateBuild", L""},
        {L"SpecialBuild", L""},
        {L"Support", L"kein offizieller Support"},
        {L"Users", L"The World!"},
    },
    {
        "version=\"0.64.1.0\" processorArchitecture=\"@own@\"",
        "name=\"Controls\"",
        "name=\"Microsoft.Windows.Common-Controls\"",
        "version=\"6.0.0.0\" processorArchitecture=\"@dependency@\"",
        "publicKeyToken=\"6595b64144ccf1df\"",
        "language=\"*\"",
    },
    {},
};

// A console program: no common controls; it runs as its caller, and it names every Windows from
// Vista on, so that no write of it below "Program Files" is redirected elsewhere.
const Program witz{
    "witz",
    "WITZ_EXE",
    "WITZ_SHIPPED_EXE",
    IMAGE_SUBSYSTEM_WINDOWS_CUI,
    {
        {L"FileDescription", L"witz - Pointex' Witze in der Eingabeaufforderung"},
        {L"InternalName", L"witz"},
        {L"OriginalFilename", L"witz.exe"},
    },
    {
        "<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">",
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
    },
    {"Common-Controls", "<dependency"},
};

bool shipped() {
    return std::getenv("POINTEX_SHIPPED_EXE") != nullptr;
}

bool isX86() {
    return shipped() || sizeof(void*) == 4;
}

std::wstring exePath(const Program& program) {
    const char* path = std::getenv(shipped() ? program.shippedVariable : program.variable);
    return path ? std::wstring(path, path + std::strlen(path)) : std::wstring();
}

// An executable loaded as data, so that a 64-bit test can read the 32-bit program and the other
// way round.
class ResourceFile {
  public:
    explicit ResourceFile(const Program& program) : path(exePath(program)) {
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ResourceFile() {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    std::vector<unsigned char> bytesOf(const wchar_t* type, int id) const {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) {
            return {};
        }
        auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        return std::vector<unsigned char>(data, data + SizeofResource(module, found));
    }
    // The image sizes of a group icon: a directory of reserved, type, count, then 14-byte entries
    // starting with the width.
    std::vector<int> iconSizes(int id) const {
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
    }

    const std::wstring path;
    HMODULE module = nullptr;
};

// Pointex's own resources.
class Resources : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(file.module, nullptr) << "cannot load POINTEX_EXE"; }
    std::vector<unsigned char> bytesOf(const wchar_t* type, int id) {
        return file.bytesOf(type, id);
    }
    ResourceFile file{pointex};
};

// What both programs have, each its own way.
class ProgramResources : public ::testing::TestWithParam<const Program*> {
  protected:
    void SetUp() override { ASSERT_NE(file.module, nullptr) << "cannot load " << program.variable; }
    const Program& program = *GetParam();
    ResourceFile file{program};
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

TEST_P(ProgramResources, VersionResourceCarriesTheProgramsProperties) {
    const std::wstring& exe = file.path;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));

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

    // Both programs share the version numbers and the maker.
    Values values = {
        {L"CompanyName", L"Pointex-Team"},
        {L"FileVersion", L"1, 5, 0, 0"},
        {L"LegalCopyright", L"Copyright \u00a9 2026 das Pointex-Team"},
        {L"ProductName", L"Pointex"},
        {L"ProductVersion", L"1, 5, 0, 0"},
    };
    values.insert(values.end(), program.values.begin(), program.values.end());
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
    EXPECT_NE(FindResourceExW(file.module, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), 0x0407),
              nullptr);
}

TEST_F(Resources, ToolbarIconsHaveTheirSize) {
    for (int id = IDI_PREVIOUS; id <= IDI_SOLVE; ++id) {
        EXPECT_EQ(file.iconSizes(id), std::vector<int>{16}) << "icon " << id;
    }
}

TEST_P(ProgramResources, ProgramIconHasItsSizes) {
    EXPECT_EQ(file.iconSizes(IDI_APP), (std::vector<int>{16, 32, 64, 128}));
}

TEST_P(ProgramResources, ManifestAsksForWhatTheProgramNeeds) {
    std::vector<unsigned char> bytes = file.bytesOf(MAKEINTRESOURCEW(24), 1);
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
                            "manifestVersion=\"1.0\">"),
              std::string::npos)
        << manifest;
    for (std::string text : program.inManifest) {
        const std::pair<std::string, std::string> processors[] = {
            {"@own@", isX86() ? "x86" : "amd64"}, {"@dependency@", isX86() ? "X86" : "amd64"}};
        for (const auto& [name, value] : processors) {
            if (std::size_t at = text.find(name); at != std::string::npos) {
                text.replace(at, name.size(), value);
            }
        }
        EXPECT_NE(manifest.find(text), std::string::npos) << text << " in\n" << manifest;
    }
    for (const std::string& text : program.notInManifest) {
        EXPECT_EQ(manifest.find(text), std::string::npos) << text << " in\n" << manifest;
    }
    // A 64-bit program whose manifest names another processor does not start.
    if (!isX86()) {
        EXPECT_EQ(manifest.find("rchitecture=\"x86\""), std::string::npos) << manifest;
        EXPECT_EQ(manifest.find("rchitecture=\"X86\""), std::string::npos) << manifest;
    }
}

TEST_P(ProgramResources, IsAProgramOfItsKindForItsProcessor) {
    auto* base = reinterpret_cast<const unsigned char*>(
        reinterpret_cast<std::uintptr_t>(file.module) & ~std::uintptr_t{3});
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    if (isX86()) {
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
        EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
        EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
        EXPECT_EQ(nt->OptionalHeader.Subsystem, program.subsystem);
    } else {
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
        EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
        EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
        EXPECT_EQ(nt->OptionalHeader.Subsystem, program.subsystem);
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramResources, ::testing::Values(&pointex, &witz),
                         [](const ::testing::TestParamInfo<const Program*>& info) {
                             return std::string(info.param->name);
                         });

} // namespace
