#include "process_counts.h"

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <vector>

// Not in MinGW's user32 import library; Wine exports it, and it has no side effects.
extern "C" HCURSOR WINAPI GetCursorFrameInfo(HCURSOR cursor, DWORD reserved, DWORD step, DWORD* rate, DWORD* steps);

namespace pellwyn::soak {
namespace {

HMODULE Ntdll() noexcept { return GetModuleHandleW(L"ntdll.dll"); }

// NtQuerySystemInformation(SystemHandleInformation): every open handle of every process.
struct HandleEntry {
    ULONG process;
    BYTE type;
    BYTE flags;
    USHORT value;
    void* object;
    ACCESS_MASK access;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG kind, void* buffer, ULONG size, ULONG* written);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

long CountHandles() noexcept {
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(Ntdll(), "NtQuerySystemInformation")));
    if (!query) return -1;
    // Kept between calls, so that counting allocates nothing once it has grown.
    static std::vector<std::uint8_t> buffer(64 * 1024);
    for (;;) {
        ULONG written = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &written);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status < 0) return -1;
        const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
        const DWORD self = GetCurrentProcessId();
        long n = 0;
        for (ULONG i = 0; i < list->count; ++i) n += list->entries[i].process == self;
        return n;
    }
}

// Wine's GDI and USER handles are a table index in the low word, and Wine accepts a handle
// without its upper word, so every index can be asked. GDI: 0x20 up; USER: even values from 0x20.
long CountGdiObjects() noexcept {
    long n = 0;
    for (std::uintptr_t i = 0x20; i < 0x10000; ++i) n += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
    return n;
}

long CountUserObjects() noexcept {
    const DWORD self = GetCurrentProcessId();
    long n = 0;
    for (std::uintptr_t i = 0x20; i < 0x10000; i += 2) {
        if (IsWindow(reinterpret_cast<HWND>(i))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(reinterpret_cast<HWND>(i), &owner);
            n += owner == self;  // windows are seen across processes; menus and icons are not
            continue;
        }
        DWORD rate = 0, steps = 0;
        n += IsMenu(reinterpret_cast<HMENU>(i)) ||
             GetCursorFrameInfo(reinterpret_cast<HCURSOR>(i), 0, 0, &rate, &steps) != nullptr;
    }
    return n;
}

}  // namespace

bool UnderWine() noexcept { return GetProcAddress(Ntdll(), "wine_get_version") != nullptr; }

Counts Measure() noexcept {
    Counts c;
    HANDLE self = GetCurrentProcess();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        c.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    if (UnderWine()) {
        c.handles = CountHandles();
        c.gdi = CountGdiObjects();
        c.user = CountUserObjects();
    } else {
        DWORD handles = 0;
        c.handles = GetProcessHandleCount(self, &handles) ? static_cast<long>(handles) : -1;
        c.gdi = static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS));
        c.user = static_cast<long>(GetGuiResources(self, GR_USEROBJECTS));
    }
    return c;
}

std::string Sources() {
    if (!UnderWine())
        return "private bytes: PrivateUsage; handles: GetProcessHandleCount; GDI, USER: GetGuiResources";
    return "under Wine, which answers 0 to PrivateUsage, GetProcessHandleCount and GetGuiResources:\n"
           "  private bytes: PagefileUsage (Wine: the process's anonymous resident and swapped memory)\n"
           "  handles: this process's entries in NtQuerySystemInformation's handle list\n"
           "  GDI: live objects among all GDI handle values (GetObjectType)\n"
           "  USER: this process's windows, menus, icons and cursors among all USER handle values";
}

}  // namespace pellwyn::soak
