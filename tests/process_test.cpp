// The game as another program has it: driven through pipes prompt by prompt,
// abandoned by the reader of its output, and played for a million turns.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Under AddressSanitizer the game's memory is mostly the sanitizer's own, and
// its start needs more than a small stack.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool underSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool underSanitizer = true;
#else
constexpr bool underSanitizer = false;
#endif
#else
constexpr bool underSanitizer = false;
#endif

// Starts the game with `in` and `out` as its standard input and output and,
// when `stackBytes` is not 0, that much stack at most.
pid_t startGame(int in, int out, rlim_t stackBytes = 0) {
  const pid_t game = fork();
  if (game == 0) {
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    if (stackBytes != 0) {
      const rlimit stack{stackBytes, stackBytes};
      setrlimit(RLIMIT_STACK, &stack);
    }
    execl(VORTANOX_GAME, VORTANOX_GAME, static_cast<char*>(nullptr));
    _exit(127);
  }
  return game;
}

std::string fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(Driver, EveryPromptIsOnScreenBeforeTheGameWaits) {
  int toGame[2];
  int fromGame[2];
  ASSERT_EQ(pipe(toGame), 0);
  ASSERT_EQ(pipe(fromGame), 0);
  const pid_t game = startGame(toGame[0], fromGame[1]);
  ASSERT_GT(game, 0);
  close(toGame[0]);
  close(fromGame[1]);

  // The road of one game, each answer sent only once its prompt has arrived.
  const std::vector<std::string> answers = {"1", "1", "1", "1", "1", "1",
                                            "1", "1", "1", "2"};
  std::string screen;
  std::size_t answered = 0;
  for (;;) {
    pollfd ready{fromGame[0], POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 10000), 1)
        << "no output for 10 s: the game waits with a prompt held back after:\n"
        << screen.substr(screen.size() > 300 ? screen.size() - 300 : 0);
    char chunk[4096];
    const ssize_t got = read(fromGame[0], chunk, sizeof chunk);
    if (got <= 0) break;
    screen.append(chunk, static_cast<std::size_t>(got));
    if (answered < answers.size() &&
        (endsWith(screen, "Choose:") || endsWith(screen, "(1=Yes or 2=No):"))) {
      const std::string line = answers[answered++] + "\n";
      ASSERT_EQ(write(toGame[1], line.data(), line.size()),
                static_cast<ssize_t>(line.size()));
    }
  }
  close(toGame[1]);
  close(fromGame[0]);
  int status = 0;
  ASSERT_EQ(waitpid(game, &status, 0), game);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(answered, answers.size());
  EXPECT_EQ(screen, fileText(VORTANOX_TRANSCRIPTS "/road-of-one-game.out"));
}

TEST(Pipes, TheGameEndsPromptlyWhenItsOutputCannotBeWritten) {
  // Endless heals against the easy opponent would play forever; with nobody
  // left to read, the game must end, and end well. Each pipeline prints the
  // game's exit status: 124 means it was still running after 20 s.
  const char* const pipelines[] = {
      "yes 3 | timeout 20 \"$0\" | head -c 1000 >/dev/null",  // the reader goes away
      "yes 3 | timeout 20 \"$0\" >/dev/full",                 // no room
      "yes 3 | timeout 20 \"$0\" >&-",                        // no output at all
  };
  for (const char* pipeline : pipelines) {
    const std::string command = std::string("bash -c '") + pipeline +
                                "; echo \"${PIPESTATUS[1]}\"' " VORTANOX_GAME;
    std::FILE* shell = popen(command.c_str(), "r");
    ASSERT_NE(shell, nullptr);
    char status[32] = {};
    const bool gotStatus = std::fgets(status, sizeof status, shell) != nullptr;
    pclose(shell);
    ASSERT_TRUE(gotStatus) << pipeline;
    EXPECT_STREQ(status, "0\n") << pipeline;
  }
}

// A figure of the game's memory in KiB from /proc, as the kernel counts it
// for the game alone (the memory of the forked test process does not count).
long memoryKib(pid_t game, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(game) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, field.size() + 1, field + ":") == 0)
      return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// What the game holds: its peak resident memory, and its own (anonymous)
// memory, where anything that grew with the turns would be.
struct Footprint {
  long peakKib = -1;
  long ownKib = -1;
};

// Whether the game sleeps: with its output going to /dev/null, it sleeps only
// in a read of input.
bool sleeps(pid_t game) {
  std::ifstream stat("/proc/" + std::to_string(game) + "/stat");
  std::string pid, name, state;
  stat >> pid >> name >> state;
  return state == "S";
}

// Plays `turns` heals against the easy opponent, which never ends by itself,
// on a stack of 64 KiB, then ends the battle with the unlisted choice.
// Returns its footprint once it has taken the whole script and waits at the
// replay question.
Footprint footprintOfEndlessBattle(long turns) {
  Footprint footprint;
  int toGame[2];
  if (pipe(toGame) != 0) return footprint;
  const int nowhere = open("/dev/null", O_WRONLY);
  const pid_t game = startGame(toGame[0], nowhere, 64 * 1024);
  close(toGame[0]);
  close(nowhere);

  std::string script = "1\n1\n";
  for (long turn = 0; turn < turns; ++turn) script += "3\n";
  script += "4\n";
  bool sent = write(toGame[1], script.data(), script.size()) ==
              static_cast<ssize_t>(script.size());
  EXPECT_TRUE(sent);
  for (int tries = 0; sent && tries < 10000; ++tries) {
    int unread = 0;
    ioctl(toGame[1], FIONREAD, &unread);
    if (unread == 0 && sleeps(game)) {
      footprint.peakKib = memoryKib(game, "VmHWM");
      footprint.ownKib = memoryKib(game, "RssAnon");
      break;
    }
    usleep(1000);
  }
  (void)!write(toGame[1], "2\n", 2);
  close(toGame[1]);
  int status = 0;
  waitpid(game, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the game did not finish " << turns << " turns on a 64 KiB stack";
  return footprint;
}

TEST(Memory, AMillionTurnsTakeNoMoreThanAThousand) {
  if (underSanitizer) GTEST_SKIP() << "measured in builds without sanitizers";
  const Footprint thousand = footprintOfEndlessBattle(1000);
  const Footprint million = footprintOfEndlessBattle(1000000);
  std::cout << "peak memory " << thousand.peakKib << " KiB (own "
            << thousand.ownKib << " KiB) for 1000 turns, " << million.peakKib
            << " KiB (own " << million.ownKib
            << " KiB) for 1000000 turns, on a 64 KiB stack\n";
  ASSERT_GT(thousand.ownKib, 0);
  // Anything that grew with the turns, even a byte a turn, would be close to
  // a MiB more. The peak also counts pages of the shared libraries, which the
  // kernel maps in by the handful as its cache allows, so it wanders a little.
  EXPECT_LE(million.ownKib, thousand.ownKib + 8);
  EXPECT_LE(million.peakKib, thousand.peakKib + 256);
}

}  // namespace
