// The game on a pseudo-terminal, as a player at a keyboard has it: the pauses
// wait for a key and the terminal is left as it was found.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {

// Makes the terminal `slave` the game's standard input and output and runs it.
[[noreturn]] void runGameOn(int slave, int master) {
  const rlimit noCore{0, 0};  // Ctrl-\ would leave a core file
  setrlimit(RLIMIT_CORE, &noCore);
  dup2(slave, STDIN_FILENO);
  dup2(slave, STDOUT_FILENO);
  dup2(slave, STDERR_FILENO);
  close(master);
  close(slave);
  execl(VORTANOX_GAME, VORTANOX_GAME, static_cast<char*>(nullptr));
  _exit(127);
}

// The game started on a fresh pseudo-terminal, with the terminal's far end
// kept open here so that its modes can be read at any time.
class TerminalGame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(tcgetattr(slave, &before), 0);
  }

  // The game alone in a session of its own, as the terminal's controller.
  void start() {
    screen.clear();
    seen = 0;
    game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
      setsid();
      ioctl(slave, TIOCSCTTY, 0);
      runGameOn(slave, master);
    }
  }

  // The game as an interactive shell runs it: in a process group of its own,
  // in the foreground of the terminal, under a session leader (`game` here)
  // that tells of each stop of the game on `reports`, continues it in the
  // foreground on a byte from `orders`, and ends by telling how it ended:
  // '0' for exit status 0.
  void startUnderJobControl() {
    int reportPipe[2];
    int orderPipe[2];
    int readyPipe[2];
    ASSERT_EQ(pipe(reportPipe), 0);
    ASSERT_EQ(pipe(orderPipe), 0);
    ASSERT_EQ(pipe(readyPipe), 0);
    game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
      setsid();
      ioctl(slave, TIOCSCTTY, 0);
      signal(SIGTTOU, SIG_IGN);  // to hand the terminal over
      const pid_t player = fork();
      if (player == 0) {
        setpgid(0, 0);
        signal(SIGTTOU, SIG_DFL);
        char go = 0;
        (void)!read(readyPipe[0], &go, 1);  // until the terminal is ours
        runGameOn(slave, master);
      }
      setpgid(player, player);
      tcsetpgrp(slave, player);
      (void)!write(readyPipe[1], "g", 1);
      for (;;) {
        int status = 0;
        if (waitpid(player, &status, WUNTRACED) != player) _exit(1);
        if (WIFSTOPPED(status)) {
          (void)!write(reportPipe[1], "S", 1);
          char order = 0;
          if (read(orderPipe[0], &order, 1) != 1) _exit(1);
          tcsetpgrp(slave, player);
          kill(-player, SIGCONT);
          continue;
        }
        const char ended = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? '0' : 'X';
        (void)!write(reportPipe[1], &ended, 1);
        _exit(0);
      }
    }
    reports = reportPipe[0];
    orders = orderPipe[1];
    close(reportPipe[1]);
    close(orderPipe[0]);
    close(readyPipe[0]);
    close(readyPipe[1]);
  }

  // The next report of the session leader, or 0 if none comes in 5 s.
  char nextReport() {
    for (int tries = 0; tries < 500; ++tries) {
      readSome(0);  // keep the terminal drained
      pollfd ready{reports, POLLIN, 0};
      char report = 0;
      if (poll(&ready, 1, 10) == 1 && read(reports, &report, 1) == 1) return report;
    }
    return 0;
  }

  void TearDown() override {
    if (game > 0 && waitpid(game, nullptr, WNOHANG) == 0) {
      kill(game, SIGKILL);
      waitpid(game, nullptr, 0);
    }
    close(master);
    close(slave);
    if (reports >= 0) close(reports);
    if (orders >= 0) close(orders);
  }

  // Reads what the game writes until `text` has appeared; false on timeout.
  bool waitFor(const std::string& text, int milliseconds = 5000) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (screen.find(text, seen) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) return false;
    }
    seen = screen.find(text, seen) + text.size();
    return true;
  }

  // True when the game writes nothing at all for `milliseconds`.
  bool staysQuiet(int milliseconds) {
    const std::size_t size = screen.size();
    readSome(milliseconds);
    return screen.size() == size;
  }

  void type(const std::string& keys) {
    ASSERT_EQ(write(master, keys.data(), keys.size()),
              static_cast<ssize_t>(keys.size()));
  }

  // How the game ended: its wait status.
  int endingStatus() {
    int status = 0;
    for (int tries = 0; tries < 500; ++tries) {
      readSome(10);  // keep the terminal drained
      if (waitpid(game, &status, WNOHANG) == game) {
        game = -1;
        return status;
      }
    }
    ADD_FAILURE() << "the game did not end";
    return -1;
  }

  void expectModesAsBefore() {
    termios now{};
    ASSERT_EQ(tcgetattr(slave, &now), 0);
    EXPECT_EQ(now.c_iflag, before.c_iflag);
    EXPECT_EQ(now.c_oflag, before.c_oflag);
    EXPECT_EQ(now.c_cflag, before.c_cflag);
    EXPECT_EQ(now.c_lflag, before.c_lflag);
    EXPECT_EQ(std::memcmp(now.c_cc, before.c_cc, sizeof now.c_cc), 0);
  }

  int master = -1;
  int slave = -1;
  pid_t game = -1;
  int reports = -1;
  int orders = -1;
  termios before{};
  std::string screen;
  std::size_t seen = 0;

  bool readSome(int milliseconds) {
    pollfd ready{master, POLLIN, 0};
    if (poll(&ready, 1, milliseconds) != 1) return false;
    char chunk[512];
    const ssize_t got = read(master, chunk, sizeof chunk);
    if (got <= 0) return false;
    screen.append(chunk, static_cast<std::size_t>(got));
    return true;
  }
};

const char* const pausePrompt = "Press any key to continue . . . ";

TEST_F(TerminalGame, EachPauseWaitsForOneWholeKey) {
  start();
  ASSERT_TRUE(waitFor("Tazzle's Vortanox v2.0"));
  ASSERT_TRUE(waitFor(pausePrompt));
  EXPECT_TRUE(staysQuiet(300)) << "the pause did not wait";
  EXPECT_EQ(screen.find("Choose Your Weapon:"), std::string::npos);

  type("\x1b[A");  // an arrow sends three bytes, all of them one key
  ASSERT_TRUE(waitFor("Choose Your Weapon:"));
  ASSERT_TRUE(waitFor("Choose:"));
  type("1 1\n");  // the axe, and the easy opponent without a second wait
  ASSERT_TRUE(waitFor("Get Ready!"));
  ASSERT_TRUE(waitFor(pausePrompt));
  type("\xc3\xa9");  // a letter of two bytes
  ASSERT_TRUE(waitFor("You are at: 50 health."));
  ASSERT_TRUE(waitFor(pausePrompt));
  type("\x1b[15~");  // F5
  ASSERT_TRUE(waitFor("Choose:"));
  type("1\n");
  ASSERT_TRUE(waitFor("12 damage!"));  // the arrow's bytes never reached a read
  ASSERT_TRUE(waitFor("His Turn."));
  ASSERT_TRUE(waitFor(pausePrompt));
  type(" ");
  ASSERT_TRUE(waitFor("You are at: 45 health."));
  ASSERT_TRUE(waitFor(pausePrompt));
  type("q");
  ASSERT_TRUE(waitFor("Choose:"));
  type("4\n");
  ASSERT_TRUE(waitFor("(1=Yes or 2=No):"));
  type("2\n");
  ASSERT_TRUE(waitFor("Thanks for playing!"));
  ASSERT_TRUE(waitFor(pausePrompt));
  EXPECT_TRUE(staysQuiet(200)) << "the last pause did not wait";
  type("\n");

  const int status = endingStatus();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  expectModesAsBefore();
}

struct Ending {
  const char* how;
  const char* key;  // typed at the pause, or sent with kill() when null
  int signal;
};

TEST_F(TerminalGame, ASignalAtAPauseEndsTheGameAndRestoresTheTerminal) {
  const Ending endings[] = {
      {"Ctrl-C", "\x03", SIGINT},
      {"Ctrl-\\", "\x1c", SIGQUIT},
      {"kill -TERM", nullptr, SIGTERM},
      {"kill -HUP", nullptr, SIGHUP},
  };
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.how);
    start();
    ASSERT_TRUE(waitFor(pausePrompt));
    ASSERT_TRUE(staysQuiet(100));
    termios during{};
    ASSERT_EQ(tcgetattr(slave, &during), 0);
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO), 0u) << "the pause reads keys raw";

    if (ending.key != nullptr) {
      type(ending.key);
    } else {
      kill(game, ending.signal);
    }
    const int status = endingStatus();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), ending.signal);
    expectModesAsBefore();
  }
}

TEST_F(TerminalGame, CtrlZAtAPauseRestoresTheTerminalAndTheWaitGoesOn) {
  startUnderJobControl();
  ASSERT_TRUE(waitFor(pausePrompt));
  ASSERT_TRUE(staysQuiet(100));

  type("\x1a");
  ASSERT_EQ(nextReport(), 'S') << "Ctrl-Z did not stop the game";
  expectModesAsBefore();  // put back before stopping

  ASSERT_EQ(write(orders, "c", 1), 1);
  bool waitingForAKey = false;
  for (int tries = 0; tries < 200 && !waitingForAKey; ++tries) {
    termios now{};
    tcgetattr(slave, &now);
    waitingForAKey = (now.c_lflag & (ICANON | ECHO)) == 0;
    if (!waitingForAKey) usleep(10000);
  }
  EXPECT_TRUE(waitingForAKey) << "the pause did not take the terminal again";
  EXPECT_TRUE(staysQuiet(100)) << "the pause ended without a key";
  type("k");
  ASSERT_TRUE(waitFor("Choose Your Weapon:"));
  ASSERT_TRUE(waitFor("Choose:"));

  type("\x04");  // end of input: the game winds down without pausing
  EXPECT_EQ(nextReport(), '0');
  expectModesAsBefore();
}

}  // namespace
