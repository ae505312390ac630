// Dropped files: each one imported with witz import into the category named after the file.
#include "dropped.h"

#include <algorithm>

#include "library/file_names.h"
#include "library/platform.h"
#include "console.h"
#include "witz.h"

namespace {

// A path's last part; the whole path where that is empty ("C:\").
std::wstring shownName(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 == path.size()) {
        return path;
    }
    return path.substr(slash + 1);
}

// An argument for cmd and the runtime's parser: in quotes, so that blanks and "&" stay inside;
// a backslash before the closing quote is doubled, or "C:\" would hide it.
std::wstring quoted(const std::wstring& argument) {
    bool backslash = !argument.empty() && argument.back() == L'\\';
    return L"\"" + argument + (backslash ? L"\\\"" : L"\"");
}

// What a user who dropped a file can do where witz import would name an option: rename the file
// and drop it again, or type the command that does it (the import into the same folder) in a
// console, where it can be copied from this window.
ImportAdvice adviceFor(const std::wstring& program, const std::wstring& folder,
                       const std::wstring& path) {
    const std::wstring name = L"\n" + shownName(path) + L": ";
    const std::wstring command = L"\n" + std::wstring(1, host::wholeLine) + L"    " +
                                 quoted(program) + L" -C " + quoted(folder) + L" import " +
                                 quoted(path) + L" --nach " + quoted(categoryOf(path));
    const std::wstring again = L"noch einmal auf " + shownName(program);
    return {
        name + L"F\u00fcr eine neue Kategorie benenne die Datei um und ziehe sie " + again +
            L". Zum Anh\u00e4ngen gib in der Eingabeaufforderung (cmd) ein:" + command +
            L" --anhaengen" + name +
            L"Zum Ersetzen der Kategorie dasselbe mit --ersetzen-datei statt --anhaengen.",
        name + L"\u00c4ndere diese Zeichen in der Datei und ziehe die Datei " + again +
            L". Als \"?\" schreibt sie dieser Befehl in der Eingabeaufforderung (cmd):" + command +
            L" --ersetzen",
        name + L"Benenne die Datei um und ziehe sie " + again + L".",
        name + L"Berichtige diese Stellen im Editor, speichere die Datei als UTF-8 und ziehe sie " +
            again +
            L". Mit \"?\" f\u00fcr jede schreibt sie dieser Befehl in der "
            L"Eingabeaufforderung (cmd):" +
            command + L" --ersetzen",
    };
}

} // namespace

bool isAbsoluteWindowsPath(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        wchar_t drive = path[0];
        return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    }
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

bool isDrop(const std::vector<std::wstring>& args) {
    return !args.empty() && std::all_of(args.begin(), args.end(), isAbsoluteWindowsPath);
}

std::wstring categoryOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    // A name that starts with its only dot (".witze") has no extension to drop.
    std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

int importDropped(const std::vector<std::wstring>& paths, const std::wstring& program) {
    const std::wstring folder = folderOf(program);
    std::vector<std::wstring> categories;
    for (const std::wstring& path : paths) {
        speakAbout(shownName(path));
        platform::EntryKind kind = platform::entryKind(path);
        if (kind != platform::EntryKind::file) {
            complain(
                (kind == platform::EntryKind::folder ? L"Das ist ein Ordner" : L"Nicht gefunden") +
                (L"; auf " + shownName(program) + L" lassen sich nur Dateien ziehen."));
        } else {
            Arguments args;
            args.directory = folder;
            args.positional.push_back(path);
            args.values[L"--nach"] = categoryOf(path);
            if (importSources(args, adviceFor(program, folder, path)) == success) {
                categories.push_back(categoryOf(path));
            }
        }
        speakAbout(L"");
    }
    const std::size_t imported = categories.size();
    say(std::to_wstring(imported) + L" von " + counted(paths.size(), L"Datei", L"Dateien") +
        L" \u00fcbernommen.\n");
    if (imported > 0) {
        say(shownAtNextStart(categories));
    }
    return imported == paths.size() ? success : imported > 0 ? negative : failed;
}
