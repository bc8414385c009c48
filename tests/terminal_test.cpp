// The game on a pseudo-terminal, as a player at a keyboard has it: the pauses
// wait for a key and the terminal is left as it was found.
#include <fcntl.h>
#include <sys/ioctl.h>
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

// The game started on a fresh pseudo-terminal, with the terminal's far end
// kept open here so that its modes can be read at any time.
class TerminalGame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(tcgetattr(slave, &before), 0);
    game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
      setsid();
      ioctl(slave, TIOCSCTTY, 0);
      dup2(slave, STDIN_FILENO);
      dup2(slave, STDOUT_FILENO);
      dup2(slave, STDERR_FILENO);
      close(master);
      close(slave);
      execl(VORTANOX_GAME, VORTANOX_GAME, static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  void TearDown() override {
    if (game > 0 && waitpid(game, nullptr, WNOHANG) == 0) {
      kill(game, SIGKILL);
      waitpid(game, nullptr, 0);
    }
    close(master);
    close(slave);
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
  int ending() {
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
  termios before{};
  std::string screen;
  std::size_t seen = 0;

 private:
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

  const int status = ending();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  expectModesAsBefore();
}

TEST_F(TerminalGame, CtrlCAtAPauseEndsTheGameAndRestoresTheTerminal) {
  ASSERT_TRUE(waitFor(pausePrompt));
  ASSERT_TRUE(staysQuiet(100));
  termios during{};
  ASSERT_EQ(tcgetattr(slave, &during), 0);
  EXPECT_EQ(during.c_lflag & (ICANON | ECHO), 0u) << "the pause reads keys raw";

  type("\x03");
  const int status = ending();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  expectModesAsBefore();
}

TEST_F(TerminalGame, ATerminatingSignalAtAPauseRestoresTheTerminal) {
  ASSERT_TRUE(waitFor(pausePrompt));
  ASSERT_TRUE(staysQuiet(100));
  kill(game, SIGTERM);
  const int status = ending();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  expectModesAsBefore();
}

}  // namespace
