// The owner of a Win32 handle: it closes the handle when it goes, on every path.
#pragma once

#include <windows.h>

// A file's or a search's handle, closed by close (CloseHandle, FindClose); both report an
// invalid one as INVALID_HANDLE_VALUE.
template <BOOL(WINAPI* closeHandle)(HANDLE)>
class OwnedHandle {
  public:
    explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle(handle) {}
    ~OwnedHandle() { close(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }
    // Owns another handle, closing the one held.
    void reset(HANDLE other) {
        close();
        handle = other;
    }
    // Closes the handle now; false when it was invalid or closing failed.
    bool close() {
        bool closed = valid() && closeHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle;
};

using FileHandle = OwnedHandle<CloseHandle>;
using SearchHandle = OwnedHandle<FindClose>;
