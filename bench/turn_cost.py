#!/usr/bin/env python3
"""What a turn of the game costs, next to the floor its output contract sets.

    python3 bench/turn_cost.py [build folder] [turns]

Plays an endless battle (the player heals every turn against the easy
opponent, then ends it with the unlisted choice 4) with output to /dev/null,
and measures the game and the floor program, which only replays the game's
writes, one write(2) per text: time per turn (best of five runs), system calls
per turn (strace -c) and peak memory (/usr/bin/time). Then start-up: the game
on empty input next to a C program that does nothing. Exits 1 when the game
costs more than 1.3 times the floor a turn, makes calls other than its reads
and writes that grow with the turns, or starts more than 2 times slower.
"""
import os
import re
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
turns = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
game = os.path.join(build, "vortanox")
floor = os.path.join(build, "bench", "vortanox_floor")
work = tempfile.mkdtemp(prefix="vortanox-bench-")


def script_for(count):
    path = os.path.join(work, "heals-%d.in" % count)
    with open(path, "w") as script:
        script.write("1\n1\n" + "3\n" * (count - 1) + "4\n2\n")
    return path


def run(command, script, prefix=()):
    with open(script, "rb") as stdin, open(os.devnull, "wb") as stdout:
        subprocess.run(list(prefix) + command, stdin=stdin, stdout=stdout, check=True)


def traced(script):
    """The game's system calls by name, and a recording of its writes (each
    text followed by a NUL byte), from one strace of the game."""
    trace = script + ".trace"
    run([game], script, ["strace", "-o", trace, "-e", "signal=none", "-xx", "-s", "65536"])
    recording = script + ".writes"
    counts = {}
    name = re.compile(r"^([a-z0-9_]+)\(")
    written = re.compile(r'^write\(1, "((?:\\x[0-9a-f]{2})*)", \d+\)')
    with open(trace) as lines, open(recording, "wb") as out:
        for line in lines:
            call = name.match(line)
            if call:
                counts[call.group(1)] = counts.get(call.group(1), 0) + 1
            text = written.match(line)
            if text:
                out.write(bytes.fromhex(text.group(1).replace("\\x", "")) + b"\0")
    return counts, recording


def calls(command, script):
    """System calls by name, from strace -c."""
    summary = os.path.join(work, "calls.txt")
    run(command, script, ["strace", "-c", "-o", summary])
    counts = {}
    with open(summary) as lines:
        for line in lines:
            fields = line.split()
            if len(fields) >= 5 and fields[-1] != "total" and fields[3].isdigit():
                counts[fields[-1]] = int(fields[3])
    return counts


def best_seconds(command, script, runs=5):
    best = float("inf")
    for _ in range(runs):
        started = time.perf_counter()
        run(command, script)
        best = min(best, time.perf_counter() - started)
    return best


def peak_kib(command, script):
    report = os.path.join(work, "peak.txt")
    run(command, script, ["/usr/bin/time", "-f", "%M", "-o", report])
    with open(report) as lines:
        return int(lines.read().split()[-1])


failures = []
script = script_for(turns)
game_calls, recording = traced(script)
floor_calls = calls([floor, recording], script)
game_time = best_seconds([game], script)
floor_time = best_seconds([floor, recording], script)

print("endless battle of %d turns, output to /dev/null" % turns)
print("%-8s %10s %12s %10s %10s" % ("", "us/turn", "calls/turn", "writes", "peak KiB"))
for name, seconds, counts, command in (
        ("game", game_time, game_calls, [game]),
        ("floor", floor_time, floor_calls, [floor, recording])):
    print("%-8s %10.2f %12.2f %10d %10d" % (
        name, seconds * 1e6 / turns, sum(counts.values()) / turns,
        counts.get("write", 0), peak_kib(command, script)))
ratio = game_time / floor_time
print("game / floor: %.2fx a turn (goal: 1.3x at most)" % ratio)
if ratio > 1.3:
    failures.append("a turn costs %.2fx the floor" % ratio)
if game_calls.get("write") != floor_calls.get("write"):
    failures.append("the floor replayed a different number of writes")

# Beyond its reads and writes the game makes only the calls of starting up:
# the same whether it plays ten turns or all of them.
others = {name: count for name, count in game_calls.items() if name not in ("read", "write")}
short_others = {name: count for name, count in traced(script_for(10))[0].items()
                if name not in ("read", "write")}
print("game calls besides read and write: %d (%s)" % (
    sum(others.values()), ", ".join("%s %d" % item for item in sorted(others.items()))))
print("game reads: %d for %d bytes of input" % (game_calls.get("read", 0), os.path.getsize(script)))
if others != short_others:
    failures.append("calls besides read and write grow with the turns: %s vs %s"
                    % (others, short_others))

# Start-up: the game on empty input next to a C program that does nothing.
nothing = os.path.join(work, "nothing")
subprocess.run(["cc", "-O2", "-x", "c", "-o", nothing, "-"],
               input=b"int main(void) { return 0; }\n", check=True)
empty = os.path.join(work, "empty.in")
open(empty, "w").close()


def startup_seconds(command, runs=300):
    """Seconds a run on empty input takes, best of five rounds."""
    best = float("inf")
    for _ in range(5):
        started = time.perf_counter()
        for _ in range(runs):
            with open(empty, "rb") as stdin, open(os.devnull, "wb") as stdout:
                child = os.posix_spawn(command[0], command, os.environ,
                                       file_actions=[(os.POSIX_SPAWN_DUP2, stdin.fileno(), 0),
                                                     (os.POSIX_SPAWN_DUP2, stdout.fileno(), 1)])
                os.waitpid(child, 0)
        best = min(best, (time.perf_counter() - started) / runs)
    return best


game_start = startup_seconds([game])
nothing_start = startup_seconds([nothing])
print("start-up on empty input: game %.0f us, a do-nothing C program %.0f us: %.2fx (goal: 2x at most)"
      % (game_start * 1e6, nothing_start * 1e6, game_start / nothing_start))
if game_start > 2 * nothing_start:
    failures.append("start-up takes %.2fx a do-nothing program" % (game_start / nothing_start))

for failure in failures:
    print("FAILED: " + failure)
sys.exit(1 if failures else 0)
