// witz's output, the same on every system: text buffered per stream, with the typographic
// characters the output's character set lacks in their plain forms, broken at blanks to the width
// of a terminal or console and left whole for a file or a pipe; written through host::terminal.
#pragma once

#include <cstddef>
#include <string>

#include "system.h"

namespace host {

// Marks in the text written, taken out before it is shown. A line's continuation lines begin
// under the word after indentMark (a search hit's text); without one, under the line's own
// indentation. A line that begins with wholeLine is never broken (a command meant for copying).
constexpr wchar_t indentMark = L'\uFDD0';
constexpr wchar_t wholeLine = L'\uFDD1';
constexpr const char* indentMarkUtf8 = "\xEF\xB7\x90";
constexpr const char* wholeLineUtf8 = "\xEF\xB7\x91";

// Writes text to standard output or error. Output is buffered until flush, and until an error is
// written, so that a console shows both in the order they were written.
void write(Stream stream, const std::wstring& text);
// The same for text already in UTF-8, the cheap way for much output (a search's hits).
void writeUtf8(Stream stream, const std::string& text);
void flush();

// Whether a stream's lines are broken to the width of a terminal (and so worth marking).
bool wraps(Stream stream);

// UTF-8 text broken at blanks into lines of at most width columns, a character a column: a word
// wider than that stands alone on its line, unbroken. Tabs become blanks to the next multiple of
// eight columns; blanks where a line is broken go. Marks are taken out.
std::string wrapText(const std::string& text, std::size_t width);

// Puts each character of UTF-8 text that has a plain form (the one witz import writes: "..." for
// the ellipsis, " for the German quotation marks) in that form where the stream's character set
// lacks it. Other characters stay, also those the character set lacks.
void usePlainForms(std::string& text, Stream stream);

} // namespace host
