// The About dialog: name, version, build stamp, icon, and the texts "about", "version", "lizenz".
#pragma once

#include <windows.h>

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
