// The floor for the game's cost: replays a recording of the game's writes
// (each text followed by a NUL byte) as one write(2) per text and does nothing
// else, which is the least any program with the game's output contract can do.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const int recording = open(argv[1], O_RDONLY);
  struct stat status {};
  if (recording < 0 || fstat(recording, &status) != 0 || status.st_size == 0) return 2;
  const auto size = static_cast<std::size_t>(status.st_size);
  void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, recording, 0);
  if (mapped == MAP_FAILED) return 2;
  const char* text = static_cast<const char*>(mapped);
  const char* const end = text + size;
  while (text < end) {
    const char* const stop = static_cast<const char*>(std::memchr(text, '\0', static_cast<std::size_t>(end - text)));
    const std::size_t length = static_cast<std::size_t>((stop ? stop : end) - text);
    if (write(STDOUT_FILENO, text, length) < 0) return 1;
    text += length + 1;
  }
  return 0;
}
