// witz's command table, the parsing of its arguments, its help texts and its entry.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "console.h"
#include "library/file_names.h"
#include "library/platform.h"
#include "resources/version.h"
#include "witz.h"

namespace {

struct Command {
    const wchar_t* name; // empty for the command that runs without a name
    const wchar_t* usage;
    const wchar_t* help;    // one line for the overview
    const wchar_t* details; // more for the command's own --help
    std::set<std::wstring> flags;
    std::set<std::wstring> valueOptions;
    std::size_t minimum; // positional arguments
    std::size_t maximum;
    int (*run)(const Arguments& args);
};

const Command commands[] = {
    {L"",
     L"witz [-C ORDNER] [--kategorie-zuerst]",
     L"ein zuf\u00e4lliger Witz, jeder der Sammlung gleich oft, mit L\u00f6sung",
     L"Jeder Witz der Sammlung kommt gleich oft, wie bei fortune; mit --kategorie-zuerst erst\n"
     L"eine Kategorie, dann ein Witz daraus. Die erste Zeile nennt Kategorie, Nummer, Anzahl.\n",
     {L"--kategorie-zuerst"},
     {},
     0,
     0,
     runRandom},
    {L"liste",
     L"witz liste",
     L"die Kategorien mit ihren Witzzahlen und die Summe",
     L"Die Kategorien in Pointex' Reihenfolge, jede mit Nummer und Witzzahl, am Ende\n"
     L"die Summe wie in Pointex' Statuszeile.\n",
     {},
     {},
     0,
     0,
     runList},
    {L"zeige",
     L"witz zeige KATEGORIE [NUMMER] [--raten]",
     L"ein Witz der Kategorie (ohne Nummer ein zuf\u00e4lliger) mit L\u00f6sung",
     L"KATEGORIE ist der Dateiname (Gro\u00df- und Kleinschreibung gleich, wenn eindeutig)\n"
     L"oder die Nummer aus \u201Ewitz liste\u201C. Nach dem Witz folgt jeder Teil der "
     L"L\u00f6sung\nnach einer Leerzeile.\n"
     L"  --raten   im Terminal vor jedem L\u00f6sungsteil auf die Eingabetaste warten\n",
     {L"--raten"},
     {},
     1,
     2,
     runShow},
    {L"suche",
     L"witz suche TEXT [--kategorie K] [--gross-klein | -i]",
     L"alle Witze mit TEXT, eine Zeile je Treffer: Kategorie:Nummer: Text",
     L"Sucht wie Pointex: mindestens drei Zeichen, jeder Witz mit L\u00f6sung ganz, ein\n"
     L"Treffer je Witz. Gro\u00df- und Kleinbuchstaben gelten als gleich, auch \u00c4, \u00d6, "
     L"\u00dc, \u00c9\n"
     L"und die \u00fcbrigen aus ISO 8859-1 (\u00df und \u00ff haben dort keine "
     L"Gro\u00dfbuchstaben).\n"
     L"Im Text der Trefferzeile steht \" | \" vor jedem L\u00f6sungsteil und ein "
     L"Leerzeichen\n"
     L"f\u00fcr jeden Zeilenumbruch.\n"
     L"  --kategorie K   nur in Kategorie K (Dateiname oder Nummer)\n"
     L"  --gross-klein   Gro\u00df- und Kleinschreibung beachten\n"
     L"  -i              Gro\u00df- und Kleinschreibung gleich, wie ohne Option (f\u00fcr\n"
     L"                  grep-Gewohnte)\n"
     L"Exit-Status wie grep: 0 mit Treffern, 1 ohne, 2 bei einem Fehler.\n",
     {L"--gross-klein", L"-i"},
     {L"--kategorie"},
     1,
     1,
     runSearch},
    {L"import",
     L"witz import QUELLE... --nach NAME [--format F] [--ersetzen]\n"
     L"                    [--anhaengen | --ersetzen-datei] [--ohne-doppelte]\n"
     L"                    [BEARBEITUNG...]",
     L"Fortune-Dateien oder Text in die Kategorie Witze/NAME umwandeln",
     L"Formate (ohne --format erkannt: mit einer Zeile, die nur \"%\" enth\u00e4lt, Fortune;\n"
     L"mit Leerzeilen zwischen Abs\u00e4tzen oder einer Zeile \"--\" Text; sonst Liste):\n"
     L"  fortune  ein Eintrag endet an einer Zeile, die nur \"%\" enth\u00e4lt\n"
     L"  text     ein Witz je Absatz; eine Zeile, die nur \"--\" enth\u00e4lt, beginnt einen\n"
     L"           L\u00f6sungsteil\n"
     L"  liste    ein Witz je Zeile\n"
     L"  raetsel  Eintr\u00e4ge wie erkannt; einer mit einer Zeile \"F:\" (Frage) und danach\n"
     L"           einer Zeile \"A:\" (Antwort) wird ein R\u00e4tsel, Zeilen davor leiten ein:\n"
     L"           jede \"A:\"-Zeile beginnt einen L\u00f6sungsteil, eine weitere Frage steht\n"
     L"           unter der Antwort davor; ohne \"%\" und Abs\u00e4tze beginnt eine Frage\n"
     L"           nach einer Antwort das n\u00e4chste R\u00e4tsel\n"
     L"Quellen mit BOM in UTF-8 oder UTF-16, ohne BOM in UTF-8, sonst Windows-1252\n"
     L"(\"ANSI\"); Zeilenenden LF oder CR LF. Bytes, die in der Codierung der Datei\n"
     L"kein Zeichen sind (auch UTF-8 gemischt mit ANSI), brechen mit ihrer Stelle ab.\n"
     L"Typografische Anf\u00fchrungszeichen und Apostrophe werden schlicht (\" und '),\n"
     L"Striche -, Auslassungspunkte ..., das Eurozeichen EUR, gesch\u00fctzte Leerzeichen\n"
     L"Leerzeichen; andere Zeichen au\u00dferhalb von ISO 8859-1, die Steuerzeichen 0x80\n"
     L"bis 0x9F und die Bytes 0x00, 0x0D (ohne LF), 0x0F, 0x11, 0x12 und 0x1A brechen\n"
     L"ab. Ordner, Dokumente (Word, OpenOffice, RTF, PDF), Bilder, Dateien mit Bytes\n"
     L"0x00 und strfile-Indizes (.dat) werden abgelehnt.\n"
     L"  --nach NAME        die Kategorie (ein unter Windows g\u00fcltiger Dateiname)\n"
     L"  --format F         fortune, text, liste oder raetsel statt der Erkennung\n"
     L"  --ersetzen         solche Zeichen und Bytes als \"?\" schreiben\n"
     L"  --anhaengen        an eine bestehende Kategorie anh\u00e4ngen\n"
     L"  --ersetzen-datei   eine bestehende Kategorie ersetzen\n"
     L"  --ohne-doppelte    Witze auslassen, die schon in einer Kategorie oder weiter\n"
     L"                     vorn in den Quellen stehen: dieselben Buchstaben und\n"
     L"                     Ziffern, Gro\u00df- und Kleinschreibung egal\n"
     L"Bearbeitung f\u00fcr Pointex' Proportionalschrift (keine \u00e4ndert ein Wort):\n"
     L"  --fliesstext       f\u00fcr 80 Spalten umbrochene Zeilen werden ein Absatz, auch\n"
     L"                     kurze, wo der Satz weitergeht; Verse, Aufz\u00e4hlungen und\n"
     L"                     Sprecher (\"Name: \") bleiben, Einr\u00fcckungen fallen weg\n"
     L"                     (nicht vor einer Quelle \"-- Name\")\n"
     L"  --fragen           eine kurze Frage in der ersten Zeile wird ein R\u00e4tsel, die\n"
     L"                     Antwort darunter oder dahinter ein L\u00f6sungsteil, ohne \"A:\"\n"
     L"                     (weitere Fragen ebenso)\n"
     L"  --ueberschrift U   eine erste Zeile, die mindestens ein Zehntel der Eintr\u00e4ge\n"
     L"                     er\u00f6ffnet: frage macht sie zur Frage, den Rest zum\n"
     L"                     L\u00f6sungsteil (ebenso jede erste Zeile, die auf \":\" endet);\n"
     L"                     weg l\u00e4sst sie weg, ebenso ein solches \"Wort: \" vorn\n"
     L"  --spalten          nebeneinander gesetzte Aufz\u00e4hlungen (\"a) ...   c) ...\")\n"
     L"                     werden eine je Zeile, Leerzeichenfolgen ein Leerzeichen\n"
     L"  --ohne-bilder      Eintr\u00e4ge, die aus Zeichen gezeichnet sind, auslassen\n"
     L"Ohne --format wird eine Quelle, deren Eintr\u00e4ge meist \"F:\"/\"A:\"-R\u00e4tsel "
     L"sind,\nals raetsel gelesen.\n"
     L"Die Datei wird ganz unter einem vor\u00fcbergehenden Namen neben dem Ordner Witze\n"
     L"geschrieben und dann in einem Schritt nach Witze verschoben.\n",
     {L"--ersetzen", L"--anhaengen", L"--ersetzen-datei", L"--ohne-doppelte", L"--fliesstext",
      L"--fragen", L"--spalten", L"--ohne-bilder"},
     {L"--nach", L"--format", L"--ueberschrift"},
     1,
     SIZE_MAX,
     runImport},
    {L"pruefe",
     L"witz pruefe [ORDNER]",
     L"zeigt, was eine Sammlung in Pointex anders aussehen l\u00e4sst",
     L"Pr\u00fcft jede Datei des Ordners (ohne ORDNER: Witze im Ordner von -C) und nennt\n"
     L"je Befund Witznummer und Byte-Offset (ab 0): 0x1A vor dem Ende, LF am Ende,\n"
     L"leere Witze, CR ohne LF, gemischte Zeilenenden, UTF-8-Folgen, Bytes 0x00 und\n"
     L"0x80 bis 0x9F, Zeilen \u00fcber 64 KB, Dateien, die sich nicht \u00f6ffnen lassen,\n"
     L"Dateinamen, die Windows nicht annimmt, und Unterordner. Liest nur.\n"
     L"Als Hinweis, nicht als Befund: jeder Witz, der einen fr\u00fcheren wiederholt\n"
     L"(dieselben Buchstaben und Ziffern, Gro\u00df- und Kleinschreibung egal), mit\n"
     L"Kategorie und Nummer beider.\n"
     L"Exit-Status: 0 ohne Befund, 1 mit Befunden, 2 wenn der Ordner nicht lesbar ist.\n",
     {},
     {},
     0,
     1,
     runCheck},
    {L"einrichten",
     L"witz einrichten",
     L"die eigene Sammlung anlegen oder um neue Kategorien erg\u00e4nzen",
     L"Legt die eigene Sammlung an (~/.local/share/pointex oder $XDG_DATA_HOME/pointex),\n"
     L"wie es der Start von pointex tut: Aus der mitgelieferten Sammlung kopiert es\n"
     L"about, version, lizenz und QUELLEN.txt, wenn sie fehlen, und jede Kategorie\n"
     L"einmal. Eine Kategorie, die man gel\u00f6scht hat, kommt nicht wieder; eine, die\n"
     L"eine neue Version mitbringt, kommt dazu. Was in der Sammlung liegt, bleibt, wie\n"
     L"es ist. Die Datei .mitgeliefert nennt die Kategorien, die sie schon bekam.\n"
     L"witz import in die eigene Sammlung richtet sie ebenso ein. -C gilt hier nicht.\n",
     {},
     {},
     0,
     0,
     runSetUp},
};

bool hasSuppliedCollection() {
    for (const host::Collection& collection : host::fallbackCollections()) {
        if (collection.readOnly) {
            return true;
        }
    }
    return false;
}

void showOverview() {
    std::wstring text =
        L"witz: Witze aus dem Ordner \u201EWitze\u201C, wie Pointex sie zeigt.\n\n"
        L"Aufruf: witz [-C ORDNER] [BEFEHL] [ARGUMENTE]\n"
        L"        witz [-C ORDNER] KATEGORIE   (wie \u201Ewitz zeige KATEGORIE\u201C)\n\n"
        L"Befehle:\n";
    for (const Command& command : commands) {
        std::wstring name = *command.name != 0 ? command.name : L"(keiner)";
        // Where no installed collection stands apart (witz.exe), there is nothing to set up.
        if (command.run == runSetUp && !hasSuppliedCollection()) {
            continue;
        }
        text += L"  " + name + std::wstring(11 - name.size(), L' ') + command.help + L"\n";
    }
    text +=
        L"\nOptionen:\n"
        L"  -C ORDNER  der Ordner, in dem \u201EWitze\u201C liegt. Ohne -C der aus WITZ_ORDNER,\n"
        L"             sonst das Arbeitsverzeichnis, wenn es \u201EWitze\u201C enth\u00e4lt, "
        L"sonst\n"
        L"             " +
        std::wstring(host::fallbackHelp) +
        L"\n"
        L"  --kategorie-zuerst\n"
        L"             ohne Befehl: erst eine Kategorie ziehen, dann einen Witz daraus,\n"
        L"             wie Pointex' Knopf \u201EZ. Kat. & Witz\u201C (kleine Kategorien "
        L"\u00f6fter)\n"
        L"  --help     diese Hilfe (auch -h, -? und /?); nach einem Befehl dessen Hilfe\n"
        L"  --version  die Version von witz\n\n"
        L"Befehle und Optionen gehen auch mit \u00e4, \u00f6, \u00fc und \u00df "
        L"(pr\u00fcfe, --anh\u00e4ngen).\n";
    say(text);
}

void showHelp(const Command& command) {
    say(L"Aufruf: " + std::wstring(command.usage) + L"\n\n" + command.help + L"\n\n" +
        command.details);
}

const Command* findCommand(const std::wstring& name) {
    for (const Command& command : commands) {
        if (asciiSpelling(name) == command.name) {
            return &command;
        }
    }
    return nullptr;
}

int usageError(const std::wstring& text, const Command* command) {
    complain(text);
    complain(command != nullptr && *command->name != 0
                 ? L"Hilfe: witz " + std::wstring(command->name) + L" --help"
                 : std::wstring(L"Hilfe: witz --help"));
    return failed;
}

// Whether a word where a command goes can name a category without reading any file: a number
// from "witz liste", or the name of a file in the collection's folder, letter case aside. zeige
// then finds the category or says why not.
bool mayNameCategory(const std::wstring& directory, const std::wstring& word) {
    if (!word.empty() && word.find_first_not_of(L"0123456789") == std::wstring::npos) {
        return true;
    }
    std::vector<platform::FolderEntry> entries;
    std::wstring folder = directory + platform::pathSeparator + L"Witze";
    platform::listFolder(folder + platform::pathSeparator + L"*", entries);
    const std::u16string folded = upcasedName(word);
    for (const platform::FolderEntry& entry : entries) {
        if (!entry.isDirectory && upcasedName(entry.name) == folded) {
            return true;
        }
    }
    return false;
}

// Records a library warning, so that a refused search ends with status 2.
bool warned = false;

// The dropped file whose import is being reported (speakAbout), or empty.
std::wstring subject;

int reportWarning(const std::wstring& text, const std::wstring&, unsigned) {
    complain(text);
    warned = true;
    return 1;
}

} // namespace

void say(const std::wstring& text) {
    host::write(host::Stream::out, subject.empty() ? text : subject + L": " + text);
}

void complain(const std::wstring& text) {
    host::write(host::Stream::err, (subject.empty() ? L"witz" : subject) + L": " + text + L"\n");
}

void speakAbout(const std::wstring& name) {
    subject = name;
}

std::wstring asciiSpelling(const std::wstring& word) {
    static const std::pair<wchar_t, const wchar_t*> spellings[] = {
        {L'\u00e4', L"ae"}, {L'\u00f6', L"oe"}, {L'\u00fc', L"ue"}, {L'\u00df', L"ss"}};
    std::wstring spelled;
    for (wchar_t c : word) {
        const auto* found = std::find_if(std::begin(spellings), std::end(spellings),
                                         [c](const auto& spelling) { return spelling.first == c; });
        spelled += found != std::end(spellings) ? std::wstring(found->second) : std::wstring(1, c);
    }
    return spelled;
}

std::wstring counted(std::uint64_t count, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

std::wstring quotedList(const std::vector<std::wstring>& names) {
    std::wstring text;
    for (std::size_t k = 0; k < names.size(); ++k) {
        text += std::wstring(k == 0                 ? L""
                             : k + 1 < names.size() ? L", "
                                                    : L" und ") +
                L"\u201E" + names[k] + L"\u201C";
    }
    return text;
}

std::wstring shownAtNextStart(const std::vector<std::wstring>& categories) {
    return L"Pointex zeigt " +
           std::wstring(categories.size() == 1 ? L"die Kategorie " : L"die Kategorien ") +
           quotedList(categories) + L" ab seinem n\u00e4chsten Start.\n";
}

bool libraryWarned() {
    return warned;
}

int runWitz(const std::vector<std::wstring>& args) {
    platform::messageBox = reportWarning;
    warned = false;
    Arguments parsed;
    const Command* command = nullptr;
    bool help = false;
    bool directoryGiven = false;
    std::wstring shortcut; // a category named where a command goes
    bool optionsEnded = false;
    bool version = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        // Every console program of Windows shows its help for "/?".
        if (!optionsEnded && arg == L"/?") {
            help = true;
            continue;
        }
        bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == L'-';
        if (!isOption) {
            if (command == nullptr) {
                command = findCommand(arg);
                // "witz NAME" shows a joke of that category, as fortune does with its files.
                if (command == nullptr) {
                    command = findCommand(L"zeige");
                    shortcut = arg;
                    parsed.positional.push_back(arg);
                }
            } else {
                parsed.positional.push_back(arg);
            }
            continue;
        }
        if (arg == L"--") {
            optionsEnded = true;
        } else if (arg == L"--help" || arg == L"-h" || arg == L"-?") {
            help = true;
        } else if (arg == L"--version") {
            version = true;
        } else if (arg == L"-C") {
            if (i + 1 == args.size()) {
                return usageError(L"-C braucht einen Ordner.", command);
            }
            parsed.directory = args[++i];
            directoryGiven = true;
        } else {
            std::size_t equals = arg.find(L'=');
            std::wstring name = asciiSpelling(arg.substr(0, equals));
            // Before any command word the options are those of the command without a name.
            const Command* owner = command != nullptr ? command : &commands[0];
            if (owner->flags.count(name) != 0 && equals == std::wstring::npos) {
                parsed.flags.insert(name);
            } else if (owner->valueOptions.count(name) != 0) {
                if (equals == std::wstring::npos && i + 1 == args.size()) {
                    return usageError(name + L" braucht einen Wert.", command);
                }
                parsed.values[name] =
                    equals != std::wstring::npos ? arg.substr(equals + 1) : args[++i];
            } else {
                return usageError(L"Unbekannte Option \u201E" + arg + L"\u201C.", command);
            }
        }
    }
    if (version) {
        say(L"witz " + std::to_wstring(POINTEX_VERSION_MAJOR) + L"." +
            std::to_wstring(POINTEX_VERSION_MINOR) + L"." + std::to_wstring(POINTEX_VERSION_PATCH) +
            L"\n");
        return success;
    }
    if (help && !shortcut.empty()) {
        return usageError(L"Unbekannter Befehl \u201E" + shortcut + L"\u201C.", nullptr);
    }
    if (help) {
        if (command == nullptr) {
            showOverview();
        } else {
            showHelp(*command);
        }
        return success;
    }
    if (command == nullptr) {
        command = &commands[0];
    }
    for (const std::wstring& flag : parsed.flags) {
        if (command->flags.count(flag) == 0) {
            return usageError(L"Unbekannte Option \u201E" + flag + L"\u201C.", command);
        }
    }
    if (parsed.positional.size() < command->minimum ||
        parsed.positional.size() > command->maximum) {
        return usageError(L"Aufruf: " + std::wstring(command->usage), command);
    }
    if (!directoryGiven) {
        parsed.directory = host::environment(folderVariable);
    }
    if (parsed.directory.empty()) {
        findCollection(parsed);
    } else {
        // "dir/" and "dir" name the same folder; the library adds its own separator. A root
        // ("/", "C:\\") keeps its separator.
        std::wstring& folder = parsed.directory;
        while (folder.size() > 1 && !(folder.size() == 3 && folder[1] == L':') &&
               (folder.back() == L'/' || folder.back() == platform::pathSeparator)) {
            folder.pop_back();
        }
    }
    // pruefe with a folder of its own needs no collection.
    bool named = directoryGiven || !host::environment(folderVariable).empty();
    if (!(command->run == runCheck && !parsed.positional.empty()) &&
        !collectionFolderThere(parsed, named)) {
        return failed;
    }
    if (!shortcut.empty() && !mayNameCategory(parsed.directory, shortcut)) {
        return usageError(L"\u201E" + shortcut +
                              L"\u201C ist weder ein Befehl noch eine Kategorie; \u201Ewitz "
                              L"liste\u201C zeigt die Kategorien.",
                          nullptr);
    }
    return command->run(parsed);
}
