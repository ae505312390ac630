// The globals of the main window and the free functions that build and run it.
#pragma once

#include <string>
#include <windows.h>

#include "library/joke_library.h"

extern WNDPROC oldSearchFieldProc;
extern HWND resultTree;
extern HWND statusBar;
extern HWND solveButton;
extern HWND searchButton;
extern HWND searchField;
extern HWND jokeView;
extern HWND categoryCombo;
extern HWND mainWindow;
extern HMENU menuBar;
extern JokeLibrary library;
extern std::wstring titleBase;
extern std::wstring versionText;

// main_window.cpp: the window class, the window, its controls and menu.
ATOM registerMainWindowClass(HINSTANCE instance);
bool createMainWindow(HINSTANCE instance, int showCommand);
bool createControls(HWND window);
bool createMainMenu(HWND window);
bool setDefaultFont(HWND control);
bool isMenuItemChecked(HMENU menu, UINT id);
LRESULT CALLBACK searchFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// commands.cpp: the main window procedure and what the commands show.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void showJoke(std::uint32_t n);
void showCategory(std::uint32_t n);

// The version text "1.50": major, a point, then minor and patch without a point between.
std::wstring composeVersionText();
