// The memory file system of the fuzz targets reads and lists as the system does.
#include "fixture.h"

#include "joke_library.h"
#include "joke_reader.h"
#include "memory_files.h"

namespace {

// A whole file through the seam, with the read sizes taken in turn.
std::string readThroughSeam(const std::wstring& path, const std::vector<std::size_t>& sizes) {
    std::unique_ptr<platform::TextFile> file(platform::openTextFile(path));
    if (!file) {
        return "(not opened)";
    }
    std::string text;
    std::vector<unsigned char> buffer(128 * 1024);
    for (std::size_t i = 0;; ++i) {
        std::size_t count = file->read(buffer.data(), sizes[i % sizes.size()]);
        if (count == 0) {
            return text;
        }
        text.append(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
    }
}

using MemoryFilesTest = JokeFolderTest;

TEST_F(MemoryFilesTest, ReadsTheSameBytesAsTheSystem) {
    const std::string block(128 * 1024 - 1, 'x');
    const std::string cases[] = {
        "",
        "a\r\nb\rc\r",
        "\r\r\n\r\r\r\n\n",
        "a\r\x1a\r\nhidden",
        "\x1a",
        "\x80\xe4\xff\x11\x12\r\n\x0f",
        block + "\r\nz",
        block + "\r\r\n",
        block + "\r\x1a",
        block + "\rz",
    };
    const std::vector<std::size_t> readSizes[] = {{1}, {1, 2}, {3, 1, 7}, {4096}, {128 * 1024}};
    const std::wstring memoryPath = std::wstring(L"M") + platform::pathSeparator + L"j";
    for (const std::string& bytes : cases) {
        writeFile(L"j", bytes);
        std::vector<std::string> fromSystem;
        for (const std::vector<std::size_t>& sizes : readSizes) {
            fromSystem.push_back(readThroughSeam(jokePath(L"j").wstring(), sizes));
        }
        MemoryFileSystem memory(L"M");
        memory.writeFile(memoryPath, bytes);
        for (std::size_t k = 0; k < std::size(readSizes); ++k) {
            EXPECT_EQ(readThroughSeam(memoryPath, readSizes[k]), fromSystem[k])
                << "bytes: " << visible(std::wstring(bytes.begin(), bytes.end()).substr(0, 200))
                << ", first read size " << readSizes[k][0];
        }
    }
}

TEST_F(MemoryFilesTest, ServesTheLibraryWhileItLives) {
    writeFile(L"real", "on disk");
    {
        MemoryFileSystem memory(L"M");
        const std::wstring folder =
            std::wstring(L"M") + platform::pathSeparator + L"Witze" + platform::pathSeparator;
        memory.writeFile(folder + L"b", "1\n2\r\n3");
        memory.writeFile(folder + L"a", "x\x12y");
        memory.writeFile(folder + L"sub" + platform::pathSeparator + L"deep", "not listed");
        memory.writeFile(std::wstring(L"M") + platform::pathSeparator + L"about", "not listed");
        JokeLibrary library;
        EXPECT_EQ(library.getCategoryFiles(), (std::vector<std::wstring>{L"b", L"a"}));
        EXPECT_EQ(library.getJokeCounts(), (std::vector<std::uint32_t>{3, 1}));
        library.selectCategory(2);
        EXPECT_EQ(library.getJokeText(1), L"x");
        EXPECT_EQ(library.getSolution(), L"y");
        JokeFile open(folder + L"a");
        EXPECT_EQ(MemoryFileSystem::openFiles(), 1u);
        memory.writeFile(folder + L"a", "");
        std::wstring part;
        open.readPart(part);
        EXPECT_EQ(part, L"x") << "an open file keeps its bytes";
    }
    EXPECT_EQ(MemoryFileSystem::openFiles(), 0u);
    JokeLibrary library;
    EXPECT_EQ(library.getCategoryFiles(), std::vector<std::wstring>{L"real"});
}

} // namespace
