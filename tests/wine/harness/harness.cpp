// The end-to-end tests' hands inside Wine: a console program that plays the
// screen-saver host and the user. It reads one command a line from standard
// input and answers one line on standard output, while its own windows keep
// their message loop running (a host window must answer the messages the
// saver's child window sends it).
//
//   launch [args]            start the saver with these arguments → "pid N"
//   pair MS [args]           start two savers with these arguments at the same moment and
//                            watch both for MS → "pid A STATE visible N pid B STATE visible N"
//                            with STATE "running" or "exited CODE"
//   watch PID MS             wait for PID to end, counting the windows it showed
//                            → "exited CODE visible N" or "timeout visible N"
//   wait-exit PID MS         → "exited CODE" or "timeout"
//   cpu PID MS               the processor time PID takes over the next MS
//                            → "cpu_ms N", or "exited" when it ends meanwhile
//   find PID CLASS MS        a visible top-level window of PID and CLASS → "hwnd N" or "none"
//   windows PID              its top-level windows → "CLASS:VISIBLE:ALPHA:L,T,R,B ..."
//                            with ALPHA -1 for a window that is not layered
//
// `watch` counts a window as shown when it is visible and not fully transparent.
//   mutex NAME               → "exists" or "absent"
//   hold NAME / drop NAME    create and keep, or close, a mutex → "ok"
//   host W H                 a top-level host window with a W x H client area → "hwnd N"
//   titled TITLE...          a top-level window with that title → "hwnd N"
//   enabled HWND             → "1" or "0"
//   controls HWND            its child windows → "CLASS|TEXT|CHECK|VISIBLE ..." with CHECK
//                            the check state of a button, else -1
//   rect HWND                where it lies in its parent's client area → "L,T,R,B"
//   child HWND N             the N-th child window, in creation order → "hwnd N" or "none"
//   settext HWND TEXT...     a control's text, as typed → "ok"
//   press HWND               a click on a button, posted → "ok" or "failed"
//   box PID MS               a message box of PID → "CAPTION|TEXT" or "none"
//   read-ini FILE SECTION KEY  the value, or "-" when there is none
//   appdata                  the user's local application-data folder
//   entries FOLDER           the names in a folder, sorted → "A B ..." or "-"
//   write-ini FILE SECTION KEY VALUE / delete FILE / mkdir FOLDER / rmdir FOLDER
//                            → "ok" or "failed"
//   sample X Y W H           the screen's pixels in that rectangle, every fourth
//                            one each way → "lit N of M sum S" (N not black)
//   names TYPE               the names of the saver's resources of a type, as stored
//   module PID NAME          → the path of the module NAME loaded in PID, or "none"
//   resource NAME TYPE       → "size N lang L head HHHHHHHH tail HHHHHHHH" or "missing"
//                            (TYPE a name, or #N for a numbered type)
//   text NAME TYPE           a resource's UTF-16 text
//   icon NAME                → "lang L images N WxH bits B" of an icon group
//   version FIELD            a text of the version information, or "fixed" for
//                            "file A.B.C.D product A.B.C.D", or "translation"
//   destroy HWND             destroy one of the harness's own windows → "ok"
//   post HWND MSG            post a message → "ok" or "failed"
//   kill PID                 end a saver that did not end → "ok"
//   soak PID SECONDS EVERY   watches a running saver: every EVERY seconds a line
//                            "sample T handles H gdi G windows W ws_kb K", then
//                            "done presentations N unfinished U", a presentation being
//                            one rise of monitor 0's overlay to full opacity and back to 0
//   monitors                 the desktop's monitors in its order
//                            → "N L,T,R,B ..." with N the monitor-count metric
//   quit                     end the harness
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include "process_usage.h"

#include <algorithm>
#include <cstring>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr UINT kCommandMessage = WM_APP + 1;

std::string saverPath;
std::map<DWORD, PROCESS_INFORMATION> processes;
std::map<std::string, HANDLE> heldMutexes;
DWORD mainThread = 0;

void Reply(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

DWORD WINAPI ReadCommands(LPVOID) {
  char line[4096];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    auto* command = new std::string(line);
    while (!command->empty() && (command->back() == '\n' || command->back() == '\r')) {
      command->pop_back();
    }
    PostThreadMessageA(mainThread, kCommandMessage, 0, reinterpret_cast<LPARAM>(command));
  }
  PostThreadMessageA(mainThread, kCommandMessage, 0,
                     reinterpret_cast<LPARAM>(new std::string("quit")));
  return 0;
}

// Serves the harness's windows during a long command; commands that arrive
// meanwhile wait in the queue for the main loop.
void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, kCommandMessage - 1, PM_REMOVE) ||
         PeekMessageA(&msg, nullptr, kCommandMessage + 1, 0xFFFFFFFF, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Waits for a process while the harness's windows keep working; calls
// `poll` about every millisecond.
template <typename Poll>
bool WaitForProcess(HANDLE process, DWORD milliseconds, Poll&& poll) {
  const DWORD start = GetTickCount();
  for (;;) {
    poll();
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return false;
    const DWORD result = MsgWaitForMultipleObjects(1, &process, FALSE,
                                                   1, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return true;
    PumpPending();
  }
}

struct WindowOfProcess {
  HWND window;
  std::string className;
  bool visible;
  int alpha;  // -1 when the window is not layered
  RECT rect;
  bool Shown() const { return visible && alpha != 0; }
};

std::vector<WindowOfProcess> TopLevelWindowsOf(DWORD pid) {
  std::vector<WindowOfProcess> found;
  struct Search {
    DWORD pid;
    std::vector<WindowOfProcess>* found;
  } search{pid, &found};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != s->pid) return TRUE;
        char name[256] = {};
        GetClassNameA(window, name, sizeof name);
        RECT rect{};
        GetWindowRect(window, &rect);
        BYTE alpha = 255;
        DWORD flags = 0;
        int opacity = -1;
        if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
            GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) &&
            (flags & LWA_ALPHA) != 0) {
          opacity = alpha;
        }
        s->found->push_back({window, name, IsWindowVisible(window) != FALSE, opacity, rect});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return found;
}

std::string Handle(HWND window) {
  return std::to_string(static_cast<long long>(reinterpret_cast<std::intptr_t>(window)));
}

HWND ParseHandle(const std::string& text) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::atoll(text.c_str())));
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void Launch(const std::string& arguments) {
  std::string commandLine = "\"" + saverPath + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    Reply("failed " + std::to_string(GetLastError()));
    return;
  }
  processes[info.dwProcessId] = info;
  Reply("pid " + std::to_string(info.dwProcessId));
}

// Both made suspended, then let go one right after the other.
void Pair(DWORD milliseconds, const std::string& arguments) {
  std::string commandLine = "\"" + saverPath + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  PROCESS_INFORMATION pair[2]{};
  for (auto& info : pair) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
      Reply("failed " + std::to_string(GetLastError()));
      return;
    }
    processes[info.dwProcessId] = info;
  }
  ResumeThread(pair[0].hThread);
  ResumeThread(pair[1].hThread);
  std::map<HWND, bool> seen[2];
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    for (int i = 0; i < 2; ++i) {
      for (const auto& w : TopLevelWindowsOf(pair[i].dwProcessId)) {
        if (w.Shown()) seen[i][w.window] = true;
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpPending();
  }
  std::string answer;
  for (int i = 0; i < 2; ++i) {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pair[i].hProcess, &code);
    answer += (i == 0 ? "pid " : " pid ") + std::to_string(pair[i].dwProcessId) +
              (code == STILL_ACTIVE ? std::string(" running") : " exited " + std::to_string(code)) +
              " visible " + std::to_string(seen[i].size());
  }
  Reply(answer);
}

void Watch(DWORD pid, DWORD milliseconds, bool countWindows) {
  const auto it = processes.find(pid);
  if (it == processes.end()) return Reply("unknown");
  std::map<HWND, bool> seenVisible;
  const bool ended = WaitForProcess(it->second.hProcess, milliseconds, [&] {
    if (!countWindows) return;
    for (const auto& w : TopLevelWindowsOf(pid)) {
      if (w.Shown()) seenVisible[w.window] = true;
    }
  });
  std::string answer = "timeout";
  if (ended) {
    DWORD code = 0;
    GetExitCodeProcess(it->second.hProcess, &code);
    answer = "exited " + std::to_string(code);
  }
  if (countWindows) answer += " visible " + std::to_string(seenVisible.size());
  Reply(answer);
}

void CpuOver(DWORD pid, DWORD milliseconds) {
  const auto it = processes.find(pid);
  if (it == processes.end()) return Reply("unknown");
  const HANDLE process = it->second.hProcess;
  const auto cpuMs = [process] {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1LL;
    const auto ticks = [](const FILETIME& t) {
      return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10'000;
  };
  const long long before = cpuMs();
  if (WaitForProcess(process, milliseconds, [] {})) return Reply("exited");
  const long long after = cpuMs();
  Reply(before < 0 || after < 0 ? "unreadable" : "cpu_ms " + std::to_string(after - before));
}

void Find(DWORD pid, const std::string& className, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    for (const auto& w : TopLevelWindowsOf(pid)) {
      if (w.className == className && w.visible) return Reply("hwnd " + Handle(w.window));
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpPending();
  } while (GetTickCount() - start < milliseconds);
  Reply("none");
}

std::string ChildControls(HWND parent) {
  std::string answer;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* text = reinterpret_cast<std::string*>(data);
        char name[256] = {};
        GetClassNameA(child, name, sizeof name);
        // GetWindowText does not ask a control of another process for its text.
        char caption[1024] = {};
        SendMessageA(child, WM_GETTEXT, sizeof caption, reinterpret_cast<LPARAM>(caption));
        const bool button = lstrcmpiA(name, "Button") == 0;
        const long check = button ? static_cast<long>(SendMessageA(child, BM_GETCHECK, 0, 0)) : -1;
        *text += std::string(name) + "|" + caption + "|" + std::to_string(check) + "|" +
                 (IsWindowVisible(child) ? "1" : "0") + " ";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&answer));
  return answer.empty() ? "-" : answer;
}

std::string FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  std::string answer;
  for (const auto& name : names) answer += (answer.empty() ? "" : " ") + name;
  return answer.empty() ? "-" : answer;
}

// The saver's module, loaded for its resources only.
HMODULE SaverModule() {
  static HMODULE module = LoadLibraryExA(saverPath.c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

LPCSTR TypeName(const std::string& type) {
  if (!type.empty() && type[0] == '#') return MAKEINTRESOURCEA(std::atoi(type.c_str() + 1));
  return type.c_str();
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

struct Found {
  const std::uint8_t* bytes = nullptr;
  DWORD size = 0;
  WORD language = 0;
};

// The path of a module a process has loaded, found by its file name.
std::string ModulePath(DWORD pid, const std::string& name) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return "none";
  HMODULE modules[1024];
  DWORD bytes = 0;
  std::string path = "none";
  if (EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL)) {
    for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 1024); ++i) {
      char file[MAX_PATH];
      if (GetModuleFileNameExA(process, modules[i], file, MAX_PATH) == 0) continue;
      const char* base = std::strrchr(file, '\\');
      if (lstrcmpiA(base != nullptr ? base + 1 : file, name.c_str()) == 0) path = file;
    }
  }
  CloseHandle(process);
  return path;
}

Found FindSaverResource(const std::string& name, const std::string& type) {
  Found found;
  const HMODULE module = SaverModule();
  const HRSRC resource = module ? FindResourceA(module, name.c_str(), TypeName(type)) : nullptr;
  if (resource == nullptr) return found;
  found.bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
  found.size = SizeofResource(module, resource);
  struct Query {
    WORD language = 0;
  } query;
  EnumResourceLanguagesA(
      module, TypeName(type), name.c_str(),
      [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR data) -> BOOL {
        reinterpret_cast<Query*>(data)->language = language;
        return FALSE;
      },
      reinterpret_cast<LONG_PTR>(&query));
  found.language = query.language;
  return found;
}

std::string ResourceNames(const std::string& type) {
  std::vector<std::string> names;
  EnumResourceNamesA(
      SaverModule(), TypeName(type),
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR data) -> BOOL {
        if (!IS_INTRESOURCE(name)) reinterpret_cast<std::vector<std::string>*>(data)->push_back(name);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&names));
  std::string answer;
  for (const auto& name : names) answer += (answer.empty() ? "" : " ") + name;
  return answer.empty() ? "-" : answer;
}

std::string VersionText(const std::string& field) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(saverPath.c_str(), &ignored);
  if (size == 0) return "-";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(saverPath.c_str(), 0, size, data.data())) return "-";
  void* value = nullptr;
  UINT length = 0;
  if (field == "fixed") {
    if (!VerQueryValueA(data.data(), "\\", &value, &length)) return "-";
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    const auto quad = [](DWORD high, DWORD low) {
      return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
             std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
    };
    return "file " + quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + " product " +
           quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }
  if (field == "translation") {
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4) {
      return "-";
    }
    const auto* words = static_cast<const WORD*>(value);
    char text[32];
    std::snprintf(text, sizeof text, "%04X%04X", words[0], words[1]);
    return text;
  }
  const std::string path = "\\StringFileInfo\\040904E4\\" + field;
  if (!VerQueryValueA(data.data(), path.c_str(), &value, &length)) return "-";
  return static_cast<const char*>(value);
}

HWND NthChild(HWND parent, int n) {
  struct Search {
    int left;
    HWND found;
  } search{n, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (s->left-- == 0) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible message box of the process, with its caption and its text.
std::string MessageBoxOf(DWORD pid) {
  for (const auto& w : TopLevelWindowsOf(pid)) {
    if (w.className != "#32770" || !w.visible) continue;
    char caption[256] = {};
    GetWindowTextA(w.window, caption, sizeof caption);
    std::string text;
    EnumChildWindows(
        w.window,
        [](HWND child, LPARAM data) -> BOOL {
          char name[64] = {};
          GetClassNameA(child, name, sizeof name);
          char value[1024] = {};
          SendMessageA(child, WM_GETTEXT, sizeof value, reinterpret_cast<LPARAM>(value));
          auto* longest = reinterpret_cast<std::string*>(data);
          if (lstrcmpiA(name, "Static") == 0 && std::string(value).size() > longest->size()) {
            *longest = value;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return std::string(caption) + "|" + text;
  }
  return "none";
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  *reinterpret_cast<std::string*>(list) += " " + std::to_string(r.left) + "," +
                                           std::to_string(r.top) + "," + std::to_string(r.right) +
                                           "," + std::to_string(r.bottom);
  return TRUE;
}

// The opacity of a layered top-level window of PID and class, or -1.
int OpacityOf(DWORD pid, const std::string& className) {
  for (const auto& w : TopLevelWindowsOf(pid)) {
    if (w.className == className) return w.alpha;
  }
  return -1;
}

void Soak(DWORD pid, DWORD seconds, DWORD every) {
  if (processes.count(pid) == 0) return Reply("unknown");
  const HANDLE process = processes[pid].hProcess;
  const DWORD start = GetTickCount();
  DWORD nextSample = 0;
  int previous = 0;
  bool covered = false;  // the overlay reached full opacity in this rise
  long presentations = 0, unfinished = 0;
  while (GetTickCount() - start < seconds * 1000) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= nextSample) {
      const ProcessUsage u = UsageOf(process, pid);
      Reply("sample " + std::to_string(elapsed / 1000) + " handles " + std::to_string(u.handles) +
            " gdi " + std::to_string(u.gdiObjects) + " windows " + std::to_string(u.windows) +
            " ws_kb " + std::to_string(u.workingSetKb));
      nextSample += every * 1000;
    }
    const int alpha = OpacityOf(pid, "TfrmSAVERbl");
    if (alpha >= 250) covered = true;  // 252 and 255 last a step each at least
    if (alpha == 0 && previous > 0) {
      (covered ? presentations : unfinished) += 1;
      covered = false;
    }
    if (alpha >= 0) previous = alpha;
    if (MsgWaitForMultipleObjects(1, &process, FALSE, 10, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    PumpPending();
  }
  Reply("done presentations " + std::to_string(presentations) + " unfinished " +
        std::to_string(unfinished));
}

std::string Monitors() {
  std::string list = std::to_string(GetSystemMetrics(SM_CMONITORS));
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  return list;
}

HWND CreateTitled(const std::string& title) {
  return CreateWindowExA(0, "STATIC", title.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND CreateHost(int width, int height) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    // Black, so that only what the saver draws lights the host up.
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "OrvanelTestHost";
    RegisterClassA(&wc);
    registered = true;
  }
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, WS_POPUP, FALSE, 0);
  return CreateWindowExA(0, "OrvanelTestHost", "Orvanel test host", WS_POPUP | WS_VISIBLE, 100, 100,
                         rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

bool Execute(const std::string& line) {
  std::istringstream words(line);
  std::string verb;
  words >> verb;
  if (verb == "quit") return false;
  if (verb == "launch") {
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    Launch(rest);
  } else if (verb == "pair") {
    DWORD ms = 0;
    words >> ms;
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    Pair(ms, rest);
  } else if (verb == "watch" || verb == "wait-exit") {
    DWORD pid = 0, ms = 0;
    words >> pid >> ms;
    Watch(pid, ms, verb == "watch");
  } else if (verb == "cpu") {
    DWORD pid = 0, ms = 0;
    words >> pid >> ms;
    CpuOver(pid, ms);
  } else if (verb == "find") {
    DWORD pid = 0, ms = 0;
    std::string className;
    words >> pid >> className >> ms;
    Find(pid, className, ms);
  } else if (verb == "windows") {
    DWORD pid = 0;
    words >> pid;
    std::string answer;
    for (const auto& w : TopLevelWindowsOf(pid)) {
      answer += w.className + ":" + (w.visible ? "1" : "0") + ":" + std::to_string(w.alpha) + ":" +
                std::to_string(w.rect.left) +
                "," + std::to_string(w.rect.top) + "," + std::to_string(w.rect.right) + "," +
                std::to_string(w.rect.bottom) + " ";
    }
    Reply(answer.empty() ? "-" : answer);
  } else if (verb == "mutex") {
    std::string name;
    words >> name;
    const HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    Reply(mutex != nullptr ? "exists" : "absent");
    if (mutex != nullptr) CloseHandle(mutex);
  } else if (verb == "hold") {
    std::string name;
    words >> name;
    heldMutexes[name] = CreateMutexA(nullptr, FALSE, name.c_str());
    Reply(heldMutexes[name] != nullptr ? "ok" : "failed");
  } else if (verb == "drop") {
    std::string name;
    words >> name;
    if (heldMutexes.count(name) != 0) CloseHandle(heldMutexes[name]);
    heldMutexes.erase(name);
    Reply("ok");
  } else if (verb == "host") {
    int width = 0, height = 0;
    words >> width >> height;
    Reply("hwnd " + Handle(CreateHost(width, height)));
  } else if (verb == "titled") {
    std::string title;
    std::getline(words, title);
    if (!title.empty() && title.front() == ' ') title.erase(0, 1);
    Reply("hwnd " + Handle(CreateTitled(title)));
  } else if (verb == "enabled") {
    std::string window;
    words >> window;
    Reply(IsWindowEnabled(ParseHandle(window)) ? "1" : "0");
  } else if (verb == "controls") {
    std::string window;
    words >> window;
    Reply(ChildControls(ParseHandle(window)));
  } else if (verb == "child") {
    std::string window;
    int n = 0;
    words >> window >> n;
    const HWND child = NthChild(ParseHandle(window), n);
    Reply(child ? "hwnd " + Handle(child) : "none");
  } else if (verb == "rect") {
    std::string window;
    words >> window;
    const HWND handle = ParseHandle(window);
    RECT rect{};
    if (!GetWindowRect(handle, &rect)) {
      Reply("none");
    } else {
      MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
      Reply(std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
            std::to_string(rect.bottom));
    }
  } else if (verb == "settext") {
    std::string window, text;
    words >> window;
    std::getline(words, text);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    SendMessageA(ParseHandle(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Reply("ok");
  } else if (verb == "focus") {
    // The window that has the keyboard focus on the thread of `window`.
    std::string window;
    words >> window;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(ParseHandle(window), nullptr);
    Reply(thread != 0 && GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr
              ? "hwnd " + Handle(info.hwndFocus)
              : "none");
  } else if (verb == "press") {
    std::string window;
    words >> window;
    Reply(PostMessageA(ParseHandle(window), BM_CLICK, 0, 0) ? "ok" : "failed");
  } else if (verb == "box") {
    DWORD pid = 0, ms = 0;
    words >> pid >> ms;
    const DWORD start = GetTickCount();
    std::string answer = MessageBoxOf(pid);
    while (answer == "none" && GetTickCount() - start < ms) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      PumpPending();
      answer = MessageBoxOf(pid);
    }
    Reply(answer);
  } else if (verb == "read-ini") {
    std::string file, section, key;
    words >> file >> section >> key;
    char value[2048] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "-", value, sizeof value, file.c_str());
    Reply(value);
  } else if (verb == "appdata") {
    char path[MAX_PATH + 4] = {};
    Reply(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path)) ? path : "-");
  } else if (verb == "entries") {
    std::string folder;
    std::getline(words, folder);
    if (!folder.empty() && folder.front() == ' ') folder.erase(0, 1);
    Reply(FolderEntries(folder));
  } else if (verb == "write-ini") {
    std::string file, section, key, value;
    words >> file >> section >> key >> value;
    Reply(WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str())
              ? "ok"
              : "failed");
  } else if (verb == "delete") {
    std::string file;
    words >> file;
    Reply(DeleteFileA(file.c_str()) ? "ok" : "failed");
  } else if (verb == "mkdir") {
    std::string folder;
    words >> folder;
    Reply(CreateDirectoryA(folder.c_str(), nullptr) ? "ok" : "failed");
  } else if (verb == "sample") {
    int x = 0, y = 0, w = 0, h = 0;
    words >> x >> y >> w >> h;
    const HDC screen = GetDC(nullptr);
    long lit = 0, total = 0;
    unsigned long long sum = 0;
    for (int py = y; py < y + h; py += 4) {
      for (int px = x; px < x + w; px += 4) {
        const COLORREF colour = GetPixel(screen, px, py);
        ++total;
        if (std::max({GetRValue(colour), GetGValue(colour), GetBValue(colour)}) > 10) ++lit;
        sum += GetRValue(colour) + 3ULL * GetGValue(colour) + 7ULL * GetBValue(colour);
      }
    }
    ReleaseDC(nullptr, screen);
    Reply("lit " + std::to_string(lit) + " of " + std::to_string(total) + " sum " + std::to_string(sum));
  } else if (verb == "longdate") {
    // A date in the long form of the user's locale, as the system writes it.
    SYSTEMTIME date = {};
    words >> date.wYear >> date.wMonth >> date.wDay;
    wchar_t text[128] = {};
    char utf8[512] = {};
    const bool written = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &date, nullptr, text, 128) > 0 &&
                         WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr) > 0;
    Reply(written ? utf8 : "-");
  } else if (verb == "rmdir") {
    std::string folder;
    words >> folder;
    Reply(RemoveDirectoryA(folder.c_str()) ? "ok" : "failed");
  } else if (verb == "names") {
    std::string type;
    words >> type;
    Reply(ResourceNames(type));
  } else if (verb == "module") {
    DWORD pid = 0;
    std::string name;
    words >> pid >> name;
    Reply(ModulePath(pid, name));
  } else if (verb == "resource") {
    std::string name, type;
    words >> name >> type;
    const Found found = FindSaverResource(name, type);
    if (found.bytes == nullptr) {
      Reply("missing");
    } else {
      Reply("size " + std::to_string(found.size) + " lang " + std::to_string(found.language) +
            " head " + Hex(found.bytes, std::min<DWORD>(found.size, 4)) + " tail " +
            Hex(found.bytes + (found.size >= 4 ? found.size - 4 : 0), std::min<DWORD>(found.size, 4)));
    }
  } else if (verb == "text") {
    std::string name, type;
    words >> name >> type;
    const Found found = FindSaverResource(name, type);
    std::string text;
    for (DWORD i = 0; found.bytes != nullptr && i + 1 < found.size; i += 2) {
      const unsigned unit = found.bytes[i] | found.bytes[i + 1] << 8;
      if (unit == 0) break;
      text += unit < 128 ? static_cast<char>(unit) : '?';
    }
    Reply(found.bytes == nullptr ? "missing" : text);
  } else if (verb == "icon") {
    std::string name;
    words >> name;
    const Found group = FindSaverResource(name, "#14");
    if (group.bytes == nullptr || group.size < 6) {
      Reply("missing");
    } else {
      // GRPICONDIR: 6 bytes, then 14-byte entries naming the RT_ICON images.
      const int count = group.bytes[4] | group.bytes[5] << 8;
      const std::uint8_t* entry = group.bytes + 6;
      const int id = entry[12] | entry[13] << 8;
      const Found image = FindSaverResource("#" + std::to_string(id), "#3");
      const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.bytes);
      Reply("lang " + std::to_string(group.language) + " images " + std::to_string(count) + " " +
            (header ? std::to_string(header->biWidth) + "x" + std::to_string(header->biHeight / 2) +
                          " bits " + std::to_string(header->biBitCount)
                    : std::string("no image")));
    }
  } else if (verb == "version") {
    std::string field;
    words >> field;
    Reply(VersionText(field));
  } else if (verb == "destroy") {
    std::string window;
    words >> window;
    Reply(DestroyWindow(ParseHandle(window)) ? "ok" : "failed");
  } else if (verb == "post") {
    std::string window;
    UINT message = 0;
    words >> window >> message;
    Reply(PostMessageA(ParseHandle(window), message, 0, 0) ? "ok" : "failed");
  } else if (verb == "soak") {
    DWORD pid = 0, seconds = 0, every = 0;
    words >> pid >> seconds >> every;
    Soak(pid, seconds, std::max<DWORD>(every, 1));
  } else if (verb == "monitors") {
    Reply(Monitors());
  } else if (verb == "dpi") {
    const HDC screen = GetDC(nullptr);
    Reply(std::to_string(GetDeviceCaps(screen, LOGPIXELSX)));
    ReleaseDC(nullptr, screen);
  } else if (verb == "kill") {
    DWORD pid = 0;
    words >> pid;
    if (processes.count(pid) != 0) TerminateProcess(processes[pid].hProcess, 1);
    Reply("ok");
  } else {
    Reply("unknown command");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: harness.exe SAVER_PATH\n", stderr);
    return 2;
  }
  saverPath = argv[1];
  mainThread = GetCurrentThreadId();
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here on
  const HANDLE reader = CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);
  Reply("ready");
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == kCommandMessage && msg.hwnd == nullptr) {
      auto* command = reinterpret_cast<std::string*>(msg.lParam);
      const bool goOn = Execute(*command);
      delete command;
      if (!goOn) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  for (auto& [pid, info] : processes) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  CloseHandle(reader);
  return 0;
}
