// Reading joke files block by block: counting lines, skipping to a line, reading its parts.
#include "joke_reader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t blockSize = 128 * 1024;
} // namespace

std::size_t countLineEnds(const unsigned char* data, std::size_t size) {
    // Counted in runs short enough for an 8-bit lane each, so the compiler can vectorise it.
    std::size_t total = 0;
    while (size > 0) {
        std::size_t run = std::min<std::size_t>(size, 255 * 16);
        std::uint32_t count = 0;
        for (std::size_t i = 0; i < run; ++i) {
            count += data[i] == lineEnd;
        }
        total += count;
        data += run;
        size -= run;
    }
    return total;
}

JokeFile::JokeFile(const std::wstring& path) : file(platform::openTextFile(path)) {
    if (file) {
        buffer.reset(new unsigned char[blockSize]);
    }
}

bool JokeFile::fill() {
    if (position < length) {
        return true;
    }
    position = 0;
    length = file ? platform::readTextBlock(file.get(), buffer.get(), blockSize) : 0;
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
    std::uint32_t count = n > 1 ? n - 1 : 0;
    while (count > 0 && fill()) {
        const unsigned char* start = buffer.get() + position;
        const void* found = std::memchr(start, lineEnd, length - position);
        if (found == nullptr) {
            position = length;
            continue;
        }
        position += static_cast<const unsigned char*>(found) - start + 1;
        --count;
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

std::wstring intToString(std::int32_t value) { return std::to_wstring(value); }
