// The character classes of ISO 8859-1, the encoding of joke files, as Unicode has them: one
// place for the search's fold, the duplicate key and the editing rules of witz import.
#pragma once

namespace latin1 {

// A capital whose small letter is in ISO 8859-1, 0x20 above it: A to Z and À to Þ, but not the
// sign × (0xD7), which sits among them.
constexpr bool isCapital(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

// A small letter: a to z, ª, µ, º, and ß to ÿ but the sign ÷ (0xF7). ß, ÿ, ª, µ and º have no
// capital in ISO 8859-1.
constexpr bool isSmall(unsigned char c) {
    return (c >= 'a' && c <= 'z') || c == 0xAA || c == 0xB5 || c == 0xBA ||
           (c >= 0xDF && c != 0xF7);
}

constexpr bool isLetter(unsigned char c) {
    return isCapital(c) || isSmall(c);
}

constexpr bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Digits and the other numbers: ² ³ ¹ ¼ ½ ¾.
constexpr bool isNumber(unsigned char c) {
    return isDigit(c) || c == 0xB2 || c == 0xB3 || c == 0xB9 || (c >= 0xBC && c <= 0xBE);
}

// What words are made of: letters and numbers. Blanks, punctuation, signs and control bytes
// (0x11 and 0x12 among them) are not.
constexpr bool isWordCharacter(unsigned char c) {
    return isLetter(c) || isNumber(c);
}

// The blanks of a converted line: blank and tab (witz import writes other blanks as a blank).
constexpr bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t';
}

// The byte with a capital made small; any other byte as it is.
constexpr unsigned char folded(unsigned char c) {
    return isCapital(c) ? static_cast<unsigned char>(c + 0x20) : c;
}

} // namespace latin1
