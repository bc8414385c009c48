// The console's host layer on Windows: the C runtime's descriptors in text
// mode (each "\n" goes out as CR LF, and CR LF comes in as "\n"), and the
// command interpreter's PAUSE on a console.
#include <io.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "console-host.h"

namespace {

unsigned chunk(std::size_t length) {
  return length > INT_MAX ? static_cast<unsigned>(INT_MAX)
                          : static_cast<unsigned>(length);
}

}  // namespace

std::size_t hostRead(char* buffer, std::size_t capacity) {
  const int got = _read(0, buffer, chunk(capacity));
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool hostWrite(const char* bytes, std::size_t length) {
  while (length > 0) {
    const int put = _write(1, bytes, chunk(length));
    if (put <= 0) return false;
    bytes += put;
    length -= static_cast<std::size_t>(put);
  }
  return true;
}

bool hostInputIsInteractive() {
  // _isatty answers true for NUL as well; only a console has a console mode.
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void hostWaitForKey() {
  // PAUSE on a pipe would read bytes of the script itself, so this is reached
  // only on a console.
  std::fflush(stdout);
  const int ignored = std::system("PAUSE");
  (void)ignored;
}
