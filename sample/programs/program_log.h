/* The stand-in product programs leave a trace of every call in a log file beside their own
   module (Elevator.exe -> Elevator.log), so that tests of the setup can see exactly how the
   setup started or called them: the programs log their parameters, the libraries the name of
   the export that was called. One UTF-8 line per call, CR LF terminated; the file is opened
   for appending with sharing, so concurrent callers never overwrite each other's lines. */
#ifndef NOLU_SAMPLE_PROGRAM_LOG_H_
#define NOLU_SAMPLE_PROGRAM_LOG_H_

#include <windows.h>

/* Appends `line` to the log of `module` (NULL: the program itself). Best effort: a log that
   cannot be written must not change the behaviour the setup relies on. */
static inline void AppendLogLine(HMODULE module, const wchar_t* line) {
  wchar_t path[32768];
  DWORD length = GetModuleFileNameW(module, path, 32768 - 8);
  if (length == 0 || length >= 32768 - 8) return;
  wchar_t* dot = NULL;
  for (wchar_t* p = path; *p; ++p) {
    if (*p == L'.') dot = p;
    if (*p == L'\\') dot = NULL;
  }
  if (dot == NULL) dot = path + length;
  lstrcpyW(dot, L".log");

  int utf8_length = WideCharToMultiByte(CP_UTF8, 0, line, -1, NULL, 0, NULL, NULL);
  if (utf8_length <= 0) return;
  /* utf8_length counts the terminating zero, which makes room for CR; one more for LF. */
  char* utf8 = (char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)utf8_length + 1);
  if (utf8 == NULL) return;
  WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, utf8_length, NULL, NULL);
  utf8[utf8_length - 1] = '\r';
  utf8[utf8_length] = '\n';

  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, utf8, (DWORD)utf8_length + 1, &written, NULL);
    CloseHandle(file);
  }
  HeapFree(GetProcessHeap(), 0, utf8);
}

/* The parameter text of the program's command line: everything after the program's name,
   verbatim, leading blanks included (" /REG=U" for the line C:\Nolu\Elevator.exe /REG=U). The
   name may be quoted or not; an unquoted one may hold blanks, as when the setup starts
   Elevator.exe by its full path directly followed by the switches. */
static inline const wchar_t* CommandLineParameters(void) {
  const wchar_t* line = GetCommandLineW();
  if (line[0] == L'"') {
    const wchar_t* end = line + 1;
    while (*end && *end != L'"')
      ++end;
    return *end ? end + 1 : end;
  }
  wchar_t self[32768];
  DWORD length = GetModuleFileNameW(NULL, self, 32768);
  if (length > 0 && length < 32768 && (DWORD)lstrlenW(line) >= length &&
      CompareStringOrdinal(line, (int)length, self, (int)length, TRUE) == CSTR_EQUAL) {
    return line + length;
  }
  while (*line && *line != L' ' && *line != L'\t')
    ++line;
  return line;
}

#endif /* NOLU_SAMPLE_PROGRAM_LOG_H_ */
