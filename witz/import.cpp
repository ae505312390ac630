// witz import: sources converted into one category, written by the file writer.
#include <cstdio>

#include "convert.h"
#include "file_writer.h"
#include "library/platform.h"
#include "system.h"
#include "witz.h"

namespace {

constexpr std::size_t problemsShown = 50;

// Letters as Windows compares file names, for the letters that occur in German names.
std::wstring folded(const std::wstring& name) {
    std::wstring text = name;
    for (wchar_t& c : text) {
        auto value = static_cast<std::uint32_t>(c);
        if ((value >= L'A' && value <= L'Z') || (value >= 0xC0 && value <= 0xDE && value != 0xD7)) {
            c = static_cast<wchar_t>(value + 0x20);
        }
    }
    return text;
}

// Another entry of the folder whose name differs from name in letter case only.
std::wstring caseTwin(const std::wstring& folder, const std::wstring& name) {
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(folder + platform::pathSeparator + L"*", entries);
    for (const platform::FolderEntry& entry : entries) {
        if (entry.name != name && folded(entry.name) == folded(name)) {
            return entry.name;
        }
    }
    return std::wstring();
}

std::wstring describe(const ImportProblem& problem) {
    wchar_t code[16];
    std::swprintf(code, 16, L"U+%04X", static_cast<unsigned>(problem.character));
    char32_t c = problem.character;
    std::wstring shown;
    if (c > 0xFFFF && sizeof(wchar_t) == 2) {
        shown += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        shown += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        shown += static_cast<wchar_t>(c);
    }
    std::wstring what =
        c < 0x20
            ? std::wstring(L"das Steuerzeichen ") + code + L" hat in Witzdateien eine Bedeutung"
        : c >= 0x80 && c <= 0x9F
            ? std::wstring(L"das Steuerzeichen ") + code +
                  L" zeigt Pointex nicht (in Windows-1252 unbelegt)"
            : std::wstring(code) + L" \u201E" + shown + L"\u201C gibt es in ISO 8859-1 nicht";
    return problem.source + L": Eintrag " + std::to_wstring(problem.record) + L", Zeile " +
           std::to_wstring(problem.line) + L", Zeichen " + std::to_wstring(problem.column) + L": " +
           what;
}

struct FormatName {
    SourceFormat format;
    const wchar_t* option; // the value of --format
    const wchar_t* shown;  // in the report
};

const FormatName formatNames[] = {
    {SourceFormat::fortune, L"fortune", L"Fortune-Datei"},
    {SourceFormat::text, L"text", L"Text in Abs\u00e4tzen"},
    {SourceFormat::list, L"liste", L"Liste"},
    {SourceFormat::riddle, L"raetsel", L"R\u00e4tsel"},
};

bool chooseFormat(const Arguments& args, SourceFormat& format) {
    auto given = args.values.find(L"--format");
    format = SourceFormat::automatic;
    if (given == args.values.end()) {
        return true;
    }
    for (const FormatName& name : formatNames) {
        if (given->second == name.option) {
            format = name.format;
            return true;
        }
    }
    complain(L"--format kennt fortune, text, liste und raetsel, nicht \u201E" + given->second +
             L"\u201C.");
    return false;
}

// "a als Liste in Windows-1252" for the report.
std::wstring describe(const std::wstring& source, SourceReading reading) {
    std::wstring format;
    for (const FormatName& name : formatNames) {
        format = name.format == reading.format ? name.shown : format;
    }
    static const wchar_t* const encodings[] = {L"UTF-8", L"UTF-16", L"Windows-1252 (ANSI)"};
    std::size_t slash = source.find_last_of(L"/\\");
    std::wstring file = slash == std::wstring::npos ? source : source.substr(slash + 1);
    return file + L" als " + format + L" in " + encodings[static_cast<int>(reading.encoding)];
}

// Reads one source, or says in one line why it is none; a joke file is never written then.
int readSource(const std::wstring& source, std::string& bytes) {
    host::EntryKind kind = host::entryKind(source);
    if (kind == host::EntryKind::folder) {
        complain(L"\u201E" + source +
                 L"\u201C ist ein Ordner; gib die Dateien darin an. Nichts geschrieben.");
        return failed;
    }
    if (kind == host::EntryKind::missing || !host::readWholeFile(source, bytes)) {
        complain(L"Kann \u201E" + source + L"\u201C nicht lesen. Nichts geschrieben.");
        return failed;
    }
    if (std::wstring why = whyNotText(bytes, source); !why.empty()) {
        complain(why + L" Nichts geschrieben.");
        return failed;
    }
    return success;
}

} // namespace

int runImport(const Arguments& args) {
    if (args.readOnly) {
        complain(L"\u201E" + args.directory +
                 L"\u201C ist die mitgelieferte Sammlung, in die witz nicht schreibt. -C ORDNER "
                 L"w\u00e4hlt die Sammlung, in die es importiert (-C . legt hier \u201EWitze\u201C "
                 L"an; die eigene Sammlung legt der erste Start von pointex an).");
        return failed;
    }
    auto target = args.values.find(L"--nach");
    if (target == args.values.end()) {
        complain(L"Gib mit --nach NAME die Kategorie an, in die importiert wird.");
        return failed;
    }
    const std::wstring& name = target->second;
    if (std::wstring why = badFileName(name); !why.empty()) {
        complain(L"\u201E" + name + L"\u201C taugt nicht als Kategorie: " + why);
        return failed;
    }
    if (std::wstring why =
            unwritableName(args.directory + platform::pathSeparator + L"Witze", name);
        !why.empty()) {
        complain(L"\u201E" + name + L"\u201C taugt nicht als Kategorie: " + why);
        return failed;
    }
    bool append = args.has(L"--anhaengen");
    bool replaceFile = args.has(L"--ersetzen-datei");
    SourceFormat format;
    if ((append && replaceFile) || !chooseFormat(args, format)) {
        if (append && replaceFile) {
            complain(L"--anhaengen und --ersetzen-datei schlie\u00dfen einander aus.");
        }
        return failed;
    }
    std::wstring folder = args.directory + platform::pathSeparator + L"Witze";
    std::wstring path = folder + platform::pathSeparator + name;
    host::EntryKind folderKind = host::entryKind(folder);
    if (folderKind == host::EntryKind::file) {
        complain(L"\u201E" + folder + L"\u201C ist kein Ordner.");
        return failed;
    }
    host::EntryKind kind = host::entryKind(path);
    if (kind == host::EntryKind::folder) {
        complain(L"\u201E" + path + L"\u201C ist ein Ordner, keine Kategorie.");
        return failed;
    }
    // Checked first: on Windows the name would find the other file as its own.
    if (std::wstring twin = caseTwin(folder, name); !twin.empty()) {
        complain(L"\u201E" + name + L"\u201C unterscheidet sich von der Kategorie \u201E" + twin +
                 L"\u201C nur in Gro\u00df- und Kleinschreibung; unter Windows ist das dieselbe "
                 L"Datei.");
        return failed;
    }
    bool exists = kind == host::EntryKind::file;
    if (exists && !append && !replaceFile) {
        complain(L"Die Kategorie \u201E" + name +
                 L"\u201C gibt es schon. --anhaengen h\u00e4ngt an, "
                 L"--ersetzen-datei ersetzt sie.");
        return failed;
    }
    std::string existing;
    if (exists && append) {
        if (!host::readWholeFile(path, existing)) {
            complain(L"Kann \u201E" + path + L"\u201C nicht lesen.");
            return failed;
        }
        if (std::size_t end = existing.find('\x1A'); end != std::string::npos) {
            complain(L"\u201E" + path + L"\u201C enth\u00e4lt bei Byte " + std::to_wstring(end) +
                     L" das Byte 0x1A: Pointex zeigt nichts, was dahinter steht. Nichts "
                     L"angeh\u00e4ngt; \u201Ewitz pruefe\u201C zeigt mehr.");
            return failed;
        }
        // The LF written after a last CR would make CR LF of it, a line end: the last old joke
        // would lose that character.
        if (!existing.empty() && existing.back() == '\r') {
            complain(L"\u201E" + path +
                     L"\u201C endet mit einem CR ohne LF, das mit dem "
                     L"n\u00e4chsten Zeilenende verloren ginge. Nichts angeh\u00e4ngt; "
                     L"\u201Ewitz pruefe\u201C zeigt mehr.");
            return failed;
        }
    }

    Conversion conversion;
    bool replaceUnknown = args.has(L"--ersetzen");
    std::wstring readings;
    for (const std::wstring& source : args.positional) {
        std::string bytes;
        if (int status = readSource(source, bytes); status != success) {
            return status;
        }
        SourceReading reading = convertSource(bytes, source, format, replaceUnknown, conversion);
        readings += (readings.empty() ? L"Gelesen: " : L"; ") + describe(source, reading);
    }
    if (!conversion.problems.empty()) {
        for (std::size_t k = 0; k < conversion.problems.size() && k < problemsShown; ++k) {
            complain(describe(conversion.problems[k]));
        }
        if (conversion.problems.size() > problemsShown) {
            complain(L"und " + std::to_wstring(conversion.problems.size() - problemsShown) +
                     L" weitere");
        }
        complain(L"Nichts geschrieben: " + std::to_wstring(conversion.problems.size()) +
                 L" Zeichen passen nicht in eine Witzdatei. Mit --ersetzen werden sie als \"?\" "
                 L"geschrieben.");
        return failed;
    }
    if (conversion.jokes.empty()) {
        complain(L"Die Quellen enthalten keinen Witz; nichts geschrieben.");
        return failed;
    }

    std::wstring error = writeWholeFile(folder, name, appendJokes(existing, conversion.jokes),
                                        exists ? WriteMode::replace : WriteMode::createNew);
    if (!error.empty()) {
        complain(error + L"; nichts ge\u00e4ndert.");
        return failed;
    }
    say(L"Witze" + std::wstring(1, platform::pathSeparator) + name + L": " +
        std::to_wstring(conversion.jokes.size()) + L" Witze geschrieben" +
        (append && exists ? L" (angeh\u00e4ngt)" : L"") + L", " +
        std::to_wstring(conversion.skipped) + L" leere Eintr\u00e4ge \u00fcbersprungen, " +
        std::to_wstring(conversion.mapped + conversion.replaced) + L" Zeichen ersetzt (" +
        std::to_wstring(conversion.mapped) + L" in schlichter Form, " +
        std::to_wstring(conversion.replaced) + L" durch \"?\"). " + readings + L".\n");
    return success;
}
