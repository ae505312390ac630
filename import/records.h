// The record formats of a source: fortune files, text in paragraphs, lists and riddles with
// "F:"/"A:", in one table, and the detection of a source's format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class SourceFormat {
    automatic, // fortune when a line holds only "%", else text when a blank line parts
               // paragraphs, else list; riddle when most of those records are riddles
    fortune,   // records end at a line that holds only "%"
    text,      // one joke per paragraph; a line holding only "--" starts a solution part
    list,      // one joke per line
    riddle,    // records as detected; in a record that starts with "F:", each "A:" line
               // starts a solution part
};

struct Line {
    std::u32string text;
    std::uint32_t number; // from 1
};

// A line of a record: its line of the source, the character it is taken from (the column, as
// JokeLine names it too), whether a new solution part starts before it, and whether it lost a
// riddle's mark ("F:", "A:") there.
struct RecordLine {
    const Line* source;
    std::size_t column = 0;
    bool startsPart = false;
    bool marked = false;
};

// One record: its lines in order.
using Record = std::vector<RecordLine>;

struct FormatEntry {
    SourceFormat format;
    const wchar_t* option; // the value of --format
    const wchar_t* shown;  // in the import's report
    void (*read)(const std::vector<Line>& lines, std::vector<Record>& records);
};

// fortune, text, list, riddle; riddle's reader takes the place of list's.
extern const FormatEntry sourceFormats[4];

// Lines split at LF, a CR before the LF dropped; no line after a final LF.
std::vector<Line> splitLines(const std::u32string& text);

// A blank of a source: blank, tab, and the characters witz import writes as a blank (plainForm).
bool isBlank(char32_t c);
// Whether a line holds only blanks: a line of a source, or one converted to ISO 8859-1.
bool isBlankLine(const std::u32string& line);
bool isBlankLine(const std::string& line);
// Whether every line of the record is blank, or it has none.
bool isBlankRecord(const Record& record);

// The records of the lines in the format given; an automatic format becomes the one found.
std::vector<Record> readRecords(const std::vector<Line>& lines, SourceFormat& format);

// A record in riddle form when it holds a question ("F:") and after it an answer ("A:"): the
// answers start solution parts, blank lines go, and so do the marks and the indent of the other
// lines. Any other record as it is.
Record shapedRiddle(const Record& record);
