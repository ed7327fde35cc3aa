"""Times, over several runs, how long an X11 program takes from its start to
the first painted pixels of its first window.

The display must have a black root window and nothing else on it. The probe
watches a few pixels around the middle of the display: the first run that
turns any of them from black marks the first paint. The program is then
stopped, and the next run starts on an empty display again.
"""

import ctypes
import ctypes.util
import os
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


def time_one_run(display, root, points, command, environment, timeout):
    start = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - start < timeout:
            if painted(display, root, points):
                return time.monotonic() - start
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


def main():
    runs = int(sys.argv[1])
    command = sys.argv[2:]
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    root = xlib.XDefaultRootWindow(display)
    width, height = xlib.XDisplayWidth(display, 0), xlib.XDisplayHeight(display, 0)
    points = [(width // 2 + dx, height // 2 + dy)
              for dx in (-60, 0, 60) for dy in (-60, 0, 60)]
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb")
    time_one_run(display, root, points, command, environment, 30)  # warms the disk cache
    times = [time_one_run(display, root, points, command, environment, 30) for _ in range(runs)]
    print(f"{statistics.median(times) * 1000:.0f} ms median, "
          f"{min(times) * 1000:.0f} ms fastest, {max(times) * 1000:.0f} ms slowest "
          f"over {runs} runs")


if __name__ == "__main__":
    main()
