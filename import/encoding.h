// Reading the bytes of a source as characters (UTF-16, UTF-8 or Windows-1252), the plain forms
// of typographic characters, and what no source of jokes can be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How the bytes of a source were read.
enum class SourceEncoding { utf8, utf16, windows1252 };

// Stands in the text of a source for bytes that are no character of its encoding: past the end
// of Unicode, so no source holds it and no rule takes it for a letter or a blank.
constexpr char32_t undecodable = 0x110000;

// Bytes that are no character of a source's encoding, where they stand.
struct UndecodableBytes {
    std::uint32_t line;   // from 1
    std::uint32_t column; // the character of that line, from 1
    std::size_t offset;   // of the first in the source's bytes
    std::size_t length;   // 1 to 3
};

struct DecodedSource {
    std::u32string text; // each run of undecodable bytes as one character `undecodable`
    SourceEncoding encoding = SourceEncoding::utf8;
    bool byteOrderMark = false;
    // In the order of the text.
    std::vector<UndecodableBytes> undecodable;
};

// The character a byte stands for in Windows-1252; the five bytes it leaves undefined stand for
// themselves, C1 control characters.
char32_t windows1252Character(unsigned char byte);

// The whole source as characters, C1 control characters read as the Windows-1252 characters of
// their bytes:
// - after a byte-order mark, in the encoding it marks (UTF-16 in either order, or UTF-8), every
//   byte that is no character of it undecodable;
// - else UTF-8 when all of it is UTF-8;
// - else, when it holds UTF-8 that German text has and Windows-1252 text hardly ever (see
//   encoding.cpp), a mixed file: UTF-8 with the bytes that are none undecodable;
// - else Windows-1252 (Notepad's "ANSI"), each byte one character.
DecodedSource decode(const std::string& bytes);

// The plain form of a common typographic character ("EUR" for €, " for „), or nullptr.
const char* plainForm(char32_t c);

// Why bytes cannot be a source of jokes (a strfile index, a document of a word processor, a PDF,
// a picture, binary data), as a German text that names the path and says what to do; empty when
// they can.
std::wstring whyNotText(const std::string& bytes, const std::wstring& path);
