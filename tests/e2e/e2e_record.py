#!/usr/bin/env python3
"""Two children each play under Xvfb: the start screen asks who is playing,
each child chooses their picture by the keyboard and answers the first
exercise's pictures; the record then holds each child's puzzles and answers,
and --export-record, run with no display at all, writes both."""

import csv
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time


def wait_for(condition, what, timeout=30):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.2)


def main():
    target = sys.argv[1]
    work = tempfile.mkdtemp(prefix="metamorfine-e2e-record-")
    folder = os.path.join(work, "program")
    shutil.copytree(target, folder, ignore=shutil.ignore_patterns("LangSetting.ini"))
    executable = os.path.join(folder, "metamorfine")
    with open(os.path.join(folder, "LangSetting.ini"), "w", newline="\r\n") as settings:
        settings.write("[Language]\nCurrentLanguage=English\n")
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    data = os.path.join(work, "data")
    quiet = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    base = dict(quiet, XDG_DATA_HOME=data, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_RUNTIME_DIR=runtime,
                LC_ALL="C", LANG="C", SPEECHD_ADDRESS=f"unix_socket:{runtime}/no-speech.sock",
                QT_LOGGING_RULES="metamorfine.record.warning=true")
    # The export makes the record's tables; the children are a parent's.
    subprocess.run([executable, "--export-record=" + os.path.join(work, "empty.csv")], env=base, check=True)
    record = os.path.join(data, "metamorfine", "record.sqlite")
    names = ["Zoë, Anna", "Ёлка"]
    with sqlite3.connect(record) as db:
        for picture, name in enumerate(names):
            db.execute("INSERT INTO children (name, picture) VALUES (?, ?)", (name, picture * 17))

    display_file = os.path.join(work, "display")
    with open(display_file, "w") as out:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", "1024x600x24",
                                 "-nolisten", "tcp"], pass_fds=[out.fileno()],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        display = ":" + wait_for(lambda: open(display_file).read().strip(), "Xvfb to start", 10)
        env = dict(base, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        os.environ["DISPLAY"] = display
        for child, name in enumerate(names):
            # A runtime folder of its own: the single-copy guard of the run before, ended by a
            # signal, is no concern here.
            own = os.path.join(work, f"runtime{child}")
            os.mkdir(own, 0o700)
            program = subprocess.Popen([executable, "--windowed", "--no-speech"], env=dict(env, XDG_RUNTIME_DIR=own),
                                       cwd=work)
            try:
                def windows():
                    return subprocess.run(["xdotool", "search", "--pid", str(program.pid), "--onlyvisible",
                                           "--name", "Metamorfine"], capture_output=True, text=True).stdout.split()

                def keys(*names):
                    subprocess.run(["xdotool", "key", "--delay", "250", *names], check=True)

                # Each screen is a window of its own: the next one is there when the window changes.
                def then_screen(what, *names):
                    before = windows()
                    keys(*names)
                    wait_for(lambda: len(windows()) == 1 and windows() != before, what)
                    time.sleep(0.5)

                wait_for(windows, "the start screen")
                time.sleep(1)
                then_screen("who is playing", "Return")
                then_screen("the menu", *(["Right"] * child), "Return")
                then_screen("the first exercise", "Return")
                # Every picture in turn, in the keyboard's order, until one is right.
                for _ in range(8):
                    keys("Return", "Tab")

                def solved():
                    with sqlite3.connect(record) as db:
                        return db.execute("SELECT count(*) FROM puzzles p JOIN children c ON c.id = p.child"
                                          " WHERE c.name = ? AND p.solved", (name,)).fetchone()[0]
                try:
                    wait_for(solved, f"{name}'s solved puzzle in the record", 15)
                except AssertionError:
                    with sqlite3.connect(record) as db:
                        print("puzzles:", db.execute("SELECT * FROM puzzles").fetchall())
                        print("answers:", db.execute("SELECT * FROM answers").fetchall())
                    print("windows:", windows())
                    raise
            finally:
                program.send_signal(signal.SIGTERM)
                program.wait(10)
    finally:
        xvfb.terminate()
        xvfb.wait(10)

    with sqlite3.connect(record) as db:
        for name in names:
            answers = db.execute("SELECT count(*) FROM answers a JOIN puzzles p ON p.id = a.puzzle"
                                 " JOIN children c ON c.id = p.child WHERE c.name = ? AND a.right", (name,))
            assert answers.fetchone()[0] >= 1, f"{name}'s right answer is not in the record"
    export = os.path.join(work, "class.csv")
    subprocess.run([executable, "--export-record=" + export], env=base, check=True)
    with open(export, encoding="utf-8-sig", newline="") as exported:
        rows = list(csv.DictReader(exported))
    for name in names:
        assert any(row["child"] == name and row["right"] == "1" for row in rows), f"{name} is not in the export"
    print(f"ok: two children played, {len(rows)} rows exported")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
