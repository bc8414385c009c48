// The console: the game's only contact with the outside world.
//
// Four operations serve every screen of the game: write a text, write a
// number, read a number and pause. Output is never held back: every call that
// writes hands its bytes to standard output at once, in one write, so each
// prompt is on screen before the game waits. Nothing is ever written to
// standard error.
#ifndef VORTANOX_CONSOLE_H_
#define VORTANOX_CONSOLE_H_

// Writes `text` to standard output exactly as given, adding nothing.
// When the reader of the output has gone away, the game can no longer be
// seen: the write is dropped and input counts as ended from then on, so the
// game winds down instead of playing on to nobody.
void writeText(const char* text);

// Writes `value` in plain decimal: a leading "-" when negative, no "+", no
// leading zeros, no padding, no grouping.
void writeNumber(int value);

// Reads one whole number from standard input, as `std::cin >> int` does:
// white space (spaces, tabs, line ends, vertical tabs, form feeds) is skipped,
// then an optional sign directly followed by decimal digits is taken; the
// first character that is not a digit stays unread for the next read.
//
// Stores into `target` and returns true on success. Fails, storing nothing,
// when no digit follows the sign, when the value does not fit in an int (its
// digits are consumed) or when input has ended. Input stays failed for good:
// every later read returns false at once. A number that ends exactly at the
// end of input is stored, and every read after it fails.
bool readNumber(int& target);

// Waits for one key press while standard input is an interactive terminal (a
// console on Windows) that has neither ended nor failed. Otherwise (a pipe, a
// file, /dev/null, ended or failed input) it writes nothing, reads nothing and
// returns at once, so scripted play sees only the game's own texts.
//
// On a terminal it writes "Press any key to continue . . . ", takes exactly
// one key (the whole of a key that sends several bytes) without echo and
// writes a newline. The terminal is always put back as it was: after the key,
// and when a signal ends or stops the game during the wait. Ctrl-C ends the
// game as it does at a prompt. On Windows the command interpreter's PAUSE
// does the wait.
void pauseForKey();

// Forgets all buffered and failed input and what was learnt about the host,
// as at program start. For running several games in one process (tests).
void restartConsole();

#endif  // VORTANOX_CONSOLE_H_
