// Which collection witz reads when no folder is named: the working directory's, else the
// user's own or the installed one.
#include "library/platform.h"
#include "system.h"
#include "witz.h"

namespace {

bool holdsJokes(const std::wstring& directory) {
    return !directory.empty() && platform::entryKind(directory + platform::pathSeparator +
                                                     L"Witze") == platform::EntryKind::folder;
}

} // namespace

void findCollection(Arguments& args) {
    args.directory = platform::currentDirectory();
    args.readOnly = false;
    args.alsoSearched.clear();
    if (holdsJokes(args.directory)) {
        return;
    }
    for (const host::Collection& collection : host::fallbackCollections()) {
        if (holdsJokes(collection.directory)) {
            args.directory = collection.directory;
            args.readOnly = collection.readOnly;
            args.alsoSearched.clear();
            return;
        }
        if (!collection.directory.empty()) {
            args.alsoSearched.push_back(collection.directory);
        }
    }
}

bool collectionFolderThere(const Arguments& args, bool named) {
    if (platform::entryKind(args.directory) == platform::EntryKind::folder) {
        return true;
    }
    const std::wstring advice = L"; -C ORDNER nennt den Ordner einer Sammlung.";
    if (named) {
        complain(L"\u201E" + args.directory + L"\u201C ist kein vorhandener Ordner" + advice);
        return false;
    }
    std::vector<std::wstring> places;
    for (const std::wstring& place : args.alsoSearched) {
        places.push_back(place + platform::pathSeparator + L"Witze");
    }
    complain(L"Das Arbeitsverzeichnis gibt es nicht mehr" +
             (places.empty() ? std::wstring() : L", und auch " + quotedList(places) + L" nicht") +
             advice);
    return false;
}
