#pragma once
// Ending the program.

#include <cstdint>

// Ends the process at once with the exit code; does not return. Nothing is
// saved and no window is asked first.
[[noreturn]] void EndProgram(std::uint32_t exitCode);
