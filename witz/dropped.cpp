// Dropped files: each one imported with witz import into the category named after the file.
#include "dropped.h"

#include <algorithm>

#include "system.h"
#include "witz.h"

bool isAbsoluteWindowsPath(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        wchar_t drive = path[0];
        return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    }
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

bool isDrop(const std::vector<std::wstring>& args) {
    return !args.empty() && std::all_of(args.begin(), args.end(), [](const std::wstring& arg) {
        return isAbsoluteWindowsPath(arg) && host::entryKind(arg) == host::EntryKind::file;
    });
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

int importDropped(const std::vector<std::wstring>& paths, const std::wstring& directory) {
    int worst = success;
    for (const std::wstring& path : paths) {
        Arguments args;
        args.directory = directory;
        args.positional.push_back(path);
        args.values[L"--nach"] = categoryOf(path);
        worst = std::max(worst, runImport(args));
    }
    return worst;
}
