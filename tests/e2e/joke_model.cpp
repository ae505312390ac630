// The reference of joke_model.h, written byte by byte for plainness rather than speed.
#include "joke_model.h"

#include <random>

#include "library/latin1.h"

namespace model {

std::string textMode(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1a'; ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        text += bytes[i];
    }
    return text;
}

namespace {
std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == separator) {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

// One piece as the edit control receives it: up to its first NUL.
std::wstring shown(const std::string& piece) {
    std::wstring text;
    for (char c : piece) {
        if (c == '\0') {
            break;
        }
        if (c == '\x11') {
            text += L"\r\n";
        } else {
            text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
    }
    return text;
}

// The capitals of ISO 8859-1 as small letters (latin1_test holds the classes to Unicode's).
char folded(char c) {
    return static_cast<char>(latin1::folded(static_cast<unsigned char>(c)));
}
} // namespace

std::vector<std::string> jokes(const std::string& bytes) {
    return split(textMode(bytes), '\n');
}

std::vector<std::string> parts(const std::string& joke) {
    return split(joke, '\x12');
}

std::wstring view(const std::vector<std::string>& parts, std::size_t revealed) {
    std::wstring text = shown(parts.at(0));
    for (std::size_t i = 1; i <= revealed && i < parts.size(); ++i) {
        text += shown("\r\n\r\n" + parts[i]);
    }
    return text;
}

std::vector<std::uint32_t> hits(const std::string& bytes, const std::wstring& pattern,
                                bool caseSensitive) {
    std::string wanted;
    for (wchar_t c : pattern) {
        if (static_cast<std::uint32_t>(c) > 0xFF) {
            return {};
        }
        wanted += caseSensitive ? static_cast<char>(c) : folded(static_cast<char>(c));
    }
    std::vector<std::uint32_t> found;
    const auto lines = jokes(bytes);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::string line = lines[k];
        if (!caseSensitive) {
            for (char& c : line) {
                c = folded(c);
            }
        }
        if (line.find(wanted) != std::string::npos) {
            found.push_back(static_cast<std::uint32_t>(k + 1));
        }
    }
    return found;
}

std::string randomJokeFile(std::uint32_t seed, std::size_t size, bool endMark) {
    std::mt19937 random(seed);
    // Weights: letters and blanks most, then the bytes with a meaning.
    const std::string special = std::string("\n\r\x11\x12\x00", 5);
    std::uniform_int_distribution<int> kind(0, 99);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> high(0x80, 0xFF);
    std::uniform_int_distribution<int> anyByte(0, 0xFF);
    std::string bytes;
    while (bytes.size() < size) {
        const int k = kind(random);
        if (k < 45) {
            bytes += static_cast<char>(letter(random));
        } else if (k < 55) {
            bytes += ' ';
        } else if (k < 60) {
            bytes += static_cast<char>(letter(random) - 'a' + 'A');
        } else if (k < 64) {
            bytes += "\r\n";
        } else if (k < 80) {
            bytes += special[static_cast<std::size_t>(k - 64) % special.size()];
        } else if (k < 92) {
            bytes += static_cast<char>(high(random));
        } else {
            const char c = static_cast<char>(anyByte(random));
            bytes += c == '\x1a' ? 'z' : c;
        }
    }
    if (endMark) {
        std::uniform_int_distribution<std::size_t> place(size * 3 / 4, size - 1);
        bytes[place(random)] = '\x1a';
    }
    return bytes;
}

} // namespace model
