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

// One record: its lines, before which of them a new solution part starts, from which character
// each line is taken, and which lines lost a riddle's mark ("F:", "A:") there.
struct Record {
    std::vector<const Line*> lines;
    std::vector<bool> startsPart;
    std::vector<std::size_t> from;
    std::vector<bool> marked;

    void add(const Line& line, bool part, std::size_t column = 0, bool mark = false) {
        lines.push_back(&line);
        startsPart.push_back(part);
        from.push_back(column);
        marked.push_back(mark);
    }
};

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

bool isBlank(char32_t c);
bool isBlankLine(const std::u32string& line);

// The records of the lines in the format given; an automatic format becomes the one found.
std::vector<Record> readRecords(const std::vector<Line>& lines, SourceFormat& format);

// A record in riddle form when it holds a question ("F:") and after it an answer ("A:"): the
// answers start solution parts, blank lines go, and so do the marks and the indent of the other
// lines. Any other record as it is.
Record shapedRiddle(const Record& record);
