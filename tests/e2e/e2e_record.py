#!/usr/bin/env python3
"""Two children each play under Xvfb: the start screen asks who is playing, each child chooses their picture by
the keyboard and answers the first exercise's pictures; the record then holds each child's puzzles and answers,
and --export-record, run with no display at all, writes both."""

import csv
import os
import sqlite3
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_program as e2e  # noqa: E402


def main(work):
    executable = os.path.join(e2e.copy_program(sys.argv[1], work), "metamorfine")
    base = e2e.program_environment(work)
    # The export needs no display; no accessibility bus is started, so none is asked for.
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON",
                 "QT_ACCESSIBILITY"):
        base.pop(name, None)
    # The export makes the record's tables; the children are a parent's.
    subprocess.run([executable, "--export-record=" + os.path.join(work, "empty.csv")], env=base, check=True)
    record = os.path.join(base["XDG_DATA_HOME"], "metamorfine", "record.sqlite")
    names = ["Zoë, Anna", "Ёлка"]
    with sqlite3.connect(record) as db:
        for picture, name in enumerate(names):
            db.execute("INSERT INTO children (name, picture) VALUES (?, ?)", (name, picture * 17))

    def solved(name):
        with sqlite3.connect(record) as db:
            return db.execute("SELECT count(*) FROM puzzles p JOIN children c ON c.id = p.child"
                              " WHERE c.name = ? AND p.solved", (name,)).fetchone()[0]

    environment = dict(base, DISPLAY=e2e.start_xvfb(work, "1024x600"), QT_QPA_PLATFORM="xcb")
    for child, name in enumerate(names):
        program = e2e.start_program(executable, environment, work, "--windowed", "--no-speech")

        # Each screen is a window of its own: the next one is there when the window changes.
        def then_screen(what, *keys):
            before = e2e.x_windows(program.pid)
            subprocess.run(["xdotool", "key", "--delay", "250", *keys], check=True)
            e2e.wait_for(lambda: len(e2e.x_windows(program.pid)) == 1 and e2e.x_windows(program.pid) != before,
                         what, 30)
            time.sleep(0.5)

        e2e.wait_for(lambda: e2e.x_windows(program.pid), "the start screen", 30)
        time.sleep(1)
        then_screen("who is playing", "Return")
        then_screen("the menu", *(["Right"] * child), "Return")
        then_screen("the first exercise", "Return")
        # Every picture in turn, in the keyboard's order, until one is right.
        subprocess.run(["xdotool", "key", "--delay", "250", *(["Return", "Tab"] * 8)], check=True)
        e2e.wait_for(lambda: solved(name), f"{name}'s solved puzzle in the record", 15)
        program.terminate()
        program.wait(10)

    export = os.path.join(work, "class.csv")
    subprocess.run([executable, "--export-record=" + export], env=base, check=True)
    with open(export, encoding="utf-8-sig", newline="") as exported:
        rows = list(csv.DictReader(exported))
    e2e.check(all(any(row["child"] == name and row["right"] == "1" for row in rows) for name in names),
              f"each child's right answer is in the record and its export ({len(rows)} rows)")


if __name__ == "__main__":
    e2e.run_test(main, "metamorfine-e2e-record-")
