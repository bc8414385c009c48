// The battle: turn loop, player turn, player actions, opponent tactics.
#include "battle.h"

#include <climits>

#include "console.h"

namespace {

bool isKnownOpponent(int opponent) { return opponent >= 0 && opponent <= 3; }

bool isOdd(int value) { return (value & 1) != 0; }

// The parity of a sum, from the lowest bits alone: the sum is never formed.
bool sumIsEven(int a, int b) { return isOdd(a) == isOdd(b); }

void writeSwingAt(int opponent) {
  switch (opponent) {
    case 0: writeText("You swing at The Halvek Brothers!\n"); break;
    case 1: writeText("You swing at Dask Ulverin!\n"); break;
    case 2: writeText("You swing at Jorvi Pellick!\n"); break;
    case 3: writeText("You swing at wenna tolbry (lol)!\n"); break;
  }
}

void writeFireUpon(int opponent) {
  switch (opponent) {
    case 0: writeText("You fire upon The Halvek Brothers!\n"); break;
    case 1: writeText("You fire upon Dask Ulverin!\n"); break;
    case 2: writeText("You fire upon Jorvi Pellick!\n"); break;
    case 3: writeText("You fire upon wenna tolbry (lol)!\n"); break;
  }
}

void writeSummonFireUpon(int opponent) {
  switch (opponent) {
    case 0: writeText("You summon fire upon both Halvek Brothers!\n"); break;
    case 1: writeText("You summon fire upon Dask Ulverin!\n"); break;
    case 2: writeText("You summon fire upon Jorvi Pellick!\n"); break;
    case 3: writeText("You summon fire upon wenna tolbry (lol)!\n"); break;
  }
}

// Which of the two brothers a weapon struck; it changes nothing else.
void writeBrotherStruck(int turn) {
  if (isOdd(turn)) {
    writeText("You hit Ilvo!\n");
  } else {
    writeText("You hit Brannic!\n");
  }
}

// A blow that lands: its damage line, and the target's health after it.
int landed(int health, const char* damageLine, int damage) {
  writeText(damageLine);
  return changedHealth(health, -damage);
}

// An opponent's slash, framed by blank lines. Returns the player's health.
int slashed(int playerHealth, const char* slash, const char* damageLine,
            int damage) {
  writeText("\n");
  writeText(slash);
  const int health = landed(playerHealth, damageLine, damage);
  writeText("\n");
  return health;
}

}  // namespace

// --- Arithmetic at the limits ----------------------------------------------

int changedHealth(int health, int change) {
  const long long changed = static_cast<long long>(health) + change;
  if (changed > INT_MAX) return INT_MAX;
  if (changed < INT_MIN) return INT_MIN;
  return static_cast<int>(changed);
}

int nextTurn(int turn) { return turn >= 2147483646 ? 1 : turn + 1; }

// --- The player's actions --------------------------------------------------

int axe(int opponent, int playerHealth, int opponentHealth, int turn) {
  if (!isKnownOpponent(opponent)) return opponentHealth;
  int health = opponentHealth;
  writeText("\n");
  writeSwingAt(opponent);
  if (opponent == 0) {
    writeBrotherStruck(turn);
    health = landed(opponentHealth, "10 damage!\n", 10);
  } else if (sumIsEven(playerHealth, opponentHealth)) {
    health = landed(opponentHealth, "12 damage!\n", 12);
  } else {
    writeText("Miss!\n");
  }
  writeText("\n");
  return health;
}

int sword(int opponent, int playerHealth, int opponentHealth, int turn) {
  (void)playerHealth;
  if (!isKnownOpponent(opponent)) return opponentHealth;
  int health = opponentHealth;
  writeText("\n");
  writeSwingAt(opponent);
  if (opponent == 0) {
    writeBrotherStruck(turn);
    health = landed(opponentHealth, "7 damage!\n", 7);
  } else if (turn % 3 != 0) {
    health = landed(opponentHealth, "10 damage!\n", 10);
  } else {
    writeText("Miss!\n");
  }
  writeText("\n");
  return health;
}

int bow(int opponent, int playerHealth, int opponentHealth, int turn) {
  (void)playerHealth;
  if (!isKnownOpponent(opponent)) return opponentHealth;
  int health = opponentHealth;
  writeText("\n");
  writeFireUpon(opponent);
  if (opponent == 0) {
    writeBrotherStruck(turn);
    health = landed(opponentHealth, "6 damage!\n", 6);
  } else {
    health = landed(opponentHealth, "7 damage!\n", 7);
  }
  writeText("\n");
  return health;
}

int fire(int opponent, int playerHealth, int opponentHealth) {
  (void)playerHealth;
  if (!isKnownOpponent(opponent)) return opponentHealth;
  writeText("\n");
  writeSummonFireUpon(opponent);
  const int health = landed(opponentHealth, "5 damage!\n", 5);
  writeText("\n");
  return health;
}

int heal(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)opponentHealth;
  writeText("You are surrounded by Holy light!\n");
  writeText("7 Health!\n");
  return changedHealth(playerHealth, 7);
}

// --- The opponents' actions ------------------------------------------------

int claw0(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)opponentHealth;
  return slashed(playerHealth, "The Halvek Brothers slash at you in sync.\n",
                 "6 damage!\n", 6);
}

int claw(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)opponentHealth;
  return slashed(playerHealth, "Dask Ulverin slashes at you!\n", "5 damage!\n", 5);
}

int claw2(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)opponentHealth;
  return slashed(playerHealth, "Jorvi Pellick slashes at you!\n", "10 damage!\n", 10);
}

int claw3(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)opponentHealth;
  return slashed(playerHealth, "wenna tolbry (lol) slashes at you!\n",
                 "14 damage!\n", 14);
}

int fireO(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)opponentHealth;
  writeText("You are surrounded by Fire!\n");
  return landed(playerHealth, "5 damage!\n", 5);
}

int healO(int opponent, int playerHealth, int opponentHealth) {
  (void)opponent;
  (void)playerHealth;
  writeText("He is surrounded by Holy light!\n");
  writeText("5 Health!\n");
  return changedHealth(opponentHealth, 5);
}

// --- The turns -------------------------------------------------------------

TurnOutcome battle(int weapon, int opponent, int playerHealth,
                   int opponentHealth, int turn) {
  turn = nextTurn(turn);
  writeText("\n");
  writeText("Your Turn.\n");
  writeText("You are at: ");
  writeNumber(playerHealth);
  writeText(" health.\n");
  writeText("Opponent is at: ");
  writeNumber(opponentHealth);
  writeText(" health.\n");
  pauseForKey();
  writeText("\n");
  writeText("1. Attack!\n");
  writeText("2. Cast Fire!\n");
  writeText("3. Cast Heal!\n");
  writeText("\n");
  writeText("Choose:");
  int choice = 0;  // no action, when no number can be read
  const bool choiceRead = readNumber(choice);

  switch (choice) {
    case 1:
      switch (weapon) {
        case 1: opponentHealth = axe(opponent, playerHealth, opponentHealth, turn); break;
        case 2: opponentHealth = sword(opponent, playerHealth, opponentHealth, turn); break;
        case 3: opponentHealth = bow(opponent, playerHealth, opponentHealth, turn); break;
      }
      break;
    case 2: opponentHealth = fire(opponent, playerHealth, opponentHealth); break;
    case 3: playerHealth = heal(opponent, playerHealth, opponentHealth); break;
    case 4: opponentHealth = 0; break;  // unlisted: ends the battle at once
  }

  return {{weapon, opponent, playerHealth, opponentHealth, turn},
          opponentHealth <= 0 || !choiceRead};
}

TurnOutcome oppT(int weapon, int opponent, int playerHealth,
                 int opponentHealth, int turn) {
  writeText("\n");
  writeText("His Turn.\n");
  pauseForKey();

  // Every rule is tried in order, each on the state the earlier ones left;
  // the budget lets only one of them act. The finishing blows (the second to
  // fourth rules) come before the budget is looked at.
  int budget = 1;
  if (opponent == 0 && opponentHealth > 7) {
    playerHealth = claw0(opponent, playerHealth, opponentHealth);
    --budget;
  }
  if (opponent == 1 && playerHealth <= 5) {
    playerHealth = claw(opponent, playerHealth, opponentHealth);
    --budget;
  }
  if (opponent == 2 && playerHealth <= 10) {
    playerHealth = claw2(opponent, playerHealth, opponentHealth);
    --budget;
  }
  if (opponent == 3 && playerHealth <= 14) {
    playerHealth = claw3(opponent, playerHealth, opponentHealth);
    --budget;
  }
  if (opponentHealth <= 7 && budget > 0) {
    opponentHealth = healO(opponent, playerHealth, opponentHealth);
    --budget;
  }
  if (opponent == 1 && budget > 0) {
    playerHealth = claw(opponent, playerHealth, opponentHealth);
    --budget;
  }
  const bool heavy = opponent == 2 || opponent == 3;
  if (heavy && budget > 0 && opponentHealth > 39) {
    playerHealth = fireO(opponent, playerHealth, opponentHealth);
    --budget;
  }
  if (heavy && budget > 0 && opponentHealth <= 40) {
    if (opponent == 2) {
      playerHealth = claw2(opponent, playerHealth, opponentHealth);
    } else {
      playerHealth = claw3(opponent, playerHealth, opponentHealth);
    }
    --budget;
    pauseForKey();
  }

  return {{weapon, opponent, playerHealth, opponentHealth, turn},
          playerHealth <= 0};
}

void runBattle(int weapon, int opponent, int playerHealth, int opponentHealth,
               int turn) {
  BattleState state{weapon, opponent, playerHealth, opponentHealth, turn};
  for (;;) {
    const TurnOutcome mine = battle(state.weapon, state.opponent,
                                    state.playerHealth, state.opponentHealth,
                                    state.turn);
    if (mine.battleOver) return;
    const TurnOutcome his = oppT(mine.state.weapon, mine.state.opponent,
                                 mine.state.playerHealth,
                                 mine.state.opponentHealth, mine.state.turn);
    if (his.battleOver) return;
    state = his.state;
  }
}
