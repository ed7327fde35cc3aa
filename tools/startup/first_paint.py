"""Compares, over interleaved rounds, how long two X11 programs take from
their start to the first painted pixels of their first window, and the
resident memory of each once it has painted.

The display must have a black root window and nothing else on it. The probe
watches a few pixels around the middle of the display: the first frame that
turns any of them from black (a frame with a visible pixel; a window mapped
but not yet painted leaves the black showing) marks the first paint. The
program is then stopped, and the next run starts on an empty display again.
Each round runs both programs, in alternating order, and gives one ratio; the
median of the ratios of the rounds is the figure, since a round's two runs
share the state of the machine.

Usage: first_paint.py <rounds> <command> <reference command>
A command is one word, the program, or a quoted line whose leading NAME=value
words are set in the program's environment, as a shell would.
"""

import ctypes
import ctypes.util
import os
import shlex
import signal
import statistics
import subprocess
import sys
import time

ZPIXMAP = 2
ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int),
                ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
                ("data", ctypes.POINTER(ctypes.c_uint32))]


xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
xlib.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
xlib.XGetImage.restype = ctypes.POINTER(XImage)
xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
xlib.XFree.argtypes = [ctypes.c_void_p]


def painted(display, root, points):
    for x, y in points:
        image = xlib.XGetImage(display, root, x, y, 1, 1, ALL_PLANES, ZPIXMAP)
        if not image:
            continue
        pixel = image.contents.data[0] & 0xFFFFFF
        xlib.XFree(image.contents.data)
        xlib.XFree(image)
        if pixel:
            return True
    return False


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def split_command(line, environment):
    """Returns the words of `line` after its NAME=value words, and
    `environment` with those set."""
    words = shlex.split(line)
    own = dict(environment)
    while len(words) > 1 and "=" in words[0]:
        name, value = words.pop(0).split("=", 1)
        own[name] = value
    return words, own


def time_one_run(display, root, points, line, environment, timeout, settle=0.0):
    """Returns the seconds to the first paint and the resident memory (KiB)
    `settle` seconds after it."""
    command, environment = split_command(line, environment)
    start = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - start < timeout:
            if painted(display, root, points):
                elapsed = time.monotonic() - start
                time.sleep(settle)
                return elapsed, resident_kib(process.pid)
            if process.poll() is not None:
                raise RuntimeError(f"{command[0]} ended before it painted")
            time.sleep(0.0005)
        raise RuntimeError(f"{command[0]} painted nothing within {timeout} s")
    finally:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        while painted(display, root, points):
            time.sleep(0.005)


def milliseconds(values):
    return f"{statistics.median(values) * 1000:.0f} ms [{min(values) * 1000:.0f}-{max(values) * 1000:.0f}]"


def main():
    rounds = int(sys.argv[1])
    commands = sys.argv[2:4]
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    root = xlib.XDefaultRootWindow(display)
    width, height = xlib.XDisplayWidth(display, 0), xlib.XDisplayHeight(display, 0)
    points = [(width // 2 + dx, height // 2 + dy)
              for dx in (-60, 0, 60) for dy in (-60, 0, 60)]
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb")
    for command in commands:  # warms the disk cache
        time_one_run(display, root, points, command, environment, 30)
    times = ([], [])
    ratios = []
    for round_number in range(rounds):
        order = (0, 1) if round_number % 2 == 0 else (1, 0)
        for which in order:
            times[which].append(time_one_run(display, root, points, commands[which], environment, 30)[0])
        ratios.append(times[0][-1] / times[1][-1])
        print(f"round {round_number + 1:2}: {times[0][-1] * 1000:5.1f} ms / "
              f"{times[1][-1] * 1000:5.1f} ms = {ratios[-1]:.2f}")
    memory = [statistics.median(time_one_run(display, root, points, command, environment, 30, settle=1.0)[1]
                                for _ in range(3))
              for command in commands]
    print(f"first paint, median [fastest-slowest] over {rounds} rounds at {width}x{height}:")
    print(f"  {commands[0]}: {milliseconds(times[0])}")
    print(f"  {commands[1]}: {milliseconds(times[1])}")
    print(f"  ratio per round: median {statistics.median(ratios):.2f} "
          f"[{min(ratios):.2f}-{max(ratios):.2f}], slower in {sum(r > 1 for r in ratios)} of {rounds}")
    print(f"resident memory 1 s after the first paint, median of 3 runs: {memory[0] / 1024:.1f} MiB / "
          f"{memory[1] / 1024:.1f} MiB = {memory[0] / memory[1]:.2f}")


if __name__ == "__main__":
    main()
