// What the POSIX side of the platform seam offers programs beside the library: names as bytes,
// and writing all of a buffer.
#pragma once

#include <string>

namespace platform {

// UTF-8 bytes to characters; a byte that is no valid UTF-8 becomes U+DC80..U+DCFF.
std::wstring decodeName(const std::string& bytes);
// The reverse: characters to UTF-8, U+DC80..U+DCFF back to their single bytes.
std::string encodeName(const std::wstring& name);

// Writes all bytes to a descriptor, going on after an interrupted call; false when the
// descriptor refuses (a full disk, a closed pipe).
bool writeAll(int descriptor, const std::string& bytes);

} // namespace platform
