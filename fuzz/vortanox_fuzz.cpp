// Plays whole runs of the game in process on arbitrary bytes as standard
// input, and checks that each run comes to its end with output no longer than
// a fixed multiple of its input. The sanitizers check the rest.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "console.h"

// The game's own main, renamed for this build.
int playVortanox();

namespace {

// A run writes a few hundred bytes for the first game and at most a few
// hundred more for each byte of input it reads (a byte can answer a prompt
// and start a whole turn or a whole game).
constexpr long long outputBound(std::size_t inputSize) {
  return 4096 + 512 * static_cast<long long>(inputSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int script = memfd_create("script", 0);
  static const int screen = memfd_create("screen", 0);
  if (script < 0 || screen < 0) std::abort();

  if (ftruncate(script, 0) != 0 || ftruncate(screen, 0) != 0) std::abort();
  if (size > 0 && pwrite(script, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  lseek(script, 0, SEEK_SET);
  lseek(screen, 0, SEEK_SET);
  dup2(script, STDIN_FILENO);
  dup2(screen, STDOUT_FILENO);

  restartConsole();
  if (playVortanox() != 0) std::abort();

  if (lseek(screen, 0, SEEK_CUR) > outputBound(size)) std::abort();
  return 0;
}
