#include "console.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "play.h"

namespace {

// What each of `reads` successive reads gave: the number, or "fail". A failed
// read must leave its target as it was.
std::string readsOf(const std::string& script, int reads) {
  std::string results;
  played(script, [&] {
    for (int i = 0; i < reads; ++i) {
      int target = 4242;
      const bool stored = readNumber(target);
      if (stored) {
        results += std::to_string(target);
      } else {
        results += target == 4242 ? "fail" : "fail-but-stored";
      }
      results += i + 1 < reads ? " " : "";
    }
  });
  return results;
}

struct ReadCase {
  std::string script;
  int reads;
  const char* results;
};

TEST(ReadNumber, ReadsAsTheStreamExtractorDoesAndStaysFailed) {
  const ReadCase cases[] = {
      {"\n\n 3\n", 1, "3"},  // empty lines keep the read waiting
      {"\t\v\f\r\n7", 2, "7 fail"},  // ends exactly at the end of input
      {"-2\n", 1, "-2"},
      {"+2\n", 1, "2"},
      {"- 2\n", 2, "fail fail"},  // the sign must touch the digits
      {"+\n", 1, "fail"},
      {"2 3\n", 2, "2 3"},  // one line answers two reads
      {"999999999999 5\n", 2, "fail fail"},  // out of range, then failed for good
      {"000000000005\n", 1, "5"},  // leading zeros do not count against the range
      {"010\n", 1, "10"},  // always base 10
      {"0x1A\n", 2, "0 fail"},  // the x stays unread
      {"12abc 4\n", 2, "12 fail"},
      {"2147483647 -2147483648\n", 2, "2147483647 -2147483648"},
      {"2147483648\n", 1, "fail"},
      {"-2147483649\n", 1, "fail"},
      {"", 2, "fail fail"},
      {"   \n\n", 1, "fail"},
      {std::string("\0" "5", 2), 1, "fail"},  // NUL is no white space
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(readsOf(c.script, c.reads), c.results) << "script: " << c.script;
  }
}

TEST(ReadNumber, ALongNumberIsConsumedWhole) {
  const std::string digits(1000000, '9');
  EXPECT_EQ(readsOf(digits + " 1", 2), "fail fail");
  EXPECT_EQ(readsOf(std::string(999999, '0') + "7", 1), "7");
}

TEST(WriteNumber, WritesPlainDecimal) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "0"}, {7, "7"}, {-3, "-3"}, {120, "120"},
      {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(played("", [&] { writeNumber(value); }), text);
  }
}

TEST(WriteText, AddsNothing) {
  EXPECT_EQ(played("", [] {
              writeText("Choose:");
              writeText("\n");
              writeText("");
            }),
            "Choose:\n");
}

TEST(Pause, OnAFileWritesAndReadsNothing) {
  int value = 0;
  EXPECT_EQ(played("5\n", [&] {
              pauseForKey();
              readNumber(value);
              pauseForKey();
            }),
            "");
  EXPECT_EQ(value, 5);
}

}  // namespace
