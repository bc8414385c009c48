#include "play.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "console.h"

namespace {

// Points descriptor `fd` at `file` until destroyed.
struct Redirect {
  Redirect(int target, std::FILE* file) : fd(target), saved(dup(target)) {
    std::fflush(stdout);
    dup2(fileno(file), fd);
  }
  ~Redirect() {
    dup2(saved, fd);
    close(saved);
  }
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;
  int fd;
  int saved;
};

}  // namespace

std::string played(const std::string& script, const std::function<void()>& call) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  if (in == nullptr || out == nullptr) throw std::runtime_error("no tmpfile");
  std::fwrite(script.data(), 1, script.size(), in);
  std::fflush(in);
  std::rewind(in);
  {
    Redirect input(STDIN_FILENO, in);
    Redirect output(STDOUT_FILENO, out);
    restartConsole();
    call();
  }
  std::string written;
  std::rewind(out);
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, out)) > 0) written.append(chunk, got);
  std::fclose(in);
  std::fclose(out);
  return written;
}
