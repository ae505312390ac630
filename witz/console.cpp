// witz's output on every system: the buffers, the plain forms and the breaking of lines.
#include "console.h"

#include <cstdint>
#include <cstring>

#include "import/encoding.h"
#include "library/utf8.h"

namespace host {
namespace {

constexpr std::size_t tabStop = 8;
constexpr std::size_t markSize = 3;
// A buffer this full is written out, but for a line not yet ended.
constexpr std::size_t bufferLimit = 64 * 1024;

std::string buffers[2];
std::string spares[2];

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isMark(const std::string& text, std::size_t i) {
    return text.compare(i, markSize, indentMarkUtf8) == 0 ||
           text.compare(i, markSize, wholeLineUtf8) == 0;
}

// Each character takes a column: UTF-8 continuation bytes take none.
std::size_t columnsOf(const std::string& text) {
    std::size_t columns = 0;
    for (char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return columns;
}

// The blanks before a word as they are shown from a column on: a tab reaches the next tab stop.
std::size_t gapColumns(const std::string& gap, std::size_t column) {
    std::size_t end = column;
    for (char c : gap) {
        end = c == '\t' ? (end / tabStop + 1) * tabStop : end + 1;
    }
    return end - column;
}

// One line without its LF, broken to width and appended to out.
void wrapLine(const std::string& line, std::size_t width, std::string& out) {
    if (line.compare(0, markSize, wholeLineUtf8) == 0) {
        out.append(line, markSize, std::string::npos);
        return;
    }
    std::size_t column = 0;
    std::size_t indent = std::string::npos; // of the continuation lines, once known
    bool marked = false;                    // the next word begins the continuation lines' column
    bool lineHasWord = false;
    std::string gap;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            gap += line[i++];
            continue;
        }
        std::string word;
        for (; i < line.size() && !isBlank(line[i]); ++i) {
            if (isMark(line, i)) {
                marked = marked || line.compare(i, markSize, indentMarkUtf8) == 0;
                i += markSize - 1;
            } else {
                word += line[i];
            }
        }
        if (word.empty()) {
            continue;
        }
        const std::size_t wordColumns = columnsOf(word);
        const std::size_t blanks = gapColumns(gap, column);
        if (lineHasWord && column + blanks + wordColumns > width) {
            // Deep indentation would leave too little room: such lines begin at the left.
            const std::size_t hang =
                indent != std::string::npos && 2 * indent <= width ? indent : 0;
            out += '\n';
            out.append(hang, ' ');
            column = hang;
        } else {
            out.append(blanks, ' ');
            column += blanks;
        }
        if (marked || indent == std::string::npos) {
            indent = column;
            marked = false;
        }
        out += word;
        column += wordColumns;
        lineHasWord = true;
        gap.clear();
    }
    const std::size_t blanks = gapColumns(gap, column);
    if (column + blanks <= width) {
        out.append(blanks, ' ');
    }
}

void removeMarks(std::string& text) {
    std::size_t to = text.find("\xEF\xB7");
    if (to == std::string::npos) {
        return;
    }
    for (std::size_t from = to; from < text.size();) {
        if (isMark(text, from)) {
            from += markSize;
        } else {
            text[to++] = text[from++];
        }
    }
    text.resize(to);
}

// Writes the buffer's text, or with whole false only its ended lines.
void flushStream(Stream stream, bool whole) {
    std::string& buffer = buffers[static_cast<int>(stream)];
    const std::size_t width = terminal.columns(stream);
    // Only a terminal's lines are broken, and so need to be whole.
    const std::size_t end = whole || width == 0 ? buffer.size() : buffer.rfind('\n') + 1;
    if (end == 0) {
        return;
    }
    // The text leaves its buffer for a second one, and both keep their room for the next text.
    std::string& text = spares[static_cast<int>(stream)];
    text.swap(buffer);
    buffer.assign(text, end, std::string::npos);
    text.resize(end);
    usePlainForms(text, stream);
    if (width > 0) {
        terminal.write(stream, wrapText(text, width));
    } else {
        removeMarks(text);
        terminal.write(stream, text);
    }
    text.clear();
}

} // namespace

void write(Stream stream, const std::wstring& text) {
    writeUtf8(stream, toUtf8(text));
}

void writeUtf8(Stream stream, const std::string& text) {
    std::string& buffer = buffers[static_cast<int>(stream)];
    buffer += text;
    if (stream == Stream::err) {
        flushStream(Stream::out, true);
        flushStream(Stream::err, true);
    } else if (buffer.size() >= bufferLimit) {
        flushStream(stream, false);
    }
}

void flush() {
    flushStream(Stream::out, true);
    flushStream(Stream::err, true);
}

bool wraps(Stream stream) {
    return terminal.columns(stream) > 0;
}

std::string wrapText(const std::string& text, std::size_t width) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        wrapLine(text.substr(start, end - start), width, out);
        if (end == std::string::npos) {
            break;
        }
        out += '\n';
        start = end + 1;
    }
    return out;
}

void usePlainForms(std::string& text, Stream stream) {
    // A joke's characters are ISO 8859-1's. Where the output holds those of them that have a
    // plain form, only characters from U+0100 on (UTF-8 from the byte 0xC4 on) need a look.
    unsigned char first = 0xC4;
    for (char32_t c = 0xA0; c <= 0xFF; ++c) {
        if (plainForm(c) != nullptr && !terminal.holds(stream, c)) {
            first = 0x80;
        }
    }
    // Whether a byte of a word is first or more, without a carry between the bytes.
    constexpr std::uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
    const std::uint64_t add = ones * (0x80 - (first - 0x80));
    auto hasFirst = [add](std::uint64_t word) { return ((word & ~highs) + add) & word & highs; };
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    std::string shown;
    std::size_t copied = 0; // text before this is in shown
    for (std::size_t i = 0; i < text.size();) {
        // Most of a text has no such byte: 32 bytes a step, then eight.
        std::uint64_t words[4];
        while (i + 32 <= text.size() &&
               (std::memcpy(words, data + i, 32), (hasFirst(words[0]) | hasFirst(words[1]) |
                                                   hasFirst(words[2]) | hasFirst(words[3])) == 0)) {
            i += 32;
        }
        while (i + 8 <= text.size() && (std::memcpy(words, data + i, 8), hasFirst(words[0]) == 0)) {
            i += 8;
        }
        if (i == text.size() || data[i] < first) {
            i += i < text.size();
            continue;
        }
        char32_t c = 0;
        const std::size_t length = decodeUtf8(data + i, text.size() - i, c);
        if (length == 0) {
            // Not UTF-8: a file name's byte on a POSIX system, written as it is stored.
            ++i;
            continue;
        }
        if (const char* plain = plainForm(c); plain != nullptr && !terminal.holds(stream, c)) {
            shown.append(text, copied, i - copied);
            shown += plain;
            copied = i + length;
        }
        i += length;
    }
    if (copied > 0) {
        shown.append(text, copied, std::string::npos);
        text = std::move(shown);
    }
}

} // namespace host
