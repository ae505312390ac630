// JokeLibrary: discovery and counting, navigation, retrieval and display texts.
#include "joke_library.h"

#include "joke_reader.h"
#include "platform.h"

std::uint32_t randomDraw(std::uint32_t m) {
    std::uint64_t r = static_cast<std::uint32_t>(platform::randomValue()) & 0x7FFF;
    return static_cast<std::uint32_t>(r * m / 32768) + 1;
}

JokeLibrary::JokeLibrary() : JokeLibrary(platform::currentDirectory()) {}

JokeLibrary::JokeLibrary(const std::wstring& directory) {
    categoryFiles.reserve(100);
    jokeCounts.reserve(100);
    folderPath = directory + platform::pathSeparator + L"Witze" + platform::pathSeparator;
    // Without a working directory there is no joke folder; "\Witze" would be another folder.
    if (!directory.empty()) {
        listFiles(folderPath + L"*");
    }
    countJokes();
    hitCategories.reserve(50);
    hitJokes.reserve(50);
    hitCategories.push_back(0);
    hitJokes.push_back(0);
    searchText = L"...";
}

void JokeLibrary::listFiles(const std::wstring& pattern) {
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(pattern, entries);
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isDirectory || entry.name == L"." || entry.name == L"..") {
            continue;
        }
        categoryFiles.push_back(entry.name);
        ++categoryCount;
    }
}

void JokeLibrary::countJokes() {
    if (categoryFiles.empty()) {
        loaded = false;
        return;
    }
    for (const std::wstring& name : categoryFiles) {
        JokeFile file(folderPath + name);
        if (!file.isOpen()) {
            platform::messageBox(L"Eine Datei konnte nicht ge\u00f6ffnet werden", L"Error", 0x10);
            loaded = false;
            return;
        }
        std::uint32_t count = file.countLineEnds() + 1;
        totalJokes += count;
        jokeCounts.push_back(count);
    }
    loaded = true;
}

std::wstring JokeLibrary::categoryPath(std::uint32_t n) const {
    return folderPath + categoryFiles[n - 1];
}

std::uint32_t JokeLibrary::selectCategory(std::uint32_t n) {
    if (n != 0 && n <= getCategoryCount()) {
        currentCategory = n;
    } else {
        std::uint32_t m = getCategoryCount();
        if (m == 0) {
            return 0;
        }
        currentCategory = randomDraw(m);
    }
    currentJoke = 0;
    return currentCategory;
}

std::uint32_t JokeLibrary::getJokeCount(std::uint32_t n) const {
    if (!loaded) {
        return 0;
    }
    if (n == 0 || n > getCategoryCount()) {
        n = currentCategory;
        if (n == 0) {
            return 0;
        }
    }
    return jokeCounts[n - 1];
}

void JokeLibrary::previousJoke() {
    if (currentJoke > 1) {
        --currentJoke;
    } else {
        currentJoke = getJokeCount(0);
    }
}

void JokeLibrary::nextJoke() {
    ++currentJoke;
    if (currentJoke > getJokeCount(0)) {
        currentJoke = 1;
    }
}

std::wstring JokeLibrary::getJokeText(std::uint32_t n) {
    if (currentCategory == 0 || getJokeCount(0) == 0 || getCategoryCount() == 0) {
        hasSolution = false;
        return getInfoText();
    }
    std::uint32_t m = getJokeCount(0);
    if (n == 0 || n > m) {
        n = randomDraw(m);
    }
    JokeFile file(categoryPath(currentCategory));
    if (!file.isOpen()) {
        hasSolution = false;
        return L"Es ist ein Fehler beim \u00f6ffnen einer Datei aufgetreten!";
    }
    file.skipToLine(n);
    std::wstring text;
    if (file.readPart(text) == JokeFile::PartEnd::separator) {
        partsShown = 1;
        hasSolution = true;
    } else {
        hasSolution = false;
    }
    currentJoke = n;
    return expandLineBreaks(text);
}

std::wstring JokeLibrary::getSolution() {
    if (!hasSolution) {
        return L"Keine L\u00f6sung vorhanden!";
    }
    JokeFile file(categoryPath(currentCategory));
    if (!file.isOpen()) {
        return L"Es ist ein Fehler beim \u00f6ffnen der Datei aufgetreten!";
    }
    file.skipToLine(currentJoke);
    for (std::uint32_t i = 0; i < partsShown; ++i) {
        file.skipPart();
    }
    std::wstring text;
    if (file.readPart(text) == JokeFile::PartEnd::separator) {
        ++partsShown;
    } else {
        hasSolution = false;
    }
    return expandLineBreaks(text);
}

bool JokeLibrary::readJokes(std::uint32_t n, const std::vector<std::uint32_t>& jokes,
                            const JokeVisitor& visit) const {
    if (n == 0 || n > getCategoryCount()) {
        return false;
    }
    JokeFile file(categoryPath(n));
    if (!file.isOpen()) {
        return false;
    }
    // The line the file stands at; past the end every skip and read finds nothing.
    std::uint32_t line = 1;
    std::vector<std::wstring> parts;
    for (std::uint32_t joke : jokes) {
        if (joke < line) {
            continue;
        }
        file.skipToLine(joke - line + 1);
        parts.assign(1, std::wstring());
        while (file.readPart(parts.back()) == JokeFile::PartEnd::separator) {
            parts.emplace_back();
        }
        line = joke + 1;
        visit(joke, parts);
    }
    return true;
}

std::wstring JokeLibrary::getCategoryName(std::uint32_t n) const {
    if (n != 0 && n <= getCategoryCount()) {
        return categoryFiles[n - 1];
    }
    if (currentCategory == 0) {
        return L"Keine Kategorie";
    }
    return categoryFiles[currentCategory - 1];
}

std::wstring JokeLibrary::getStatusText() const {
    if (!loaded) {
        return L"Pointex! (Error)";
    }
    if (currentCategory == 0) {
        return L"Pointex!";
    }
    return getCategoryName(0) + L": " + intToString(static_cast<std::int32_t>(currentJoke)) + L"/" +
           intToString(static_cast<std::int32_t>(getJokeCount(0)));
}

std::wstring JokeLibrary::getInfoText() {
    hasSolution = false;
    if (!loaded) {
        return L"Es ist ein Fehler aufgetreten";
    }
    if (currentCategory == 0) {
        return L"Willkommen bei Tobrek's Pointex!\r\n\r\nW\u00e4hle eine Kategorie.";
    }
    return L"Kategorie: " + getCategoryName(0) + L"\r\n\r\nAnzahl Witze: " +
           intToString(static_cast<std::int32_t>(getJokeCount(0)));
}
