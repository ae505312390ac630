// The driver's reads through the target's memory: status bar, tree view, menu, item rectangles.
#include "driver.h"

#include <tlhelp32.h>

#include <cstring>

#include <gtest/gtest.h>

namespace e2e {

namespace {
// Base address of a module inside another process, or null.
BYTE* remoteModuleBase(DWORD processId, const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    BYTE* base = nullptr;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && !base;
         more = Module32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szModule, name) == 0) {
            base = entry.modBaseAddr;
        }
    }
    CloseHandle(snapshot);
    return base;
}

void putByte(std::vector<BYTE>& code, BYTE value) {
    code.push_back(value);
}
void putWord(std::vector<BYTE>& code, DWORD value) {
    for (int i = 0; i < 4; ++i) {
        code.push_back(static_cast<BYTE>(value >> (8 * i)));
    }
}
[[maybe_unused]] void putQuad(std::vector<BYTE>& code, DWORD_PTR value) {
    putWord(code, static_cast<DWORD>(value));
    putWord(code, static_cast<DWORD>(static_cast<unsigned long long>(value) >> 32));
}
} // namespace

RemoteMemory::RemoteMemory(HANDLE process, SIZE_T size, DWORD protection)
    : process(process),
      base(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, protection)) {
    EXPECT_NE(base, nullptr) << "VirtualAllocEx failed: " << GetLastError();
}

RemoteMemory::~RemoteMemory() {
    if (base) {
        VirtualFreeEx(process, base, 0, MEM_RELEASE);
    }
}

bool RemoteMemory::write(const void* data, SIZE_T size, SIZE_T offset) {
    SIZE_T done = 0;
    return base &&
           WriteProcessMemory(process, static_cast<BYTE*>(base) + offset, data, size, &done) &&
           done == size;
}

bool RemoteMemory::read(void* data, SIZE_T size, SIZE_T offset) const {
    SIZE_T done = 0;
    return base &&
           ReadProcessMemory(process, static_cast<BYTE*>(base) + offset, data, size, &done) &&
           done == size;
}

std::wstring Pointex::statusPart(int part) const {
    const auto length = LOWORD(query(status, SB_GETTEXTLENGTHW, part, 0));
    RemoteMemory memory(info.hProcess, (length + 1) * sizeof(wchar_t));
    query(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(memory.address()));
    std::wstring text(length, L'\0');
    if (length && !memory.read(&text[0], length * sizeof(wchar_t))) {
        ADD_FAILURE() << "could not read status bar part " << part;
    }
    return text;
}

void Pointex::readChildren(HTREEITEM parent, std::vector<TreeItem>& into,
                           RemoteMemory& memory) const {
    constexpr int textCapacity = 1024;
    const UINT first = parent ? TVGN_CHILD : TVGN_ROOT;
    auto item = reinterpret_cast<HTREEITEM>(
        query(resultTree, TVM_GETNEXTITEM, first, reinterpret_cast<LPARAM>(parent)));
    while (item) {
        TVITEMW request{};
        request.mask = TVIF_TEXT | TVIF_PARAM;
        request.hItem = item;
        request.pszText =
            reinterpret_cast<wchar_t*>(static_cast<BYTE*>(memory.address()) + sizeof(TVITEMW));
        request.cchTextMax = textCapacity;
        memory.write(&request, sizeof request);
        TreeItem read;
        read.handle = item;
        if (query(resultTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.address()))) {
            wchar_t text[textCapacity] = {};
            memory.read(&request, sizeof request);
            memory.read(text, sizeof text, sizeof(TVITEMW));
            text[textCapacity - 1] = L'\0';
            read.text = text;
            read.value = request.lParam;
        } else {
            ADD_FAILURE() << "TVM_GETITEMW failed";
        }
        readChildren(item, read.children, memory);
        into.push_back(read);
        item = reinterpret_cast<HTREEITEM>(
            query(resultTree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
}

std::vector<TreeItem> Pointex::tree() const {
    RemoteMemory memory(info.hProcess, sizeof(TVITEMW) + 1024 * sizeof(wchar_t));
    std::vector<TreeItem> roots;
    readChildren(nullptr, roots, memory);
    return roots;
}

namespace {
// Machine code for a thread inside the target that returns
// GetMenuState(GetMenu(window), id, MF_BYCOMMAND); the target has the driver's bitness.
std::vector<BYTE> menuStateCode(HWND window, UINT id, DWORD_PTR getMenu, DWORD_PTR getMenuState) {
    std::vector<BYTE> code;
#ifdef _WIN64
    code.insert(code.end(), {0x48, 0x83, 0xEC, 0x28}); // sub rsp, 40 (shadow space, alignment)
    code.insert(code.end(), {0x48, 0xB9});             // mov rcx, main window
    putQuad(code, reinterpret_cast<DWORD_PTR>(window));
    code.insert(code.end(), {0x48, 0xB8}); // mov rax, GetMenu
    putQuad(code, getMenu);
    code.insert(code.end(), {0xFF, 0xD0, 0x48, 0x89, 0xC1}); // call rax; mov rcx, rax (the menu)
    putByte(code, 0xBA);                                     // mov edx, id
    putWord(code, id);
    code.insert(code.end(), {0x41, 0xB8}); // mov r8d, flags
    putWord(code, MF_BYCOMMAND);
    code.insert(code.end(), {0x48, 0xB8}); // mov rax, GetMenuState
    putQuad(code, getMenuState);
    code.insert(code.end(), {0xFF, 0xD0, 0x48, 0x83, 0xC4, 0x28, 0xC3}); // call; add rsp, 40; ret
#else
    putByte(code, 0x68); // push main window
    putWord(code, static_cast<DWORD>(reinterpret_cast<DWORD_PTR>(window)));
    putByte(code, 0xB8); // mov eax, GetMenu
    putWord(code, static_cast<DWORD>(getMenu));
    code.insert(code.end(), {0xFF, 0xD0, 0x6A, MF_BYCOMMAND}); // call eax; push flags
    putByte(code, 0x68);                                       // push id
    putWord(code, id);
    putByte(code, 0x50); // push eax (the menu)
    putByte(code, 0xB8); // mov eax, GetMenuState
    putWord(code, static_cast<DWORD>(getMenuState));
    code.insert(code.end(), {0xFF, 0xD0, 0xC2, 0x04, 0x00}); // call eax; ret 4
#endif
    return code;
}
} // namespace

UINT Pointex::menuState(UINT id) const {
    // Menus belong to their process under Wine, so GetMenuState runs on a thread inside
    // the target. user32 lies at the same offset from its base in both processes.
    BYTE* localUser32 = reinterpret_cast<BYTE*>(GetModuleHandleW(L"user32.dll"));
    BYTE* remoteUser32 = remoteModuleBase(info.dwProcessId, L"user32.dll");
    if (!remoteUser32) {
        remoteUser32 = localUser32;
    }
    auto inTarget = [&](const char* function) {
        auto* local = reinterpret_cast<BYTE*>(GetProcAddress(HMODULE(localUser32), function));
        return reinterpret_cast<DWORD_PTR>(remoteUser32 + (local - localUser32));
    };
    const std::vector<BYTE> code =
        menuStateCode(main, id, inTarget("GetMenu"), inTarget("GetMenuState"));

    RemoteMemory memory(info.hProcess, code.size(), PAGE_EXECUTE_READWRITE);
    if (!memory.write(code.data(), code.size())) {
        ADD_FAILURE() << "could not write the menu query into the target";
        return 0xFFFFFFFF;
    }
    HANDLE thread = CreateRemoteThread(info.hProcess, nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(memory.address()),
                                       nullptr, 0, nullptr);
    if (!thread) {
        ADD_FAILURE() << "CreateRemoteThread failed: " << GetLastError();
        return 0xFFFFFFFF;
    }
    DWORD state = 0xFFFFFFFF;
    if (WaitForSingleObject(thread, scaled(queryTimeout)) == WAIT_OBJECT_0) {
        GetExitCodeThread(thread, &state);
    } else {
        ADD_FAILURE() << "the menu query thread did not finish";
    }
    CloseHandle(thread);
    return state;
}

bool Pointex::doubleClick(const TreeItem& item) {
    query(resultTree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item.handle));
    // TVM_GETITEMRECT takes the item handle in the RECT it fills.
    RemoteMemory memory(info.hProcess, sizeof(RECT));
    RECT rect{};
    std::memcpy(&rect, &item.handle, sizeof item.handle);
    memory.write(&rect, sizeof rect);
    if (!query(resultTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(memory.address())) ||
        !memory.read(&rect, sizeof rect)) {
        ADD_FAILURE() << "no rectangle for tree item " << testing::PrintToString(item.text);
        return false;
    }
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return post(resultTree, WM_LBUTTONDOWN, MK_LBUTTON, point) &&
           post(resultTree, WM_LBUTTONUP, 0, point) &&
           post(resultTree, WM_LBUTTONDBLCLK, MK_LBUTTON, point) &&
           post(resultTree, WM_LBUTTONUP, 0, point) && barrier();
}

} // namespace e2e
