// The battle: the alternation of turns, the player's actions and the
// opponents' tactics.
//
// Every action takes the state values it needs by value and returns the new
// health of its target, which the calling turn stores. Nothing is random: the
// same state and the same choices always give the same battle. Health values
// saturate at the limits of int instead of overflowing, and the turn counter
// goes from 2147483646 back to 1 (a multiple of 6, so the sword's every third
// turn and the brothers' alternation keep in step).
#ifndef VORTANOX_BATTLE_H_
#define VORTANOX_BATTLE_H_

// Weapons: 1 axe, 2 sword, 3 bow; any other number never strikes.
// Opponents: 0 the Halvek Brothers, 1 Dask Ulverin, 2 Jorvi Pellick,
// 3 wenna tolbry (lol); any other number is a foe the weapons and fire cannot
// reach.
struct BattleState {
  int weapon;
  int opponent;
  int playerHealth;
  int opponentHealth;
  int turn;  // the player turns so far
};

// What one turn leaves: the new state, and whether the battle is over.
struct TurnOutcome {
  BattleState state;
  bool battleOver;
};

// Plays the battle from the given state to its end: player turn, opponent
// turn, and so on, in constant memory however long it lasts. It ends when the
// opponent is at 0 or below after a player turn, the player is at 0 or below
// after an opponent turn, or a player turn could not read a choice (input is
// over, and without input nothing else would end an endless battle).
void runBattle(int weapon, int opponent, int playerHealth, int opponentHealth,
               int turn);

// The player's turn: counts the turn, shows the status, pauses, reads the
// choice from the action menu and acts on it. 1 attacks with the weapon,
// 2 casts fire, 3 casts heal, the unlisted 4 drops the opponent to 0, and any
// other number (or no number at all) does nothing. Over when the opponent has
// fallen or no choice could be read.
TurnOutcome battle(int weapon, int opponent, int playerHealth,
                   int opponentHealth, int turn);

// The opponent's turn: "His Turn.", a pause, then at most one action chosen by
// the opponent's ordered tactics. Over when the player has fallen.
TurnOutcome oppT(int weapon, int opponent, int playerHealth,
                 int opponentHealth, int turn);

// --- The player's actions; each returns the new health of its target. -----
// Against opponent 0 every weapon hits and names the brother struck: Ilvo on
// odd turns, Brannic on even ones. Against an opponent outside 0 to 3 the
// weapons and fire write nothing and return `opponentHealth` unchanged.

// 10 to opponent 0; 12 to the others when the two health values have the same
// parity, else a miss.
int axe(int opponent, int playerHealth, int opponentHealth, int turn);
// 7 to opponent 0; 10 to the others, missing on every third turn.
int sword(int opponent, int playerHealth, int opponentHealth, int turn);
// 6 to opponent 0; 7 to the others; never misses.
int bow(int opponent, int playerHealth, int opponentHealth, int turn);
// 5 to any opponent, whatever the weapon.
int fire(int opponent, int playerHealth, int opponentHealth);
// 7 to the player's own health, against any opponent. Returns playerHealth.
int heal(int opponent, int playerHealth, int opponentHealth);

// --- The opponents' actions. -----------------------------------------------
// The slashes and fireO return the new playerHealth, healO the new
// opponentHealth; each uses only the value it returns.

int claw0(int opponent, int playerHealth, int opponentHealth);  // 6
int claw(int opponent, int playerHealth, int opponentHealth);   // 5
int claw2(int opponent, int playerHealth, int opponentHealth);  // 10
int claw3(int opponent, int playerHealth, int opponentHealth);  // 14
int fireO(int opponent, int playerHealth, int opponentHealth);  // 5
int healO(int opponent, int playerHealth, int opponentHealth);  // +5

// --- Arithmetic at the limits. ---------------------------------------------

// `health` + `change`, held at the limits of int.
int changedHealth(int health, int change);
// The turn after `turn`: one more, and 1 after 2147483646.
int nextTurn(int turn);

#endif  // VORTANOX_BATTLE_H_
