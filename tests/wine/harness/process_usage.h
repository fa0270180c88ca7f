#pragma once
// What a process holds, read from outside it. Wine answers GetGuiResources and
// GetProcessHandleCount with 0, so handles come from the system's handle list
// and GDI objects from the process's own GDI handle table, as its PEB points
// to it; both are read the same way on Windows.
#include <windows.h>

#include <cstddef>

struct ProcessUsage {
  long handles = -1;       // kernel handles, -1 when unreadable
  long gdiObjects = -1;    // GDI objects, -1 when unreadable
  long windows = 0;        // top-level windows
  std::size_t workingSetKb = 0;
};

ProcessUsage UsageOf(HANDLE process, DWORD pid);
