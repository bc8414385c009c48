// The host layer of the console: the little that differs between POSIX and
// Windows. console.cpp builds the four console operations on these; exactly
// one of console-posix.cpp and console-win32.cpp is linked.
#ifndef VORTANOX_CONSOLE_HOST_H_
#define VORTANOX_CONSOLE_HOST_H_

#include <cstddef>

// Reads up to `capacity` bytes of standard input into `buffer`, waiting until
// some arrive. Returns how many, or 0 when input has ended or cannot be read.
std::size_t hostRead(char* buffer, std::size_t capacity);

// Writes all `length` bytes of `bytes` to standard output in one write where
// the host allows. Returns false when the output cannot take them.
bool hostWrite(const char* bytes, std::size_t length);

// Whether standard input is an interactive terminal or console. A query of the
// host: the console asks once and remembers.
bool hostInputIsInteractive();

// The pause on an interactive input: prompt, wait for one key, end the line.
void hostWaitForKey();

#endif  // VORTANOX_CONSOLE_HOST_H_
