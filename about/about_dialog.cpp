// The About dialog's procedure.
#include "about_dialog.h"

#include <string>

#include "app/app.h"
#include "library/joke_reader.h"
#include "resources/resource.h"

namespace {

std::wstring aboutVersionText;
std::wstring buildStamp;

// The dialog's controls, fetched again each time it opens.
HWND showAboutButton;
HWND showVersionButton;
HWND showLizenzButton;
HWND aboutText;
HWND aboutTitle;
HWND aboutIcon;

void setText(HWND control, const std::wstring& text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Marks the button of the text shown and reads that file afresh.
void showTextFile(HWND button, const wchar_t* name) {
    for (HWND each : {showAboutButton, showVersionButton, showLizenzButton}) {
        SendMessageW(each, BM_SETCHECK, each == button ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    setText(aboutText, readTextFile(name));
}

void onInitDialog(HWND dialog) {
    showAboutButton = GetDlgItem(dialog, IDC_SHOW_ABOUT);
    showVersionButton = GetDlgItem(dialog, IDC_SHOW_VERSION);
    showLizenzButton = GetDlgItem(dialog, IDC_SHOW_LIZENZ);
    aboutText = GetDlgItem(dialog, IDC_ABOUT_TEXT);
    aboutTitle = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    aboutIcon = GetDlgItem(dialog, IDC_ABOUT_ICON);

    aboutVersionText = composeVersionText();
    // The compiler writes these as "Sep  4 2009" and "13:47:15"; with SOURCE_DATE_EPOCH set it
    // takes that moment, so a release build can be reproduced byte for byte.
    buildStamp = L"" __DATE__ "\r\n" __TIME__;
    setText(aboutTitle, L"Pointex " + aboutVersionText + L"\r\n\r\n" + buildStamp);

    SendMessageW(showAboutButton, BM_SETCHECK, BST_CHECKED, 0);
    setText(aboutText, readTextFile(L"about"));

    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 64, 64, 0);
    SendMessageW(aboutIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// The icon given to the picture control is ours to release when the dialog ends.
void endDialog(HWND dialog) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(aboutIcon, STM_SETICON, 0, 0));
    if (icon != nullptr) {
        DestroyIcon(icon);
    }
    EndDialog(dialog, 1);
}

void onCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        endDialog(dialog);
        break;
    case IDC_SHOW_ABOUT:
        showTextFile(showAboutButton, L"about");
        break;
    case IDC_SHOW_VERSION:
        showTextFile(showVersionButton, L"version");
        break;
    case IDC_SHOW_LIZENZ:
        showTextFile(showLizenzButton, L"lizenz");
        break;
    default: // IDCANCEL too: Escape leaves the dialog open
        break;
    }
}

} // namespace

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
    case WM_DESTROY:
        endDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
