// The user's own collection made and completed from the installed one, for witz einrichten (which
// the launcher pointex runs before each start) and for witz import.
#include "own_collection.h"

#include <algorithm>
#include <set>

#include "library/file_writer.h"
#include "library/file_names.h"
#include "library/platform.h"
#include "system.h"
#include "witz.h"

namespace {

// The files beside Witze: the About dialog's texts, and the jokes' sources with their licence.
const wchar_t* const texts[] = {L"about", L"version", L"lizenz", L"QUELLEN.txt"};

std::wstring inFolder(const std::wstring& folder, const std::wstring& name) {
    return folder + platform::pathSeparator + name;
}

// Copies from into folder/name unless that name is taken, also when it is taken meanwhile (by
// the user, or by a second start at the same time). written says whether this copy made it.
std::wstring copyUnlessTaken(const std::wstring& from, const std::wstring& folder,
                             const std::wstring& name, bool& written) {
    written = false;
    std::string bytes;
    if (!platform::readWholeFile(from, bytes)) {
        return L"Kann " + quotedList({from}) + L" nicht lesen.";
    }
    std::wstring error = writeWholeFile(folder, name, bytes, WriteMode::createNew);
    if (error.empty()) {
        written = true;
    } else if (platform::entryKind(inFolder(folder, name)) != platform::EntryKind::missing) {
        error.clear();
    }
    return error;
}

// A folder's entries but "." and "..", in no particular order; none when it cannot be listed.
std::vector<platform::FolderEntry> entriesIn(const std::wstring& folder) {
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(inFolder(folder, L"*"), entries);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const platform::FolderEntry& entry) {
                                     return entry.name == L"." || entry.name == L"..";
                                 }),
                  entries.end());
    return entries;
}

// The record's names, one a line, as UTF-8 bytes (compared as such, so that any name survives).
std::set<std::string> readRecord(const std::wstring& path) {
    std::set<std::string> names;
    std::string bytes;
    if (!platform::readWholeFile(path, bytes)) {
        return names;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        names.insert(bytes.substr(start, end - start));
    }
    return names;
}

} // namespace

bool findOwnCollection(OwnCollection& own) {
    own = OwnCollection();
    for (const host::Collection& collection : host::fallbackCollections()) {
        if (!collection.readOnly && own.folder.empty()) {
            own.folder = collection.directory;
        }
        // A witz that is not installed has the place but nothing there.
        if (collection.readOnly && own.supplied.empty() &&
            platform::entryKind(inFolder(collection.directory, L"Witze")) ==
                platform::EntryKind::folder) {
            own.supplied = collection.directory;
        }
    }
    return !own.folder.empty() && !own.supplied.empty();
}

std::wstring completeOwnCollection(const OwnCollection& own, CopiedParts& copied) {
    copied = CopiedParts();
    const std::wstring suppliedJokes = inFolder(own.supplied, L"Witze");
    const std::wstring jokes = inFolder(own.folder, L"Witze");
    if (!platform::makeFolders(own.folder) ||
        platform::entryKind(jokes) == platform::EntryKind::file) {
        return L"Kann den Ordner " + quotedList({jokes}) + L" nicht anlegen.";
    }
    bool written = false;
    for (const wchar_t* text : texts) {
        const std::wstring from = inFolder(own.supplied, text);
        if (platform::entryKind(from) != platform::EntryKind::file ||
            platform::entryKind(inFolder(own.folder, text)) != platform::EntryKind::missing) {
            continue;
        }
        if (std::wstring error = copyUnlessTaken(from, own.folder, text, written); !error.empty()) {
            return error;
        }
        if (written) {
            copied.texts.push_back(text);
        }
    }

    const std::wstring recordPath = inFolder(own.folder, suppliedRecord);
    std::set<std::string> record = readRecord(recordPath);
    // Names are taken in any letter case, as Windows and Pointex under Wine see them.
    std::set<std::u16string> taken;
    for (const platform::FolderEntry& entry : entriesIn(jokes)) {
        taken.insert(upcasedName(entry.name));
    }
    std::vector<std::wstring> categories;
    for (const platform::FolderEntry& entry : entriesIn(suppliedJokes)) {
        if (!entry.isDirectory) {
            categories.push_back(entry.name);
        }
    }
    std::sort(categories.begin(), categories.end());
    bool recordChanged = false;
    for (const std::wstring& name : categories) {
        const std::string recorded = host::toUtf8(name);
        if (record.count(recorded) != 0) {
            continue;
        }
        if (taken.count(upcasedName(name)) == 0) {
            std::wstring error =
                copyUnlessTaken(inFolder(suppliedJokes, name), jokes, name, written);
            if (!error.empty()) {
                return error;
            }
            if (written) {
                copied.categories.push_back(name);
            }
        }
        record.insert(recorded);
        recordChanged = true;
    }
    // Written after the copies: an interrupted start copies the rest the next time.
    if (recordChanged) {
        std::string bytes;
        for (const std::string& name : record) {
            bytes += name + "\n";
        }
        if (std::wstring error =
                writeWholeFile(own.folder, suppliedRecord, bytes, WriteMode::replace);
            !error.empty()) {
            return error;
        }
    }
    return std::wstring();
}

std::wstring describeCopy(const OwnCollection& own, const CopiedParts& copied) {
    std::wstring text = quotedList({own.folder}) + L": ";
    if (copied.categories.empty() && copied.texts.empty()) {
        return text + L"nichts zu kopieren.";
    }
    return text + counted(copied.categories.size(), L"Kategorie", L"Kategorien") + L" aus " +
           quotedList({own.supplied}) + L" kopiert" +
           (copied.texts.empty() ? L"" : L", dazu " + quotedList(copied.texts)) + L".";
}

bool importIntoOwnCollection(Arguments& args) {
    OwnCollection own;
    if (!findOwnCollection(own) || (!args.readOnly && args.directory != own.folder)) {
        return true;
    }
    CopiedParts copied;
    if (std::wstring error = completeOwnCollection(own, copied); !error.empty()) {
        complain(error + L" Nichts importiert.");
        return false;
    }
    if (!copied.categories.empty() || !copied.texts.empty()) {
        say(describeCopy(own, copied) + L"\n");
    }
    args.directory = own.folder;
    args.readOnly = false;
    args.alsoSearched.clear();
    return true;
}

int runSetUp(const Arguments&) {
    OwnCollection own;
    if (!findOwnCollection(own)) {
        complain(own.supplied.empty()
                     ? L"Hier gibt es keine mitgelieferte Sammlung, aus der witz eine eigene "
                       L"einrichten k\u00f6nnte."
                     : L"Ohne HOME gibt es keine eigene Sammlung.");
        return failed;
    }
    CopiedParts copied;
    if (std::wstring error = completeOwnCollection(own, copied); !error.empty()) {
        complain(error);
        return failed;
    }
    say(describeCopy(own, copied) + L"\n");
    return success;
}
