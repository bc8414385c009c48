// The console operations, built on the host layer of console-host.h.
#include "console.h"

#include <cstring>

#include "console-host.h"

namespace {

// Standard input as the game has read it so far. Bytes are taken from the host
// a buffer at a time, and a byte that ends a number stays here unread. One
// page: a read of input is rare next to the writes of a turn, and a long game
// touches no more memory than a short one.
struct Input {
  alignas(4096) char buffer[4096];
  std::size_t next = 0;  // the first unread byte
  std::size_t end = 0;   // one past the last byte held
  bool over = false;     // ended or failed: no read will succeed again
  int interactive = -1;  // whether input is a terminal; -1 until asked
};

Input input;

bool outputGone = false;

// The next unread byte, or -1 once input has ended.
int peekByte() {
  if (input.next == input.end) {
    input.next = 0;
    input.end = input.over ? 0 : hostRead(input.buffer, sizeof input.buffer);
    if (input.end == 0) {
      input.over = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(input.buffer[input.next]);
}

void skipByte() { ++input.next; }

bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

bool fail() {
  input.over = true;
  return false;
}

void writeBytes(const char* bytes, std::size_t length) {
  if (outputGone) return;
  if (!hostWrite(bytes, length)) {
    outputGone = true;
    input.over = true;
  }
}

}  // namespace

void writeText(const char* text) { writeBytes(text, std::strlen(text)); }

void writeNumber(int value) {
  // Built from the right; the magnitude is taken as unsigned so that the
  // lowest int has one too.
  char digits[16];
  char* first = digits + sizeof digits;
  unsigned magnitude =
      value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = '-';
  writeBytes(first, static_cast<std::size_t>(digits + sizeof digits - first));
}

bool readNumber(int& target) {
  if (input.over) return false;
  int c = peekByte();
  while (isSpace(c)) {
    skipByte();
    c = peekByte();
  }
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    skipByte();
    c = peekByte();
  }
  if (!isDigit(c)) return fail();

  // Every digit is consumed, even past the range; the value stops growing
  // once it is out of range, so no number is too long to read.
  const long long limit = negative ? 2147483648LL : 2147483647LL;
  long long magnitude = 0;
  while (isDigit(c)) {
    if (magnitude <= limit) magnitude = magnitude * 10 + (c - '0');
    skipByte();
    c = peekByte();
  }
  if (magnitude > limit) return fail();
  target = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

void pauseForKey() {
  if (input.over) return;
  if (input.interactive < 0) input.interactive = hostInputIsInteractive();
  if (input.interactive) hostWaitForKey();
}

void restartConsole() {
  input.next = 0;
  input.end = 0;
  input.over = false;
  input.interactive = -1;
  outputGone = false;
}
