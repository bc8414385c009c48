// Tazzle's Vortanox v2.0: the title, the two menus, one battle and the replay
// question, game after game, then the closing words once for every game.
#include "battle.h"
#include "console.h"

namespace {

// An opponent outside the menu has no health to lose: its battle ends after
// the first player turn.
int startingHealth(int opponent) {
  switch (opponent) {
    case 0: return 30;
    case 1: return 40;
    case 2: return 50;
    case 3: return 60;
    default: return 0;
  }
}

// One game, from the title to the end of its battle. An answer that cannot be
// read counts as 0: a weapon that never strikes, the Halvek Brothers.
void playGame() {
  const int playerHealth = 50;
  const int turn = 0;
  writeText("Tazzle's Vortanox v2.0\n");
  pauseForKey();

  writeText("Choose Your Weapon:\n");
  writeText("\n");
  writeText("1. Axe - Strong but inaccurate\n");
  writeText("2. Sword - A worthy weapon\n");
  writeText("3. Bow - The most accurate weapon\n");
  writeText("\n");
  writeText("Choose:");
  int weapon = 0;
  readNumber(weapon);

  writeText("\n");
  writeText("Choose your opponent:\n");
  writeText("\n");
  writeText("0. Halvek Brothers (Chaotic Stupid)\n");
  writeText("1. Dask Ulverin (Easy)\n");
  writeText("2. Jorvi Pellick (Medium)\n");
  writeText("3. wenna tolbry (lol) (Hard)\n");
  writeText("\n");
  writeText("Choose:");
  int opponent = 0;
  readNumber(opponent);

  writeText("\n");
  writeText("Get Ready!\n");
  pauseForKey();

  runBattle(weapon, opponent, playerHealth, startingHealth(opponent), turn);
}

// Only an answer of exactly 1 plays again; no answer at all ends the run.
bool wantsAnotherGame() {
  writeText("\n");
  writeText("Winner!\n");
  writeText("\n");
  writeText("Again?\n");
  writeText("(1=Yes or 2=No):");
  int answer = 0;
  readNumber(answer);
  return answer == 1;
}

void writeClosing() {
  for (int line = 0; line < 19; ++line) writeText("\n");
  writeText("Thanks for playing!\n");
  writeText("Tazzle's Vortanox v2.0\n");
  pauseForKey();
}

}  // namespace

int main() {
  // A count is all the closing needs to remember of the games played.
  unsigned long long gamesPlayed = 0;
  bool again = true;
  while (again) {
    playGame();
    ++gamesPlayed;
    again = wantsAnotherGame();
  }
  writeText("\n");
  for (unsigned long long game = 0; game < gamesPlayed; ++game) writeClosing();
  return 0;
}
