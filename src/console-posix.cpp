// The console's host layer on POSIX systems: plain read(2) and write(2) on the
// standard descriptors, and a pause that reads one key from the terminal with
// canonical mode and echo switched off.
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include "console-host.h"

namespace {

// Waits until `fd` is ready for `events` again after EAGAIN, for descriptors
// that someone left non-blocking.
void awaitReady(int fd, short events) {
  pollfd ready{fd, events, 0};
  poll(&ready, 1, -1);
}

// A reader that goes away must not kill the game: the write fails instead,
// and the console winds the game down. Done before the first write.
void ignoreBrokenPipe() {
  static bool ignored = false;  // the game has a single thread
  if (ignored) return;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
  ignored = true;
}

// --- The pause -------------------------------------------------------------
//
// While the pause waits, the terminal is in `keyMode`; `savedMode` is the mode
// to put back. Both are read by the signal handlers below, which do nothing
// but put the terminal back (tcsetattr is async-signal-safe) and then let the
// signal have its usual effect.

termios savedMode;
termios keyMode;
volatile sig_atomic_t modeChanged = 0;

const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void putModeBack() {
  if (modeChanged) tcsetattr(STDIN_FILENO, TCSANOW, &savedMode);
}

void setHandler(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the wait sees EINTR and goes on
  sigaction(signal, &action, nullptr);
}

void unblock(int signal) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

// Puts the terminal back, then dies by the same signal.
void onEndingSignal(int signal) {
  putModeBack();
  setHandler(signal, SIG_DFL);
  unblock(signal);
  raise(signal);
}

// Puts the terminal back and stops; once continued, takes the key mode again
// and returns to the interrupted wait.
void onStopSignal(int signal) {
  const int savedErrno = errno;
  putModeBack();
  setHandler(signal, SIG_DFL);
  unblock(signal);
  raise(signal);
  setHandler(signal, onStopSignal);
  if (modeChanged) tcsetattr(STDIN_FILENO, TCSANOW, &keyMode);
  errno = savedErrno;
}

// The dispositions the game had before the wait, put back after it.
struct Dispositions {
  struct sigaction ending[sizeof endingSignals / sizeof endingSignals[0]];
  struct sigaction stop;
};

// Installs a handler unless the signal is ignored (as under nohup), which the
// wait must respect.
void takeOver(int signal, void (*handler)(int), struct sigaction* previous) {
  sigaction(signal, nullptr, previous);
  if (previous->sa_handler != SIG_IGN) setHandler(signal, handler);
}

void takeOverSignals(Dispositions& previous) {
  for (unsigned i = 0; i < sizeof endingSignals / sizeof endingSignals[0]; ++i)
    takeOver(endingSignals[i], onEndingSignal, &previous.ending[i]);
  takeOver(SIGTSTP, onStopSignal, &previous.stop);
}

void giveBackSignals(const Dispositions& previous) {
  for (unsigned i = 0; i < sizeof endingSignals / sizeof endingSignals[0]; ++i)
    sigaction(endingSignals[i], &previous.ending[i], nullptr);
  sigaction(SIGTSTP, &previous.stop, nullptr);
}

// Reads one byte, waiting as long as it takes; a signal that interrupts the
// wait (a stop and continue) re-enters it.
bool readByteWaiting(unsigned char& byte) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) return true;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) {
      awaitReady(STDIN_FILENO, POLLIN);
      continue;
    }
    return false;
  }
}

// Reads one more byte of a key that is being sent: the terminal sends all the
// bytes of one key together, so a short wait is enough.
bool readByteOfSameKey(unsigned char& byte) {
  pollfd ready{STDIN_FILENO, POLLIN, 0};
  if (poll(&ready, 1, 50) != 1) return false;
  return read(STDIN_FILENO, &byte, 1) == 1;
}

// Takes the whole of one key press: a plain byte, a UTF-8 letter, or an
// escape sequence (arrows, function keys, Alt with a key).
void readKey() {
  unsigned char byte = 0;
  if (!readByteWaiting(byte)) return;
  if (byte == 0x1b) {
    if (!readByteOfSameKey(byte)) return;  // the Esc key itself
    if (byte == '[') {
      // Parameters, then a final byte from '@' to '~'.
      while (readByteOfSameKey(byte) && (byte < 0x40 || byte > 0x7e)) {
      }
    } else if (byte == 'O') {
      readByteOfSameKey(byte);
    }
    return;
  }
  int continuation = byte >= 0xf0 ? 3 : byte >= 0xe0 ? 2 : byte >= 0xc0 ? 1 : 0;
  while (continuation-- > 0 && readByteOfSameKey(byte)) {
  }
}

}  // namespace

std::size_t hostRead(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer, capacity);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return 0;
    awaitReady(STDIN_FILENO, POLLIN);
  }
}

bool hostWrite(const char* bytes, std::size_t length) {
  ignoreBrokenPipe();
  while (length > 0) {
    const ssize_t put = write(STDOUT_FILENO, bytes, length);
    if (put > 0) {
      bytes += put;
      length -= static_cast<std::size_t>(put);
    } else if (put < 0 && errno == EINTR) {
      continue;
    } else if (put < 0 && errno == EAGAIN) {
      awaitReady(STDOUT_FILENO, POLLOUT);
    } else {
      return false;
    }
  }
  return true;
}

bool hostInputIsInteractive() { return isatty(STDIN_FILENO) == 1; }

void hostWaitForKey() {
  const char prompt[] = "Press any key to continue . . . ";
  hostWrite(prompt, sizeof prompt - 1);
  if (tcgetattr(STDIN_FILENO, &savedMode) == 0) {
    keyMode = savedMode;
    keyMode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    keyMode.c_cc[VMIN] = 1;
    keyMode.c_cc[VTIME] = 0;
    Dispositions previous;
    takeOverSignals(previous);
    modeChanged = 1;
    tcsetattr(STDIN_FILENO, TCSANOW, &keyMode);
    readKey();
    putModeBack();
    modeChanged = 0;
    giveBackSignals(previous);
  }
  hostWrite("\n", 1);
}
