#include "host/program_end.h"

#include <windows.h>

void EndProgram(std::uint32_t exitCode) { ::ExitProcess(exitCode); }
