// The one way witz writes a file: whole, under a temporary name beside the target's folder (in
// the folder that holds it), then renamed into the target's folder. Pointex lists every file in
// that folder, so it must never see a half-written one. A failure or an interrupt part-way leaves
// both folders as they were. One implementation per system (file_writer_posix.cpp,
// file_writer_win32.cpp).
#pragma once

#include <string>

enum class WriteMode {
    createNew, // fails when the target exists, also when it appears meanwhile
    replace,   // replaces an existing target in one step
};

// Writes bytes as folder + separator + name. The folder is made when it is missing (and removed
// again when the write fails). Returns an empty text on success, otherwise a German text that
// says what failed.
std::wstring writeWholeFile(const std::wstring& folder, const std::wstring& name,
                            const std::string& bytes, WriteMode mode);

// Why writeWholeFile cannot write folder + separator + name on this system (no file name
// Windows takes, see badFileName; a name or path too long here), as a German text; empty when
// it can. Needs no file to exist.
std::wstring unwritableName(const std::wstring& folder, const std::wstring& name);

// Called with the temporary file written and the target's folder present, just before the
// rename; tests look at the folders or interrupt the writer here.
extern void (*beforeRename)();
