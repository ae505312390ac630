// JokeLibrary: the joke folder's categories and counts, the reader's place, and the last search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class JokeLibrary {
  public:
    // Lists the folder "Witze" below the working directory and counts every file's jokes.
    JokeLibrary();
    // The same for the folder "Witze" below the given directory (none when it is empty).
    explicit JokeLibrary(const std::wstring& directory);

    std::uint32_t getCategoryCount() const { return loaded ? categoryCount : 0; }
    const std::vector<std::wstring>& getCategoryFiles() const { return categoryFiles; }
    const std::vector<std::uint32_t>& getJokeCounts() const { return jokeCounts; }
    std::uint32_t getCurrentCategory() const { return currentCategory; }
    std::uint32_t getCurrentJoke() const { return currentJoke; }
    bool getHasSolution() const { return hasSolution; }
    std::uint32_t getHitCount() const { return hitCount; }
    const std::vector<std::uint32_t>& getHitCategories() const { return hitCategories; }
    const std::vector<std::uint32_t>& getHitJokes() const { return hitJokes; }

    // Navigation and retrieval; 0 (or a number out of range) asks for a random choice.
    std::uint32_t selectCategory(std::uint32_t n);
    std::uint32_t getJokeCount(std::uint32_t n) const;
    void previousJoke();
    void nextJoke();
    std::wstring getJokeText(std::uint32_t n);
    std::wstring getSolution();

    // Reads the given jokes of category n, numbers ascending, in one pass over its file and
    // hands each one's parts to visit as stored, 0x11 kept; a number past the end reads as one
    // empty part. The navigation state stays as it is. False when n or the file is not there.
    using JokeVisitor =
        std::function<void(std::uint32_t joke, const std::vector<std::wstring>& parts)>;
    bool readJokes(std::uint32_t n, const std::vector<std::uint32_t>& jokes,
                   const JokeVisitor& visit) const;

    // Display texts.
    std::wstring getCategoryName(std::uint32_t n) const;
    std::wstring getStatusText() const;
    std::wstring getInfoText();
    std::wstring getSearchText() const { return searchText; }

    // Records every joke containing text; shows its own warnings. Returns the hit count.
    std::uint32_t search(const std::wstring& text, bool allCategories, bool caseSensitive);

    // The same search, which also hands each hit's line (bytes as stored, without its LF) to
    // visit while the line is still in memory, in the order of the hits. A line longer than
    // the search keeps comes as null and size 0: the caller reads it with readJokes.
    using HitLineVisitor = std::function<void(std::uint32_t category, std::uint32_t joke,
                                              const unsigned char* line, std::size_t size)>;
    std::uint32_t search(const std::wstring& text, bool allCategories, bool caseSensitive,
                         const HitLineVisitor& visit);

  private:
    void listFiles(const std::wstring& pattern);
    void countJokes();
    std::wstring categoryPath(std::uint32_t n) const;

    bool loaded = false;
    std::vector<std::wstring> categoryFiles;
    std::vector<std::uint32_t> jokeCounts;
    std::uint32_t currentCategory = 0;
    std::uint32_t currentJoke = 0;
    bool hasSolution = false;
    std::uint32_t partsShown = 1;
    std::uint32_t hitCount = 0;
    std::vector<std::uint32_t> hitCategories;
    std::vector<std::uint32_t> hitJokes;
    std::wstring searchText;

  public:
    // Read directly by the main window for its totals; written only while constructing.
    std::uint32_t totalJokes = 0;
    std::uint32_t categoryCount = 0;

  private:
    std::wstring folderPath;
};

// A number from 1 to m from one value r of the runtime's generator: floor(r * m / 32768) + 1.
std::uint32_t randomDraw(std::uint32_t m);
