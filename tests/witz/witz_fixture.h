// The witz tests' fixture: a joke folder, witz run in-process on it, its output recorded.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../unit/fixture.h"
#include "system.h"

// Records what witz writes, in the order written, instead of showing it: no terminal, every
// character held.
extern const host::Terminal recordingTerminal;
// UTF-8 as characters; U+FFFD for a byte that is no UTF-8.
std::wstring decoded(const std::string& utf8);

class WitzTest : public JokeFolderTest {
  protected:
    // Runs witz with -C on the test's folder (or without -C); out and err hold what it wrote.
    int witz(std::vector<std::wstring> args, bool withFolder = true);
    // The bytes of a file, or nothing when it does not exist.
    std::optional<std::string> fileBytes(const std::filesystem::path& path) const;
    // The names in a folder, sorted.
    std::vector<std::string> namesIn(const std::filesystem::path& folder) const;

    std::wstring out;
    std::wstring err;
    // What witz's output goes to; a test may give it columns, as a terminal has.
    host::Terminal terminal = recordingTerminal;
};

// witz with stand-ins for the system's places of the collections: the user's own in
// root / ownBelowRoot, the installed one in root / "mitgeliefert".
class CollectionsTest : public WitzTest {
  protected:
    explicit CollectionsTest(std::filesystem::path ownBelowRoot)
        : ownBelowRoot(std::move(ownBelowRoot)) {}
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path own; // the user's own collection

  private:
    std::filesystem::path ownBelowRoot;
    host::CollectionsFunction previous = nullptr;
};
