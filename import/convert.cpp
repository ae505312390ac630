// Conversion of fortune files and plain text into joke file lines, and file name rules.
#include "convert.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char lineBreakByte = 0x11;
constexpr char partSeparatorByte = 0x12;

// Bytes that would end the file (0x1A), split or break the line (0x12, 0x11, a CR that joins
// the LF after it), cut the text shown (0x00) or break it in the About texts (0x0F); and the C1
// control characters 0x80 to 0x9F, which Pointex shows as nothing.
bool isFormatByte(char32_t c) {
    return c == 0x00 || c == 0x0D || c == 0x0F || c == 0x11 || c == 0x12 || c == 0x1A ||
           (c >= 0x80 && c <= 0x9F);
}

// The records of one source as jokes in ISO 8859-1, each character checked where it stands in
// the source.
class Converter {
  public:
    Converter(const std::wstring& source, const std::string& bytes, const DecodedSource& decoded,
              SourceReading reading, bool replaceUnknown, Conversion& conversion)
        : source(source), bytes(bytes), decoded(decoded), reading(reading),
          replaceUnknown(replaceUnknown), riddles(reading.format == SourceFormat::riddle),
          conversion(conversion) {}

    void add(const Record& record) {
        ++recordNumber;
        if (isBlankRecord(record)) {
            ++conversion.skipped;
            return;
        }
        const Record& shaped = riddles ? shapedRiddle(record) : record;
        Joke joke(1);
        joke.back().reserve(shaped.size());
        for (std::size_t k = 0; k < shaped.size(); ++k) {
            const RecordLine& line = shaped[k];
            if (k > 0 && line.startsPart) {
                joke.emplace_back();
            }
            joke.back().push_back({convert(*line.source, line.column), line.column, line.marked});
        }
        jokes.push_back(std::move(joke));
    }

    std::vector<Joke> jokes;

  private:
    std::string convert(const Line& line, std::size_t from) {
        std::string text;
        for (std::size_t column = from; column < line.text.size(); ++column) {
            char32_t c = line.text[column];
            if (const char* plain = plainForm(c)) {
                text += plain;
                ++conversion.mapped;
            } else if (c <= 0xFF && !isFormatByte(c)) {
                text += static_cast<char>(c);
            } else if (replaceUnknown) {
                text += '?';
                ++conversion.replaced;
            } else {
                ++(c == undecodable ? conversion.refusedBytes : conversion.refusedCharacters);
                if (conversion.problems.size() < problemsKept) {
                    auto at = static_cast<std::uint32_t>(column + 1);
                    conversion.problems.push_back({source, recordNumber, line.number, at, c,
                                                   c == undecodable ? bytesAt(line.number, at) : "",
                                                   reading});
                }
            }
        }
        return text;
    }

    // The runs are in the order of the text, so in the order of their lines and columns.
    std::string bytesAt(std::uint32_t line, std::uint32_t column) const {
        auto run = std::lower_bound(
            decoded.undecodable.begin(), decoded.undecodable.end(), std::make_pair(line, column),
            [](const UndecodableBytes& run, std::pair<std::uint32_t, std::uint32_t> at) {
                return std::make_pair(run.line, run.column) < at;
            });
        return run != decoded.undecodable.end() && run->line == line && run->column == column
                   ? bytes.substr(run->offset, run->length)
                   : std::string();
    }

    const std::wstring& source;
    const std::string& bytes;
    const DecodedSource& decoded;
    SourceReading reading;
    bool replaceUnknown;
    bool riddles;
    Conversion& conversion;
    std::uint32_t recordNumber = 0;
};

// One line of the joke file: 0x12 before each part after the first, 0x11 between lines.
std::string jokeBytes(const Joke& joke) {
    std::size_t size = 0;
    for (const std::vector<JokeLine>& part : joke) {
        for (const JokeLine& line : part) {
            size += line.text.size() + 1;
        }
    }
    std::string bytes;
    bytes.reserve(size);
    for (std::size_t p = 0; p < joke.size(); ++p) {
        for (std::size_t k = 0; k < joke[p].size(); ++k) {
            if (p > 0 || k > 0) {
                bytes += k == 0 ? partSeparatorByte : lineBreakByte;
            }
            bytes += joke[p][k].text;
        }
    }
    return bytes;
}

} // namespace

SourceReading convertSource(const std::string& bytes, const std::wstring& sourceName,
                            SourceFormat format, bool replaceUnknown, Conversion& conversion,
                            const Editing& editing) {
    return convertDecoded(bytes, decode(bytes), sourceName, format, replaceUnknown, conversion,
                          editing);
}

SourceReading convertDecoded(const std::string& bytes, const DecodedSource& decoded,
                             const std::wstring& sourceName, SourceFormat format,
                             bool replaceUnknown, Conversion& conversion, const Editing& editing) {
    SourceReading reading{format, decoded.encoding, decoded.byteOrderMark};
    std::vector<Line> lines = splitLines(decoded.text);
    std::vector<Record> records = readRecords(lines, reading.format);
    Converter converter(sourceName, bytes, decoded, reading, replaceUnknown, conversion);
    for (const Record& record : records) {
        converter.add(record);
    }
    conversion.drawings += editJokes(converter.jokes, editing);
    for (const Joke& joke : converter.jokes) {
        conversion.jokes.push_back(jokeBytes(joke));
    }
    return reading;
}

std::string appendJokes(const std::string& existing, const std::vector<std::string>& jokes) {
    std::string bytes = existing;
    // An empty file and a file ending in LF both end in an empty joke, which the first new
    // one fills.
    bool needsLineEnd = !existing.empty() && existing.back() != '\n';
    for (const std::string& joke : jokes) {
        if (needsLineEnd) {
            bytes += '\n';
        }
        bytes += joke;
        needsLineEnd = true;
    }
    return bytes;
}
