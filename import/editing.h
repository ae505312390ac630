// The editing rules of witz import, which fit text written for an 80-column terminal to
// Pointex' proportional font and its "Lösen": each is an option, none changes a word.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What to do with a heading that opens many records of a source.
enum class Heading { keep, question, drop };

struct Editing {
    bool flowing = false;            // --fliesstext: lines wrapped for width join their paragraph
    bool questions = false;          // --fragen: a short question and its answer become a riddle
    Heading heading = Heading::keep; // --ueberschrift frage|weg
    bool columns = false;            // --spalten: aligned columns become one item a line
    bool noDrawings = false;         // --ohne-bilder: drawings made of characters are left out
};

// A line of a joke in ISO 8859-1, how many columns of its source line stand before it (a
// riddle's "A: " and the indent behind it), so that a rule sees where the line stood, and
// whether it opened a riddle's question or answer there.
struct JokeLine {
    std::string text;
    std::size_t column = 0;
    bool marked = false;
};

// A joke: its parts (the first is shown, each further one is revealed by "Lösen"), each made of
// lines.
using Joke = std::vector<std::vector<JokeLine>>;

// Edits the jokes of one source by the rules chosen; returns how many drawings were left out.
std::uint32_t editJokes(std::vector<Joke>& jokes, const Editing& editing);
