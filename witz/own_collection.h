// The user's own collection, where a system keeps one apart from the installed collection: made
// and completed from the installed one by one rule, for the launcher (witz einrichten) and for
// witz import.
#pragma once

#include <string>
#include <vector>

struct Arguments;

struct OwnCollection {
    std::wstring folder;   // the user's, which witz writes
    std::wstring supplied; // the installed collection it is made from, read only
};

// The own and the installed collection from host::fallbackCollections(); false where the system
// keeps no own collection (Windows, no HOME) or there is no installed one holding Witze (a witz
// that is not installed).
bool findOwnCollection(OwnCollection& own);

// The file beside Witze that names the supplied categories the own collection has had.
constexpr const wchar_t* suppliedRecord = L".mitgeliefert";

// Makes the own collection's folder and copies into it what it lacks of the supplied one: the
// About texts and QUELLEN.txt whenever one is missing, and each supplied category once (named in
// suppliedRecord afterwards), so that a category the user deleted stays deleted and one that a
// later version adds arrives. What is there is never replaced: a category of the same name, in
// any letter case, stays the user's. copied gets what was copied. Returns an empty text, or a
// German one that says what failed.
struct CopiedParts {
    std::vector<std::wstring> texts;
    std::vector<std::wstring> categories;
};
std::wstring completeOwnCollection(const OwnCollection& own, CopiedParts& copied);

// "„folder“: 35 Kategorien und „about“ aus „supplied“ kopiert." for what was copied, or that
// nothing was.
std::wstring describeCopy(const OwnCollection& own, const CopiedParts& copied);

// For witz import: where the target is the own collection, or the installed one because the
// own holds no Witze yet, completes the own one and makes it the target (saying what it copied).
// False after a complaint.
bool importIntoOwnCollection(Arguments& args);
