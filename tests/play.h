// In-process play for unit tests: runs a piece of the game with standard
// input reading a given script and returns what it wrote to standard output.
#ifndef VORTANOX_TESTS_PLAY_H_
#define VORTANOX_TESTS_PLAY_H_

#include <functional>
#include <string>

// Runs `call` with standard input reading `script` (a file, so the pauses
// never wait) and standard output going to a file, from a fresh console.
// Returns the bytes written.
std::string played(const std::string& script, const std::function<void()>& call);

#endif  // VORTANOX_TESTS_PLAY_H_
