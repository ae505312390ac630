// Reading the bytes of a source as characters (UTF-16, UTF-8 or Windows-1252), the plain forms
// of typographic characters, and what no source of jokes can be.
#pragma once

#include <string>

// How the bytes of a source were read.
enum class SourceEncoding { utf8, utf16, windows1252 };

// The character a byte stands for in Windows-1252; the five bytes it leaves undefined stand for
// themselves, C1 control characters.
char32_t windows1252Character(unsigned char byte);

// The whole source as characters: UTF-16 after its byte-order mark, else UTF-8 when it is valid
// (a leading byte-order mark dropped), else Windows-1252. C1 control characters are read as the
// Windows-1252 characters of their bytes.
std::u32string decode(const std::string& bytes, SourceEncoding& encoding);

// The plain form of a common typographic character ("EUR" for €, " for „), or nullptr.
const char* plainForm(char32_t c);

// Why bytes cannot be a source of jokes (a strfile index, binary data), as a German text that
// names the path; empty when they can.
std::wstring whyNotText(const std::string& bytes, const std::wstring& path);
