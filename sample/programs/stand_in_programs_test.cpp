// Runs the stand-in product programs the way the setup does and reads what they left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Everything is built into the folder of this test program.
std::wstring BuildFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

// The top-level window of a class that belongs to one process (another copy of the program
// may be running on the same desktop).
HWND FindTopLevelWindow(const wchar_t* class_name, DWORD process_id) {
  struct Search {
    const wchar_t* class_name;
    DWORD process_id;
    HWND found;
  } search = {class_name, process_id, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[256];
        if (owner == s->process_id && GetClassNameW(window, name, 256) &&
            lstrcmpW(name, s->class_name) == 0) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Ends a started program that a failed test left running, so that it cannot hold the test's
// folder or wait for a window message that never comes.
class ProcessGuard {
 public:
  explicit ProcessGuard(HANDLE process) : process_(process) {}
  ~ProcessGuard() {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  ProcessGuard(const ProcessGuard&) = delete;
  ProcessGuard& operator=(const ProcessGuard&) = delete;

 private:
  HANDLE process_;
};

// A fresh folder whose name holds blanks, as "Program Files (x86)" does; removed afterwards.
class StandInPrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ =
        std::wstring(temp) + L"Nolu sample (x86) " + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  }

  void TearDown() override {
    for (const std::wstring& file : copied_) {
      DeleteFileW(file.c_str());
      DeleteFileW(LogOf(file).c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }

  // Copies a built program into the test folder and answers its full path there.
  std::wstring Install(const std::wstring& name) {
    std::wstring target = folder_ + name;
    EXPECT_TRUE(CopyFileW((BuildFolder() + name).c_str(), target.c_str(), FALSE))
        << Utf8(name) << " was not built beside the test";
    copied_.push_back(target);
    return target;
  }

  static std::wstring LogOf(const std::wstring& module) {
    return module.substr(0, module.find_last_of(L'.')) + L".log";
  }

  // Starts a raw command line, as the setup's RunAndWait does, and waits for the end.
  static DWORD RunAndWait(std::wstring command_line) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      ADD_FAILURE() << "cannot start " << Utf8(command_line) << " (error " << GetLastError() << ")";
      return ~0u;
    }
    CloseHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = ~0u;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
  }

  std::wstring folder_;
  std::vector<std::wstring> copied_;
};

TEST_F(StandInPrograms, MainWindow_FoundByClass_ClosesOnWmClose) {
  const std::wstring exe = Install(L"Nolu.exe");
  std::wstring command_line = L"\"" + exe + L"\" /play";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  CloseHandle(process.hThread);
  ProcessGuard guard(process.hProcess);
  // Looks for the window until it appears or the program ends (bounded, never timed).
  HWND window = nullptr;
  for (int i = 0; i < 1200 && !window; ++i) {
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
    window = FindTopLevelWindow(L"TNoluMainForm", process.dwProcessId);
  }
  ASSERT_NE(window, nullptr);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);

  // The setup finds the installation folder through the image of the window's process.
  HANDLE query = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner);
  ASSERT_NE(query, nullptr);
  std::wstring image(32768, L'\0');
  DWORD size = static_cast<DWORD>(image.size());
  ASSERT_TRUE(QueryFullProcessImageNameW(query, 0, image.data(), &size));
  image.resize(size);
  CloseHandle(query);
  EXPECT_EQ(CompareStringOrdinal(image.c_str(), -1, exe.c_str(), -1, TRUE), CSTR_EQUAL)
      << Utf8(image);

  SendMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(FindTopLevelWindow(L"TNoluMainForm", process.dwProcessId), nullptr);
  EXPECT_EQ(ReadFile(LogOf(exe)), " /play\r\n");
}

// Each program records its parameters exactly as given, one line per start, also when its
// path holds blanks and is not quoted (the setup starts Elevator.exe that way).
TEST_F(StandInPrograms, CommandLinePrograms_LogExactCommandLines) {
  struct Case {
    const wchar_t* program;
    std::vector<std::wstring> switches;  // one start per entry
    bool quote_path;
  };
  const Case cases[] = {
      {L"Elevator.exe", {L" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2 /REG_UI", L" /REG=U"}, false},
      {L"Elevator.exe", {L" /REG=R2"}, true},
      {L"LumoSetup.exe", {L" /S /VIEWER /SHORTCUTS /SOURCE=nolu"}, true},
      {L"LumoSetup.exe", {L" /S /NOASSOC /SOURCE=\"n o l u\""}, true},
  };
  for (const Case& c : cases) {
    const std::wstring exe = Install(c.program);
    DeleteFileW(LogOf(exe).c_str());
    std::string expected;
    for (const std::wstring& switches : c.switches) {
      const std::wstring command_line = (c.quote_path ? L"\"" + exe + L"\"" : exe) + switches;
      EXPECT_EQ(RunAndWait(command_line), 0u) << Utf8(command_line);
      expected += Utf8(switches) + "\r\n";
    }
    EXPECT_EQ(ReadFile(LogOf(exe)), expected) << Utf8(c.program);
  }
}

// --- the shell-menu libraries

struct PeFacts {
  uint16_t machine = 0;
  std::vector<std::string> exports;
};

// Reads the machine type and the exported names from a library's headers, without loading it
// (the x86 library cannot be loaded into this x64 process).
PeFacts ReadPe(const std::wstring& path) {
  const std::string file = ReadFile(path);
  PeFacts facts;
  auto at = [&](size_t offset, size_t size) -> const char* {
    return offset + size <= file.size() ? file.data() + offset : nullptr;
  };
  auto u16 = [&](size_t o) {
    uint16_t v = 0;
    if (at(o, 2)) memcpy(&v, at(o, 2), 2);
    return v;
  };
  auto u32 = [&](size_t o) {
    uint32_t v = 0;
    if (at(o, 4)) memcpy(&v, at(o, 4), 4);
    return v;
  };
  if (u16(0) != IMAGE_DOS_SIGNATURE) return facts;
  const size_t nt = u32(0x3c);
  if (u32(nt) != IMAGE_NT_SIGNATURE) return facts;
  facts.machine = u16(nt + 4);
  const size_t sections = u16(nt + 6);
  const size_t optional = nt + 24;
  const size_t optional_size = u16(nt + 20);
  const bool pe32plus = u16(optional) == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
  const size_t directories = optional + (pe32plus ? 112 : 96);
  const uint32_t export_rva = u32(directories);
  const size_t section_table = optional + optional_size;
  auto file_offset = [&](uint32_t rva) -> size_t {
    for (size_t i = 0; i < sections; ++i) {
      const size_t s = section_table + i * 40;
      const uint32_t va = u32(s + 12), raw_size = u32(s + 16), raw = u32(s + 20);
      if (rva >= va && rva < va + raw_size) return raw + (rva - va);
    }
    return SIZE_MAX / 2;
  };
  if (export_rva == 0) return facts;
  const size_t dir = file_offset(export_rva);
  const uint32_t count = u32(dir + 24);
  const size_t names = file_offset(u32(dir + 32));
  for (uint32_t i = 0; i < count && i < 64; ++i) {
    const char* name = at(file_offset(u32(names + i * 4)), 1);
    if (name) facts.exports.emplace_back(name);
  }
  return facts;
}

TEST_F(StandInPrograms, ShellMenuLibraries_ExportUnregisterForTheirProcessor) {
  const struct {
    const wchar_t* name;
    uint16_t machine;
  } libraries[] = {{L"nolu_menu64.dll", IMAGE_FILE_MACHINE_AMD64},
                   {L"nolu_menu32.dll", IMAGE_FILE_MACHINE_I386}};
  for (const auto& library : libraries) {
    const PeFacts facts = ReadPe(BuildFolder() + library.name);
    EXPECT_EQ(facts.machine, library.machine) << Utf8(library.name);
    EXPECT_EQ(facts.exports, (std::vector<std::string>{"DllRegisterServer", "DllUnregisterServer"}))
        << Utf8(library.name);
  }
}

TEST_F(StandInPrograms, ShellMenuLibrary64_LoadsAndLogsEachUnregister) {
  const std::wstring dll = Install(L"nolu_menu64.dll");
  for (int call = 0; call < 2; ++call) {
    HMODULE module = LoadLibraryW(dll.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto unregister = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")));
    ASSERT_NE(unregister, nullptr);
    EXPECT_EQ(unregister(), S_OK);
    FreeLibrary(module);
  }
  EXPECT_EQ(ReadFile(LogOf(dll)), "DllUnregisterServer\r\nDllUnregisterServer\r\n");
}

// The setup only deletes a library that its own process cannot load.
TEST_F(StandInPrograms, ShellMenuLibrary32_DoesNotLoadIntoThisProcess) {
  const std::wstring dll = Install(L"nolu_menu32.dll");
  HMODULE module = LoadLibraryW(dll.c_str());
  EXPECT_EQ(module, nullptr);
  if (module) FreeLibrary(module);
  EXPECT_EQ(GetFileAttributesW(LogOf(dll).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
