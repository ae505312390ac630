// Working directories for the end-to-end tests, and the check that the program wrote nothing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver.h"

// Characters as the program shows bytes of a joke file: byte b becomes code unit b.
std::wstring latin1(const std::string& bytes);
// The files of folder\Witze in the order of the folder listing, which is the program's order.
std::vector<std::wstring> jokeFileNames(const std::wstring& folder);

// Each test gets a fresh working directory with an empty folder "Witze" and one Pointex.
// After the test the program is ended and every file of the directory must be unchanged.
class PointexTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void writeJokeFile(const std::wstring& name, const std::string& bytes);
    std::wstring jokePath(const std::wstring& name) const;
    // Remembers every name and byte below the working directory; start() does it if not done.
    void recordFolder();
    // Starts Pointex and waits for its main window; use with ASSERT_NO_FATAL_FAILURE.
    void start();
    // The joke folder's files in the order of the folder listing, which is the program's order.
    std::vector<std::wstring> listedNames() const;
    // Category number (from 1) of a file, and its item in the category list.
    int categoryNumber(const std::wstring& name) const;

    // The folder most tests share: four categories, 19 jokes.
    void writeSampleFolder();

    std::wstring root;
    e2e::Pointex app;

  private:
    std::map<std::wstring, std::string> readFolder() const;
    std::map<std::wstring, std::string> recorded;
    bool hasRecord = false;
};

// The sample folder's files, and the joke texts of each as the program shows them.
extern const std::wstring tiere, zahlen, leer, buero;
std::vector<std::wstring> sampleJokes(const std::wstring& category);
