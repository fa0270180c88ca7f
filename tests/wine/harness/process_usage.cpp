#include "process_usage.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace {

// One entry of the system's handle list (SystemHandleInformation).
struct SystemHandle {
  ULONG pid;
  BYTE objectType;
  BYTE flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};

// One entry of a process's GDI handle table; a free entry has type 0.
struct GdiHandleEntry {
  ULONGLONG object;
  ULONG owner;
  USHORT unique;
  BYTE type;
  BYTE flags;
  ULONGLONG userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);

constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr std::size_t kGdiTableOffsetInPeb = 0xF8;  // x64
constexpr std::size_t kGdiMaxHandles = 0x10000;

long HandleCount(DWORD pid) {
  std::vector<char> buffer(1 << 20);
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), nullptr)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const SystemHandle*>(buffer.data() + sizeof(ULONG_PTR));
  long mine = 0;
  for (ULONG i = 0; i < count; ++i) mine += entries[i].pid == pid ? 1 : 0;
  return mine;
}

long GdiObjectCount(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
    return -1;
  }
  void* table = nullptr;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) + kGdiTableOffsetInPeb,
                         &table, sizeof table, &read) ||
      table == nullptr) {
    return -1;
  }
  std::vector<GdiHandleEntry> entries(kGdiMaxHandles);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), &read)) {
    return -1;
  }
  long used = 0;
  for (const auto& entry : entries) used += entry.type != 0 ? 1 : 0;
  return used;
}

}  // namespace

ProcessUsage UsageOf(HANDLE process, DWORD pid) {
  ProcessUsage usage;
  usage.handles = HandleCount(pid);
  usage.gdiObjects = GdiObjectCount(process);
  struct Count {
    DWORD pid;
    long windows;
  } count{pid, 0};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Count*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        c->windows += owner == c->pid ? 1 : 0;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  usage.windows = count.windows;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) usage.workingSetKb = memory.WorkingSetSize / 1024;
  return usage;
}
