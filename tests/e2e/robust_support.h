// Helpers of the robustness and leak tests: locks held by the test, searches, hits, pixels.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fixture.h"

// A file held open without sharing, as another program may hold it: Pointex cannot open it
// until the lock goes.
class FileLock {
  public:
    explicit FileLock(const std::wstring& path);
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return handle != INVALID_HANDLE_VALUE; }
    void release();

  private:
    HANDLE handle;
};

// Puts the text into the search field as it is (control characters too) and clicks "Such!".
// Returns what the field holds, which is what the program searched for.
std::wstring searchFor(e2e::Pointex& app, const std::wstring& text);

// Posts a click like Pointex::click but waits up to the given (scaled) time for the program
// to answer again; the milliseconds it took, or -1 when it did not answer in time.
long slowClick(e2e::Pointex& app, int id, DWORD milliseconds);

// The hits of the newest search group as (category number, joke number), in tree order.
std::vector<std::pair<std::uint32_t, std::uint32_t>> newestHits(const e2e::Pointex& app);

// The colour of a pixel of the main window's client area as the program drew it
// (CLR_INVALID when it cannot be read).
COLORREF clientPixel(const e2e::Pointex& app, int x, int y);
