// The one way witz writes a file: whole, under a temporary name in the target's folder, then
// renamed over the target. A failure or an interrupt part-way leaves the folder as it was.
// One implementation per system (file_writer_posix.cpp, file_writer_win32.cpp).
#pragma once

#include <string>

enum class WriteMode {
    createNew, // fails when the target exists, also when it appears meanwhile
    replace,   // replaces an existing target in one step
};

// Writes bytes as folder + separator + name. Returns an empty text on success, otherwise a
// German text that says what failed.
std::wstring writeWholeFile(const std::wstring& folder, const std::wstring& name,
                            const std::string& bytes, WriteMode mode);

// Called with the temporary file written and not yet renamed; tests interrupt the writer here.
extern void (*beforeRename)();
