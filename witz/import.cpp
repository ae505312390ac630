// witz import: sources converted into one category, written by the file writer.
#include <cstdio>

#include "import/convert.h"
#include "import/duplicates.h"
#include "library/file_writer.h"
#include "library/file_names.h"
#include "library/platform.h"
#include "own_collection.h"
#include "system.h"
#include "witz.h"

namespace {

// Another entry of the folder whose name differs from name in letter case only.
std::wstring caseTwin(const std::wstring& folder, const std::wstring& name) {
    std::vector<platform::FolderEntry> entries;
    platform::listFolder(folder + platform::pathSeparator + L"*", entries);
    for (const platform::FolderEntry& entry : entries) {
        if (entry.name != name && upcasedName(entry.name) == upcasedName(name)) {
            return entry.name;
        }
    }
    return std::wstring();
}

// Removes from jokes each one whose key a joke of the files in folder (but the file named
// except, unless except is empty) or an earlier one of jokes has; dropped counts them. False,
// with a German error text, when a file of an existing folder cannot be read.
bool dropDuplicates(const std::wstring& folder, const std::wstring& except,
                    std::vector<std::string>& jokes, std::uint32_t& dropped, std::wstring& error) {
    DuplicateFinder finder;
    std::vector<platform::FolderEntry> entries;
    std::vector<std::wstring> paths; // by the finder's numbers
    platform::listFolder(folder + platform::pathSeparator + L"*", entries);
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isDirectory || entry.name == except) {
            continue;
        }
        std::string bytes;
        paths.push_back(folder + platform::pathSeparator + entry.name);
        if (!platform::readWholeFile(paths.back(), bytes)) {
            error = L"Kann \u201E" + paths.back() + L"\u201C nicht lesen (" +
                    platform::systemErrorText(platform::lastSystemError()) +
                    L"), also auch nicht mit den neuen Witzen vergleichen.";
            return false;
        }
        finder.addFile(bytes);
    }
    std::uint32_t imported = finder.addJokes(jokes);
    auto reread = [&](std::uint32_t category, std::string& bytes) {
        if (category == imported) {
            bytes = appendJokes(std::string(), jokes);
            return true;
        }
        return platform::readWholeFile(paths[category], bytes);
    };
    std::vector<bool> keep(jokes.size(), true);
    for (const Duplicate& duplicate : finder.duplicates(reread)) {
        if (duplicate.copy.category == imported) {
            keep[duplicate.copy.joke - 1] = false;
        }
    }
    std::size_t kept = 0;
    for (std::size_t k = 0; k < jokes.size(); ++k) {
        if (keep[k] && kept++ != k) {
            jokes[kept - 1] = std::move(jokes[k]);
        }
    }
    dropped = static_cast<std::uint32_t>(jokes.size() - kept);
    jokes.resize(kept);
    return true;
}

// "das Byte 0xE4" or "die Bytes 0xE2 0x80", and why they are no character where they stand.
std::wstring describeBytes(const ImportProblem& problem) {
    std::wstring bytes;
    for (char c : problem.bytes) {
        wchar_t code[8];
        std::swprintf(code, 8, L" 0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        bytes += code;
    }
    bool one = problem.bytes.size() == 1;
    std::wstring what = (one ? L"das Byte" : L"die Bytes") + bytes + (one ? L" ist " : L" sind ");
    if (problem.reading.encoding == SourceEncoding::utf16) {
        return what + (one ? L"\u00fcbrig: UTF-16 hat zwei Bytes je Zeichen"
                           : L"in UTF-16 kein Zeichen (ein Surrogat ohne Partner)");
    }
    return what + (problem.reading.byteOrderMark
                       ? L"kein UTF-8, obwohl die Datei mit der Marke f\u00fcr UTF-8 (BOM) beginnt"
                       : L"kein UTF-8, anderes in der Datei aber schon: sie mischt UTF-8 mit "
                         L"einer anderen Codierung");
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
        c == undecodable ? describeBytes(problem)
        : c < 0x20
            ? std::wstring(L"das Steuerzeichen ") + code + L" hat in Witzdateien eine Bedeutung"
        : c >= 0x80 && c <= 0x9F
            ? std::wstring(L"das Steuerzeichen ") + code +
                  L" zeigt Pointex nicht (in Windows-1252 unbelegt)"
            : std::wstring(code) + L" \u201E" + shown + L"\u201C gibt es in ISO 8859-1 nicht";
    return problem.source + L": Eintrag " + std::to_wstring(problem.record) + L", Zeile " +
           std::to_wstring(problem.line) + L", Zeichen " + std::to_wstring(problem.column) + L": " +
           what;
}

// The last line of a refusal for the problems found: how many, and what the user can do.
std::wstring problemsSummary(const Conversion& conversion, const ImportAdvice& advice) {
    std::wstring text = L"Nichts geschrieben:";
    if (std::uint32_t bytes = conversion.refusedBytes; bytes > 0) {
        text += bytes == 1 ? std::wstring(L" 1 Bytefolge ist kein Zeichen")
                           : L" " + std::to_wstring(bytes) + L" Bytefolgen sind keine Zeichen";
        text += L" in der Codierung ihrer Datei.";
    }
    if (std::uint32_t characters = conversion.refusedCharacters; characters > 0) {
        text += L" " + std::to_wstring(characters) +
                (characters == 1 ? L" Zeichen passt" : L" Zeichen passen") +
                L" nicht in eine Witzdatei.";
    }
    return text + (conversion.refusedBytes > 0 ? advice.undecodable : advice.unknown);
}

bool chooseFormat(const Arguments& args, SourceFormat& format) {
    auto given = args.values.find(L"--format");
    format = SourceFormat::automatic;
    if (given == args.values.end()) {
        return true;
    }
    for (const FormatEntry& entry : sourceFormats) {
        if (asciiSpelling(given->second) == entry.option) {
            format = entry.format;
            return true;
        }
    }
    complain(L"--format kennt fortune, text, liste und raetsel, nicht \u201E" + given->second +
             L"\u201C.");
    return false;
}

// The editing rules asked for; false after a complaint about --ueberschrift.
bool chooseEditing(const Arguments& args, Editing& editing) {
    editing.flowing = args.has(L"--fliesstext");
    editing.questions = args.has(L"--fragen");
    editing.columns = args.has(L"--spalten");
    editing.noDrawings = args.has(L"--ohne-bilder");
    auto heading = args.values.find(L"--ueberschrift");
    if (heading == args.values.end()) {
        return true;
    }
    if (heading->second == L"frage" || heading->second == L"weg") {
        editing.heading = heading->second == L"frage" ? Heading::question : Heading::drop;
        return true;
    }
    complain(L"--ueberschrift kennt frage und weg, nicht \u201E" + heading->second + L"\u201C.");
    return false;
}

// "a als Liste in Windows-1252" for the report.
std::wstring describe(const std::wstring& source, SourceReading reading) {
    std::wstring format;
    for (const FormatEntry& entry : sourceFormats) {
        format = entry.format == reading.format ? entry.shown : format;
    }
    static const wchar_t* const encodings[] = {L"UTF-8", L"UTF-16", L"Windows-1252 (ANSI)"};
    std::size_t slash = source.find_last_of(L"/\\");
    std::wstring file = slash == std::wstring::npos ? source : source.substr(slash + 1);
    return file + L" als " + format + L" in " + encodings[static_cast<int>(reading.encoding)];
}

// Reads one source, or says in one line why it is none; a joke file is never written then.
int readSource(const std::wstring& source, std::string& bytes) {
    platform::EntryKind kind = platform::entryKind(source);
    if (kind == platform::EntryKind::folder) {
        complain(L"\u201E" + source +
                 L"\u201C ist ein Ordner; gib die Dateien darin an. Nichts geschrieben.");
        return failed;
    }
    if (!platform::readWholeFile(source, bytes)) {
        complain(L"Kann \u201E" + source + L"\u201C nicht lesen: " +
                 platform::systemErrorText(platform::lastSystemError()) + L". Nichts geschrieben.");
        return failed;
    }
    if (std::wstring why = whyNotText(bytes, source); !why.empty()) {
        complain(why + L" Nichts geschrieben.");
        return failed;
    }
    return success;
}

} // namespace

int importSources(const Arguments& given, const ImportAdvice& advice) {
    Arguments args = given;
    if (!importIntoOwnCollection(args)) {
        return failed;
    }
    // Still the installed collection: there is no own one (no HOME).
    if (args.readOnly) {
        complain(L"\u201E" + args.directory +
                 L"\u201C ist die mitgelieferte Sammlung, in die witz nicht schreibt. -C ORDNER "
                 L"w\u00e4hlt die Sammlung, in die es importiert (-C . legt hier \u201EWitze\u201C "
                 L"an).");
        return failed;
    }
    auto target = args.values.find(L"--nach");
    if (target == args.values.end()) {
        complain(L"Gib mit --nach NAME die Kategorie an, in die importiert wird.");
        return failed;
    }
    const std::wstring& name = target->second;
    if (std::wstring why =
            unwritableName(args.directory + platform::pathSeparator + L"Witze", name);
        !why.empty()) {
        complain(L"\u201E" + name + L"\u201C taugt nicht als Kategorie: " + why + advice.badName);
        return failed;
    }
    bool append = args.has(L"--anhaengen");
    bool replaceFile = args.has(L"--ersetzen-datei");
    SourceFormat format;
    Editing editing;
    if ((append && replaceFile) || !chooseFormat(args, format) || !chooseEditing(args, editing)) {
        if (append && replaceFile) {
            complain(L"--anhaengen und --ersetzen-datei schlie\u00dfen einander aus.");
        }
        return failed;
    }
    std::wstring folder = args.directory + platform::pathSeparator + L"Witze";
    std::wstring path = folder + platform::pathSeparator + name;
    platform::EntryKind folderKind = platform::entryKind(folder);
    if (folderKind == platform::EntryKind::file) {
        complain(L"\u201E" + folder + L"\u201C ist kein Ordner.");
        return failed;
    }
    platform::EntryKind kind = platform::entryKind(path);
    if (kind == platform::EntryKind::folder) {
        complain(L"\u201E" + path + L"\u201C ist ein Ordner, keine Kategorie.");
        return failed;
    }
    // Checked first: on Windows the name would find the other file as its own.
    if (std::wstring twin = caseTwin(folder, name); !twin.empty()) {
        complain(L"\u201E" + name + L"\u201C unterscheidet sich von der Kategorie \u201E" + twin +
                 L"\u201C nur in Gro\u00df- und Kleinschreibung; unter Windows ist das dieselbe "
                 L"Datei." +
                 advice.badName);
        return failed;
    }
    bool exists = kind == platform::EntryKind::file;
    if (exists && !append && !replaceFile) {
        complain(L"Die Kategorie \u201E" + name + L"\u201C gibt es schon." + advice.existing);
        return failed;
    }
    std::string existing;
    if (exists && append) {
        if (!platform::readWholeFile(path, existing)) {
            complain(L"Kann \u201E" + path + L"\u201C nicht lesen: " +
                     platform::systemErrorText(platform::lastSystemError()) + L".");
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
        SourceReading reading =
            convertSource(bytes, source, format, replaceUnknown, conversion, editing);
        readings += (readings.empty() ? L"Gelesen: " : L"; ") + describe(source, reading);
    }
    if (conversion.stopped()) {
        for (const ImportProblem& problem : conversion.problems) {
            complain(describe(problem));
        }
        std::size_t all = std::size_t(conversion.refusedCharacters) + conversion.refusedBytes;
        if (all > conversion.problems.size()) {
            const std::size_t more = all - conversion.problems.size();
            complain(L"und " + std::to_wstring(more) + (more == 1 ? L" weiteres" : L" weitere"));
        }
        complain(problemsSummary(conversion, advice));
        return failed;
    }
    std::uint32_t duplicates = 0;
    bool withoutDuplicates = args.has(L"--ohne-doppelte");
    std::wstring unread;
    // A replaced category's old jokes are no reason to leave a new one out.
    if (withoutDuplicates &&
        !dropDuplicates(folder, append ? L"" : name, conversion.jokes, duplicates, unread)) {
        complain(unread + L" Nichts geschrieben.");
        return failed;
    }
    if (conversion.jokes.empty() && duplicates > 0) {
        complain(duplicates == 1
                     ? std::wstring(L"Der Witz der Quellen steht schon in der Sammlung; "
                                    L"nichts geschrieben.")
                     : L"Alle " + std::to_wstring(duplicates) +
                           L" Witze der Quellen stehen schon in der Sammlung; nichts "
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
        counted(conversion.jokes.size(), L"Witz", L"Witze") + L" geschrieben" +
        (append && exists ? L" (angeh\u00e4ngt)" : L"") + L", " +
        counted(conversion.skipped, L"leerer Eintrag", L"leere Eintr\u00e4ge") +
        L" \u00fcbersprungen, " +
        (withoutDuplicates
             ? counted(duplicates, L"doppelter Witz", L"doppelte Witze") + L" \u00fcbersprungen, "
             : std::wstring()) +
        std::to_wstring(conversion.mapped + conversion.replaced) + L" Zeichen ersetzt (" +
        std::to_wstring(conversion.mapped) + L" in schlichter Form, " +
        std::to_wstring(conversion.replaced) + L" durch \"?\"). " + readings + L"." +
        (editing.noDrawings
             ? L" Ausgelassen: " + counted(conversion.drawings, L"Zeichnung", L"Zeichnungen") + L"."
             : L"") +
        L"\n");
    return success;
}

int runImport(const Arguments& args) {
    static const ImportAdvice options = {
        L" --anhaengen h\u00e4ngt an, --ersetzen-datei ersetzt sie.",
        L" Mit --ersetzen werden sie als \"?\" geschrieben.",
        L"",
        L" Berichtige diese Stellen im Editor und speichere die Datei als UTF-8, oder "
        L"schreibe mit --ersetzen f\u00fcr jede ein \"?\".",
    };
    int status = importSources(args, options);
    if (status == success) {
        say(shownAtNextStart({args.values.at(L"--nach")}));
    }
    return status;
}
