// Records from the lines of a source, in each of its formats, and riddles with "F:"/"A:".
#include "records.h"

#include <algorithm>

#include "encoding.h"
#include "library/latin1.h"

namespace {

std::u32string trimmedEnd(const std::u32string& line) {
    std::size_t end = line.size();
    while (end > 0 && isBlank(line[end - 1])) {
        --end;
    }
    return line.substr(0, end);
}

// The first column from the given one on that holds no blank.
std::size_t afterBlanks(const std::u32string& text, std::size_t column = 0) {
    while (column < text.size() && isBlank(text[column])) {
        ++column;
    }
    return column;
}

// The column after a line's "F:" or "A:" and the blanks behind it, or 0 without that mark.
std::size_t afterMark(const std::u32string& text, char32_t letter) {
    std::size_t column = afterBlanks(text);
    if (text.size() < column + 2 || text[column] != letter || text[column + 1] != U':') {
        return 0;
    }
    return afterBlanks(text, column + 2);
}

bool isRiddle(const Record& record) {
    auto marks = [](char32_t letter) {
        return
            [letter](const RecordLine& line) { return afterMark(line.source->text, letter) > 0; };
    };
    auto question = std::find_if(record.begin(), record.end(), marks(U'F'));
    return question != record.end() && std::any_of(question, record.end(), marks(U'A'));
}

bool isPercentLine(const Line& line) {
    return line.text == U"%";
}

void readFortune(const std::vector<Line>& lines, std::vector<Record>& records) {
    std::size_t first = records.size();
    records.emplace_back();
    for (const Line& line : lines) {
        if (isPercentLine(line)) {
            records.emplace_back();
        } else {
            records.back().push_back({&line});
        }
    }
    // A "%" as the first or the last line opens or closes the file; no record stands there.
    if (records.size() - first > 1 && records[first].empty()) {
        records.erase(records.begin() + static_cast<std::ptrdiff_t>(first));
    }
    if (records.size() > first && records.back().empty()) {
        records.pop_back();
    }
}

void readText(const std::vector<Line>& lines, std::vector<Record>& records) {
    Record record;
    bool partPending = false;
    for (std::size_t k = 0; k <= lines.size(); ++k) {
        if (k == lines.size() || isBlankLine(lines[k].text)) {
            if (!record.empty()) {
                records.push_back(std::move(record));
            }
            record = Record();
            partPending = false;
        } else if (trimmedEnd(lines[k].text) == U"--") {
            partPending = true;
        } else {
            record.push_back({&lines[k], 0, partPending && !record.empty()});
            partPending = false;
        }
    }
}

// Riddles without "%" or paragraphs: a question after an answer starts the next riddle.
void readRiddleLines(const std::vector<Line>& lines, std::vector<Record>& records) {
    Record record;
    bool answered = false;
    for (const Line& line : lines) {
        if (answered && afterMark(line.text, U'F') > 0) {
            records.push_back(std::move(record));
            record = Record();
            answered = false;
        }
        answered = answered || afterMark(line.text, U'A') > 0;
        record.push_back({&line});
    }
    if (!record.empty()) {
        records.push_back(std::move(record));
    }
}

void readList(const std::vector<Line>& lines, std::vector<Record>& records) {
    for (const Line& line : lines) {
        records.emplace_back();
        records.back().push_back({&line});
    }
}

// Fortune when a line holds only "%"; text when a line holds only "--" or a blank line stands
// between two others, so that paragraphs mean something; otherwise a list, one joke a line.
SourceFormat detectFormat(const std::vector<Line>& lines) {
    if (std::any_of(lines.begin(), lines.end(), isPercentLine)) {
        return SourceFormat::fortune;
    }
    if (std::any_of(lines.begin(), lines.end(),
                    [](const Line& line) { return trimmedEnd(line.text) == U"--"; })) {
        return SourceFormat::text;
    }
    bool textSeen = false;
    bool blankAfterText = false;
    for (const Line& line : lines) {
        if (isBlankLine(line.text)) {
            blankAfterText = textSeen;
        } else if (blankAfterText) {
            return SourceFormat::text;
        } else {
            textSeen = true;
        }
    }
    return SourceFormat::list;
}

const FormatEntry& entryOf(SourceFormat format) {
    return *std::find_if(std::begin(sourceFormats), std::end(sourceFormats),
                         [&](const FormatEntry& entry) { return entry.format == format; });
}

// Blank lines at a record's edges only set it off in its source: a joke neither begins nor
// ends with an empty line.
void dropBlankEdges(Record& record) {
    auto blank = [](const RecordLine& line) { return isBlankLine(line.source->text); };
    while (!record.empty() && blank(record.back())) {
        record.pop_back();
    }
    record.erase(record.begin(), std::find_if_not(record.begin(), record.end(), blank));
}

std::vector<Record> read(const std::vector<Line>& lines, SourceFormat format, bool riddles) {
    std::vector<Record> records;
    entryOf(riddles && format == SourceFormat::list ? SourceFormat::riddle : format)
        .read(lines, records);
    std::for_each(records.begin(), records.end(), dropBlankEdges);
    return records;
}

// More than half of the records that are not blank are riddles: a file of "F:"/"A:" pairs, even
// where it was dropped on witz.exe and no --format could be given.
bool mostlyRiddles(const std::vector<Record>& records) {
    std::size_t riddles = 0;
    std::size_t filled = 0;
    for (const Record& record : records) {
        bool blank = isBlankRecord(record);
        filled += blank ? 0 : 1;
        riddles += isRiddle(record) ? 1 : 0;
    }
    return riddles > 0 && 2 * riddles > filled;
}

} // namespace

const FormatEntry sourceFormats[4] = {
    {SourceFormat::fortune, L"fortune", L"Fortune-Datei", readFortune},
    {SourceFormat::text, L"text", L"Text in Abs\u00e4tzen", readText},
    {SourceFormat::list, L"liste", L"Liste", readList},
    {SourceFormat::riddle, L"raetsel", L"R\u00e4tsel", readRiddleLines},
};

std::vector<Line> splitLines(const std::u32string& text) {
    std::vector<Line> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), U'\n')) + 1);
    std::size_t start = 0;
    std::uint32_t number = 1;
    while (start < text.size()) {
        std::size_t end = text.find(U'\n', start);
        std::size_t next = end == std::u32string::npos ? text.size() : end + 1;
        if (end == std::u32string::npos) {
            end = text.size();
        } else if (end > start && text[end - 1] == U'\r') {
            --end;
        }
        lines.push_back({text.substr(start, end - start), number++});
        start = next;
    }
    return lines;
}

bool isBlank(char32_t c) {
    if (c <= 0xFF && latin1::isBlank(static_cast<unsigned char>(c))) {
        return true;
    }
    const char* plain = plainForm(c);
    return plain != nullptr && plain[0] == ' ';
}

bool isBlankLine(const std::u32string& line) {
    return std::all_of(line.begin(), line.end(), isBlank);
}

bool isBlankLine(const std::string& line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return latin1::isBlank(static_cast<unsigned char>(c)); });
}

bool isBlankRecord(const Record& record) {
    return std::all_of(record.begin(), record.end(),
                       [](const RecordLine& line) { return isBlankLine(line.source->text); });
}

std::vector<Record> readRecords(const std::vector<Line>& lines, SourceFormat& format) {
    bool riddles = format == SourceFormat::riddle;
    SourceFormat found =
        format == SourceFormat::automatic || riddles ? detectFormat(lines) : format;
    std::vector<Record> records = read(lines, found, riddles);
    // Only a list is read otherwise as riddles; the records of the other formats are judged as
    // they are.
    if (format == SourceFormat::automatic && found != SourceFormat::list) {
        riddles = mostlyRiddles(records);
    } else if (format == SourceFormat::automatic) {
        std::vector<Record> asRiddles = read(lines, found, true);
        if (mostlyRiddles(asRiddles)) {
            records = std::move(asRiddles);
            riddles = true;
        }
    }
    format = riddles ? SourceFormat::riddle : found;
    return records;
}

Record shapedRiddle(const Record& record) {
    if (!isRiddle(record)) {
        return record;
    }
    Record riddle;
    for (const RecordLine& recordLine : record) {
        const Line& line = *recordLine.source;
        if (isBlankLine(line.text)) {
            continue;
        }
        std::size_t question = afterMark(line.text, U'F');
        std::size_t answer = afterMark(line.text, U'A');
        std::size_t from = question > 0 ? question : answer > 0 ? answer : afterBlanks(line.text);
        riddle.push_back({&line, from, !riddle.empty() && (answer > 0 || recordLine.startsPart),
                          question > 0 || answer > 0});
    }
    return riddle;
}
