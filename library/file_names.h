// File names compared as Windows compares them in a folder, shared by the POSIX folder listing
// and witz's category names.
#pragma once

#include <string>

// The name's UTF-16 units in capitals, as Windows' case mapping has them for the scripts of
// Europe: Latin (with Latin Extended-A), Greek and Cyrillic. Other units stay as they are.
std::u16string upcasedName(const std::wstring& name);

// Whether name a comes before name b where Windows lists a folder: case-insensitive, by UTF-16
// units in capitals.
bool windowsNameOrder(const std::wstring& a, const std::wstring& b);
