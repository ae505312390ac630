// What each system's writer (file_writer_posix.cpp, file_writer_win32.cpp) gives the portable
// part (file_writer.cpp), which checks the name by the rule of file_names.h first.
#pragma once

#include <string>

#include "file_writer.h"

// Why folder + separator + name, a name Windows takes, is too long for this system; empty when
// it is not.
std::wstring systemNameLimit(const std::wstring& folder, const std::wstring& name);

// writeWholeFile for a name that passed unwritableName.
std::wstring writeCheckedFile(const std::wstring& folder, const std::wstring& name,
                              const std::string& bytes, WriteMode mode);
