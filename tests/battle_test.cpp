#include "battle.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "play.h"

namespace {

enum class Action { axe, sword, bow, fire, heal };

const char* nameOf(Action action) {
  switch (action) {
    case Action::axe: return "axe";
    case Action::sword: return "sword";
    case Action::bow: return "bow";
    case Action::fire: return "fire";
    case Action::heal: return "heal";
  }
  return "?";
}

int perform(Action action, int opponent, int playerHealth, int opponentHealth,
            int turn) {
  switch (action) {
    case Action::axe: return axe(opponent, playerHealth, opponentHealth, turn);
    case Action::sword: return sword(opponent, playerHealth, opponentHealth, turn);
    case Action::bow: return bow(opponent, playerHealth, opponentHealth, turn);
    case Action::fire: return fire(opponent, playerHealth, opponentHealth);
    case Action::heal: return heal(opponent, playerHealth, opponentHealth);
  }
  return 0;
}

struct ActionCase {
  Action action;
  int opponent, playerHealth, opponentHealth, turn;
  int result;
  const char* text;
};

TEST(PlayerActions, HitRulesDamageAndTexts) {
  const ActionCase cases[] = {
      // The axe hits when the two health values add up to an even number.
      {Action::axe, 1, 50, 40, 1, 28, "\nYou swing at Dask Ulverin!\n12 damage!\n\n"},
      {Action::axe, 2, 50, 50, 1, 38, "\nYou swing at Jorvi Pellick!\n12 damage!\n\n"},
      {Action::axe, 1, 45, 28, 2, 28, "\nYou swing at Dask Ulverin!\nMiss!\n\n"},
      {Action::axe, 3, -1, -3, 9, -15, "\nYou swing at wenna tolbry (lol)!\n12 damage!\n\n"},
      {Action::axe, 3, 50, -3, 9, -3, "\nYou swing at wenna tolbry (lol)!\nMiss!\n\n"},
      // The sword misses every third turn.
      {Action::sword, 2, 50, 50, 1, 40, "\nYou swing at Jorvi Pellick!\n10 damage!\n\n"},
      {Action::sword, 2, 50, 50, 2, 40, "\nYou swing at Jorvi Pellick!\n10 damage!\n\n"},
      {Action::sword, 3, 50, 60, 3, 60, "\nYou swing at wenna tolbry (lol)!\nMiss!\n\n"},
      {Action::sword, 1, 50, 40, 6, 40, "\nYou swing at Dask Ulverin!\nMiss!\n\n"},
      {Action::sword, 1, 50, 40, 7, 30, "\nYou swing at Dask Ulverin!\n10 damage!\n\n"},
      // The bow never misses.
      {Action::bow, 1, 51, 40, 3, 33, "\nYou fire upon Dask Ulverin!\n7 damage!\n\n"},
      {Action::bow, 3, 50, 60, 6, 53, "\nYou fire upon wenna tolbry (lol)!\n7 damage!\n\n"},
      // Against the brothers every weapon hits and names the brother struck.
      {Action::axe, 0, 51, 30, 1, 20,
       "\nYou swing at The Halvek Brothers!\nYou hit Ilvo!\n10 damage!\n\n"},
      {Action::sword, 0, 50, 30, 3, 23,
       "\nYou swing at The Halvek Brothers!\nYou hit Ilvo!\n7 damage!\n\n"},
      {Action::bow, 0, 50, 30, 2, 24,
       "\nYou fire upon The Halvek Brothers!\nYou hit Brannic!\n6 damage!\n\n"},
      // Fire burns anyone for 5 and names no brother; heal has no blank lines.
      {Action::fire, 0, 50, 30, 0, 25,
       "\nYou summon fire upon both Halvek Brothers!\n5 damage!\n\n"},
      {Action::fire, 3, 50, 60, 0, 55,
       "\nYou summon fire upon wenna tolbry (lol)!\n5 damage!\n\n"},
      {Action::heal, 2, 50, 50, 0, 57, "You are surrounded by Holy light!\n7 Health!\n"},
      {Action::heal, 9, -3, 0, 0, 4, "You are surrounded by Holy light!\n7 Health!\n"},
      // An opponent outside the menu is out of reach: no text, no change.
      {Action::axe, 4, 50, 0, 1, 0, ""},
      {Action::sword, -1, 50, 17, 1, 17, ""},
      {Action::bow, 7, 50, 0, 1, 0, ""},
      {Action::fire, INT_MIN, 50, 0, 0, 0, ""},
  };
  for (const ActionCase& c : cases) {
    int result = 0;
    const std::string text = played("", [&] {
      result = perform(c.action, c.opponent, c.playerHealth, c.opponentHealth, c.turn);
    });
    EXPECT_EQ(result, c.result) << nameOf(c.action) << " against " << c.opponent;
    EXPECT_EQ(text, c.text) << nameOf(c.action) << " against " << c.opponent;
  }
}

const char* const hisTurn = "\nHis Turn.\n";
const char* const claw0Text = "\nThe Halvek Brothers slash at you in sync.\n6 damage!\n\n";
const char* const clawText = "\nDask Ulverin slashes at you!\n5 damage!\n\n";
const char* const claw2Text = "\nJorvi Pellick slashes at you!\n10 damage!\n\n";
const char* const claw3Text = "\nwenna tolbry (lol) slashes at you!\n14 damage!\n\n";
const char* const fireOText = "You are surrounded by Fire!\n5 damage!\n";
const char* const healOText = "He is surrounded by Holy light!\n5 Health!\n";

struct TacticsCase {
  int opponent, playerHealth, opponentHealth;
  int playerAfter, opponentAfter;
  const char* action;  // the text after "His Turn."
};

TEST(OpponentTurn, TakesTheFirstFittingRuleAndOnlyOne) {
  const TacticsCase cases[] = {
      {0, 50, 8, 44, 8, claw0Text},
      {0, 50, 7, 50, 12, healOText},  // heals and does not slash as well
      {0, 6, 30, 0, 30, claw0Text},
      {1, 5, 5, 0, 5, clawText},  // the finishing blow comes before the heal
      {1, 6, 20, 1, 20, clawText},
      {1, 20, 7, 20, 12, healOText},
      {1, 50, 8, 45, 8, clawText},
      {2, 50, 50, 45, 50, fireOText},
      {2, 50, 40, 45, 40, fireOText},  // 40 is still high enough for fire
      {2, 50, 39, 40, 39, claw2Text},
      {2, 10, 39, 0, 39, claw2Text},  // the finishing blow
      {2, 10, 3, 0, 3, claw2Text},
      {2, 11, 3, 11, 8, healOText},
      {3, 14, 60, 0, 60, claw3Text},
      {3, 15, 60, 10, 60, fireOText},
      {3, 15, 39, 1, 39, claw3Text},
      {3, 20, 7, 20, 12, healOText},
      {3, 14, 5, 0, 5, claw3Text},
      {9, 50, 7, 50, 12, healOText},  // any opponent number heals when weak
      {-4, 50, 8, 50, 8, ""},
  };
  for (const TacticsCase& c : cases) {
    TurnOutcome outcome{};
    const std::string text = played("", [&] {
      outcome = oppT(2, c.opponent, c.playerHealth, c.opponentHealth, 17);
    });
    const std::string where = "opponent " + std::to_string(c.opponent) + " at " +
                              std::to_string(c.opponentHealth) + ", player at " +
                              std::to_string(c.playerHealth);
    EXPECT_EQ(text, std::string(hisTurn) + c.action) << where;
    EXPECT_EQ(outcome.state.playerHealth, c.playerAfter) << where;
    EXPECT_EQ(outcome.state.opponentHealth, c.opponentAfter) << where;
    EXPECT_EQ(outcome.state.weapon, 2) << where;
    EXPECT_EQ(outcome.state.opponent, c.opponent) << where;
    EXPECT_EQ(outcome.state.turn, 17) << where;
    EXPECT_EQ(outcome.battleOver, c.playerAfter <= 0) << where;
  }
}

const char* const statusAndMenu =
    "\nYour Turn.\nYou are at: 50 health.\nOpponent is at: 40 health.\n"
    "\n1. Attack!\n2. Cast Fire!\n3. Cast Heal!\n\nChoose:";

struct PlayerTurnCase {
  const char* script;
  int weapon;
  int playerAfter, opponentAfter;
  bool battleOver;
  const char* action;  // the text after "Choose:"
};

TEST(PlayerTurn, ActsOnTheChoice) {
  const PlayerTurnCase cases[] = {
      {"1\n", 1, 50, 28, false, "\nYou swing at Dask Ulverin!\n12 damage!\n\n"},
      {"1\n", 3, 50, 33, false, "\nYou fire upon Dask Ulverin!\n7 damage!\n\n"},
      {"1\n", 0, 50, 40, false, ""},  // no weapon: nothing at all
      {"1\n", 9, 50, 40, false, ""},
      {"2\n", 0, 50, 35, false, "\nYou summon fire upon Dask Ulverin!\n5 damage!\n\n"},
      {"3\n", 1, 57, 40, false, "You are surrounded by Holy light!\n7 Health!\n"},
      {"4\n", 1, 50, 0, true, ""},  // the unlisted choice ends the battle
      {"0\n", 1, 50, 40, false, ""},
      {"-1\n", 1, 50, 40, false, ""},
      {"5\n", 1, 50, 40, false, ""},
      {"3", 1, 57, 40, false, "You are surrounded by Holy light!\n7 Health!\n"},
      {"", 1, 50, 40, true, ""},  // no choice could be read
      {"x\n", 1, 50, 40, true, ""},
  };
  for (const PlayerTurnCase& c : cases) {
    TurnOutcome outcome{};
    const std::string text =
        played(c.script, [&] { outcome = battle(c.weapon, 1, 50, 40, 0); });
    EXPECT_EQ(text, std::string(statusAndMenu) + c.action) << "script " << c.script;
    EXPECT_EQ(outcome.state.playerHealth, c.playerAfter) << "script " << c.script;
    EXPECT_EQ(outcome.state.opponentHealth, c.opponentAfter) << "script " << c.script;
    EXPECT_EQ(outcome.state.turn, 1) << "script " << c.script;
    EXPECT_EQ(outcome.battleOver, c.battleOver) << "script " << c.script;
  }
}

TEST(PlayerTurn, AChoiceReadAtTheEndOfInputStillLetsTheOpponentAct) {
  // "4" at the very end ends the battle by itself; "2" does not, and the
  // battle must go on to the opponent's turn before the next read fails.
  const std::string text = played("2", [] { runBattle(2, 1, 50, 40, 0); });
  const std::string secondTurn = "Your Turn.\nYou are at: 45 health.\nOpponent is at: 35";
  EXPECT_NE(text.find(std::string(hisTurn) + clawText), std::string::npos);
  EXPECT_NE(text.find(secondTurn), std::string::npos);
  EXPECT_EQ(text.rfind("Choose:"), text.size() - 7);  // nothing after the failed read
}

TEST(Limits, HealthSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(changedHealth(INT_MAX, 7), INT_MAX);
  EXPECT_EQ(changedHealth(INT_MAX - 3, 7), INT_MAX);
  EXPECT_EQ(changedHealth(INT_MIN, -14), INT_MIN);
  EXPECT_EQ(changedHealth(INT_MIN + 2, -5), INT_MIN);
  EXPECT_EQ(changedHealth(-7, 7), 0);
  played("", [] {
    EXPECT_EQ(heal(1, INT_MAX, 40), INT_MAX);
    EXPECT_EQ(healO(1, 50, INT_MAX), INT_MAX);
    EXPECT_EQ(claw3(3, INT_MIN, 0), INT_MIN);
    EXPECT_EQ(fire(2, 0, INT_MIN), INT_MIN);
  });
}

TEST(Limits, TheAxeParityNeverFormsTheSum) {
  played("", [] {
    EXPECT_EQ(axe(1, INT_MAX, INT_MAX, 1), INT_MAX - 12);  // odd + odd: even
    EXPECT_EQ(axe(1, INT_MAX, INT_MIN, 1), INT_MIN);       // odd + even: miss
    EXPECT_EQ(axe(1, INT_MIN, INT_MIN + 2, 1), INT_MIN);   // hit, held at the limit
    EXPECT_EQ(axe(2, INT_MIN, INT_MAX, 1), INT_MAX);       // miss
  });
}

TEST(Limits, TheTurnCounterWrapsInStep) {
  EXPECT_EQ(nextTurn(0), 1);
  EXPECT_EQ(nextTurn(2147483645), 2147483646);
  EXPECT_EQ(nextTurn(2147483646), 1);
  EXPECT_EQ(nextTurn(INT_MAX), 1);
  // The last turn before the wrap is a sword miss and a Brannic turn; the
  // turn after it is 1, a hit and Ilvo, as the rhythm wants.
  played("", [] {
    EXPECT_EQ(sword(1, 50, 40, 2147483646), 40);
    EXPECT_EQ(sword(1, 50, 40, 1), 30);
  });
  EXPECT_EQ(played("", [] { bow(0, 50, 30, 2147483646); }),
            "\nYou fire upon The Halvek Brothers!\nYou hit Brannic!\n6 damage!\n\n");
  TurnOutcome outcome{};
  played("4\n", [&] { outcome = battle(1, 1, 50, 40, 2147483646); });
  EXPECT_EQ(outcome.state.turn, 1);
}

}  // namespace
