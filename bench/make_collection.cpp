// Writes a made-up joke collection of a given size for the benchmark, the same bytes for the
// same seed on every system.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// splitmix64: small, and defined bit for bit, unlike the standard library's distributions.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 to n - 1.
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    // 0 to n - 1, the small ones far more often: the way words occur in prose.
    std::size_t skewed(std::size_t n) {
        double u = static_cast<double>(next() >> 11) / 9007199254740992.0;
        return static_cast<std::size_t>(u * u * u * static_cast<double>(n));
    }

  private:
    std::uint64_t state;
};

// Written here in UTF-8 for the reader, stored in the files as ISO 8859-1.
const char* const words[] = {
    "der",      "die",        "und",      "das",      "ist",         "nicht",
    "ein",      "zu",         "sagt",     "sich",     "mit",         "er",
    "sie",      "auf",        "den",      "was",      "es",          "eine",
    "im",       "dem",        "auch",     "so",       "fragt",       "ich",
    "du",       "wir",        "noch",     "wie",      "aber",        "dann",
    "nur",      "schon",      "mal",      "hat",      "wird",        "kann",
    "doch",     "weil",       "Mann",     "Frau",     "Kind",        "Lehrer",
    "Arzt",     "Chef",       "Oma",      "Opa",      "Mutter",      "Vater",
    "Sohn",     "Tochter",    "Hund",     "Katze",    "Kuh",         "Pferd",
    "Huhn",     "Elefant",    "Maus",     "Schwein",  "Fisch",       "Auto",
    "Bahn",     "Schule",     "Haus",     "Küche",    "Garten",      "Wald",
    "Meer",     "Berg",       "Stadt",    "Dorf",     "Bäcker",      "Metzger",
    "Förster",  "Jäger",      "Bauer",    "Pfarrer",  "Richter",     "Fußball",
    "Straße",   "Ärger",      "Übung",    "Öl",       "Größe",       "Käse",
    "Bier",     "Brötchen",   "Zeitung",  "Tür",      "Schlüssel",   "König",
    "Prüfung",  "Zahnarzt",   "Polizist", "Blondine", "Ostfriese",   "Schotte",
    "Computer", "Wörterbuch", "Gemüse",   "Wüste",    "Kühlschrank", "Müller",
    "Schmidt",  "Fritzchen",  "Klaus",    "Hänschen", "Sepp",        "Jürgen",
    "Grüße",    "müde",       "schön",    "böse",     "früh",        "spät",
    "groß",     "klein",      "alt",      "jung",     "dumm",        "klug",
    "schnell",  "langsam",    "heute",    "morgen",   "gestern",     "warum",
    "weshalb",  "wieso",      "immer",    "nie",      "wieder",      "gerade",
    "zurück",   "darüber",    "geht",     "kommt",    "sieht",       "weiß",
    "läuft",    "fährt",      "isst",     "trinkt",   "schläft",     "lacht",
    "ruft",     "antwortet",  "erklärt",  "glaubt",   "hört",        "gehört",
    "möchte",   "könnte",     "müsste",   "würde",    "Ehefrau",     "Schwiegermutter",
    "Nachbar",  "Kellner",    "Gast",     "Patient",  "Schüler",     "Professor",
    "Kaiser",   "Papagei",    "Krokodil", "Giraffe",  "Häschen",     "Zwerg",
    "Riese"};
const std::size_t wordCount = sizeof(words) / sizeof(words[0]);

std::string latin1(const char* utf8) {
    std::string text;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0; ++p) {
        if ((p[0] & 0xE0) == 0xC0 && p[1] != 0) {
            text += static_cast<char>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
            ++p;
        } else {
            text += static_cast<char>(*p);
        }
    }
    return text;
}

class Writer {
  public:
    explicit Writer(std::uint64_t seed) : random(seed) {
        for (const char* word : words) {
            vocabulary.push_back(latin1(word));
        }
    }

    // One joke line: a question or story, usually one or two answers after 0x12, and 0x11
    // where the joke breaks its line (dialogue).
    void joke(std::string& out) {
        std::size_t answers = random.below(10) < 2 ? 0 : random.below(10) < 8 ? 1 : 2;
        part(out);
        for (std::size_t i = 0; i < answers; ++i) {
            out += '\x12';
            part(out);
        }
    }

  private:
    void part(std::string& out) {
        std::size_t sentences = 1 + random.below(4);
        for (std::size_t s = 0; s < sentences; ++s) {
            if (s > 0) {
                out += random.below(3) == 0 ? '\x11' : ' ';
            }
            sentence(out);
        }
    }

    void sentence(std::string& out) {
        std::size_t length = 3 + random.below(12);
        for (std::size_t w = 0; w < length; ++w) {
            std::string word = vocabulary[random.skewed(wordCount)];
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') {
                word[0] = static_cast<char>(word[0] - 'a' + 'A');
            }
            out += word;
            out += w + 1 < length ? (random.below(12) == 0 ? ", " : " ") : "";
        }
        static const char ends[] = ".?!.";
        out += ends[random.below(4)];
    }

    Random random;
    std::vector<std::string> vocabulary;
};

bool writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A category of about size bytes; every fourth one with CR LF line ends, and about half end
// without a final line end.
std::string category(Writer& writer, std::size_t size, bool crlf, bool finalLineEnd) {
    std::string bytes;
    bytes.reserve(size + 4096);
    std::string line;
    while (bytes.size() < size) {
        line.clear();
        writer.joke(line);
        bytes += line;
        if (bytes.size() < size || finalLineEnd) {
            bytes += crlf ? "\r\n" : "\n";
        }
    }
    return bytes;
}

int usage() {
    std::fprintf(stderr, "usage: make_collection FOLDER MEGABYTES [SEED]\n"
                         "       make_collection --single-line FILE MEGABYTES [SEED]\n"
                         "Writes FOLDER/<category> files of 2 to 4 MB, the first one of 4 MB;\n"
                         "or one file that is a single line without line end.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool singleLine = argc > 1 && std::strcmp(argv[1], "--single-line") == 0;
    int first = singleLine ? 2 : 1;
    if (argc < first + 2 || argc > first + 3) {
        return usage();
    }
    std::string target = argv[first];
    std::size_t total = std::strtoull(argv[first + 1], nullptr, 10) << 20;
    std::uint64_t seed = argc > first + 2 ? std::strtoull(argv[first + 2], nullptr, 10) : 1;
    Writer writer(seed);
    if (singleLine) {
        std::string bytes;
        bytes.reserve(total + 4096);
        while (bytes.size() < total) {
            writer.joke(bytes);
            bytes += '\x11';
        }
        return writeFile(target, bytes) ? 0 : 1;
    }
    Random sizes(seed ^ 0x5EED);
    std::size_t written = 0;
    for (int n = 1; written < total; ++n) {
        std::size_t size = n == 1 ? 4u << 20 : (2u << 20) + sizes.below(2u << 20);
        size = std::min(size, total - written);
        char name[32];
        std::snprintf(name, sizeof name, "/Kategorie-%03d", n);
        std::string bytes = category(writer, size, n % 4 == 0, n % 2 == 0);
        if (!writeFile(target + name, bytes)) {
            return 1;
        }
        written += bytes.size();
    }
    return 0;
}
