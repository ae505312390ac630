// Reading joke files block by block: counting lines, skipping to a line, reading its parts.
#include "joke_reader.h"

#include <cstring>

#include "byte_scan.h"

JokeFile::JokeFile(const std::wstring& path) : file(platform::openTextFile(path)) {
    if (file) {
        buffer.reset(new unsigned char[readBlockSize]);
    }
}

bool JokeFile::fill() {
    if (position < length) {
        return true;
    }
    position = 0;
    length = file ? file->read(buffer.get(), readBlockSize) : 0;
    return length > 0;
}

JokeFile::Block JokeFile::nextBlock() {
    if (!fill()) {
        return {nullptr, 0};
    }
    Block block{buffer.get() + position, length - position};
    position = length;
    return block;
}

std::uint32_t JokeFile::countLineEnds() {
    std::size_t count = 0;
    while (fill()) {
        count += ::countLineEnds(buffer.get() + position, length - position);
        position = length;
    }
    return static_cast<std::uint32_t>(count);
}

void JokeFile::skipToLine(std::uint32_t n) {
    // Up to this many lines are passed with one search each; readers of nearby lines (a
    // search's hits) would otherwise count the rest of the block for every line.
    constexpr std::uint32_t nearLines = 32;
    std::uint32_t count = n > 1 ? n - 1 : 0;
    while (count > 0 && fill()) {
        const unsigned char* start = buffer.get() + position;
        const unsigned char* end = buffer.get() + length;
        // Blocks before the line's are passed over with one vector count each, rather than
        // one search per line.
        if (count > nearLines) {
            std::size_t ends = ::countLineEnds(start, length - position);
            if (ends < count) {
                count -= static_cast<std::uint32_t>(ends);
                position = length;
                continue;
            }
        }
        const unsigned char* at = start;
        for (; count > 0; --count) {
            const void* next = std::memchr(at, lineEnd, static_cast<std::size_t>(end - at));
            if (next == nullptr) {
                at = end;
                break;
            }
            at = static_cast<const unsigned char*>(next) + 1;
        }
        position += static_cast<std::size_t>(at - start);
    }
}

template <typename Append>
JokeFile::PartEnd JokeFile::scanPart(Append append) {
    while (fill()) {
        const unsigned char* start = buffer.get() + position;
        std::size_t available = length - position;
        std::size_t i = 0;
        while (i < available && start[i] != lineEnd && start[i] != partSeparator) {
            ++i;
        }
        append(start, i);
        if (i < available) {
            position += i + 1;
            return start[i] == partSeparator ? PartEnd::separator : PartEnd::lineEnd;
        }
        position = length;
    }
    return PartEnd::fileEnd;
}

JokeFile::PartEnd JokeFile::readPart(std::wstring& text) {
    return scanPart([&text](const unsigned char* bytes, std::size_t size) {
        text.append(bytes, bytes + size);
    });
}

JokeFile::PartEnd JokeFile::skipPart() {
    return scanPart([](const unsigned char*, std::size_t) {});
}

std::wstring expandLineBreaks(const std::wstring& text) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (c == lineBreak) {
            result += L"\r\n";
        } else {
            result += c;
        }
    }
    return result;
}

std::wstring readTextFile(const std::wstring& name) {
    JokeFile file(name);
    if (!file.isOpen()) {
        return L"Die Datei \"" + name + L"\" wurde nicht gefunden!";
    }
    std::wstring text;
    for (JokeFile::Block block = file.nextBlock(); block.size > 0; block = file.nextBlock()) {
        for (std::size_t i = 0; i < block.size; ++i) {
            unsigned char byte = block.data[i];
            if (byte == lineEnd || byte == 0x0F) {
                text += L"\r\n";
            } else {
                text += static_cast<wchar_t>(byte);
            }
        }
    }
    return text;
}

std::wstring intToString(std::int32_t value) {
    return std::to_wstring(value);
}
