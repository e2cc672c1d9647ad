/* Elevator.exe and the add-on installer of the sample product. The setup only starts them and
   waits (or not) for their end; what they would register or install is outside the setup. They
   record their parameters exactly as the system handed them over and end with exit code 0. */
#include <windows.h>

#include "program_log.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
  (void)instance;
  (void)previous;
  (void)arguments;
  (void)show;
  AppendLogLine(NULL, CommandLineParameters());
  return 0;
}
