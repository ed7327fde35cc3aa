"""Drives the real program in a real X display (Xvfb, xdotool, AT-SPI), inside dbus-run-session with
the Debian python3 that has pyatspi. Arguments: PROGRAM_FOLDER (a copy of the built folder), --wm
PROGRAM_FOLDER (the same under openbox), --scan PROGRAM_FOLDER (switch scanning alone, a real voice),
--installed EXECUTABLE (settings in ~/.config) or --first-run EXECUTABLE
LANG (a first start in the system's language LANG, the menu mirrored where it reads right to left).
$E2E_SCREENSHOTS names a folder for screenshots of the --wm run."""

import configparser
import contextlib
import ctypes
import itertools
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi

# Every program the test started, and the servers it needs (display, buses, voice), ended at its end.
start_programs, services = [], []
program_logs = itertools.count()

BUTTON, MENU_ITEM, IMAGE = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_IMAGE


# Generous: a loaded machine or a sanitizer build starts the program slowly.
def wait_for(condition, what, timeout=60):
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = condition()
        except Exception:  # objects of a window that just closed
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def passed(what):
    print(f"ok: {what}", flush=True)


def check(condition, what):
    if not condition:
        raise AssertionError(what)
    passed(what)


def read_language(path):
    """Section -> key -> text of a language file (Windows-1252, or UTF-8 behind a byte-order mark; quoted values)."""
    if not os.path.isfile(path):
        raise AssertionError(f"the language file {path} is missing")
    parser = configparser.RawConfigParser(strict=False, interpolation=None)
    parser.optionxform = str
    with open(path, "rb") as file:
        utf8 = file.read(3) == b"\xef\xbb\xbf"
    with open(path, encoding="utf-8-sig" if utf8 else "cp1252") as file:
        parser.read_file(file)
    return {section: {key: value.strip()[1:-1] for key, value in parser.items(section)}
            for section in parser.sections()}


def walk(accessible):
    yield accessible
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def matching(top, role, name=None):
    return [a for a in walk(top) if a.getRole() == role and (name is None or a.name == name)]


def find_all(pid, role, name=None):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        try:
            ours = app is not None and app.get_process_id() == pid
        except Exception:  # an application that has ended and that the registry still lists
            continue
        if ours:
            return [a for a in matching(app, role, name) if a.getState().contains(pyatspi.STATE_SHOWING)]
    return []


def find(pid, role, name=None):
    return next(iter(find_all(pid, role, name)), None)


def wait_find(pid, role, name, what):
    return wait_for(lambda: find(pid, role, name), what)


def named(pid, role, prefix, what):
    return wait_for(lambda: next((a.name for a in find_all(pid, role) if a.name.startswith(prefix)), None), what)


def extents(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def click(accessible):
    """Clicks the middle of `accessible` once it stands still: a window just shown may still be
    taking its place and size, and a click at its first extents could land beside the control."""
    def settled():
        first = extents(accessible)
        time.sleep(0.15)
        return first if first == extents(accessible) and first[2] > 0 and first[3] > 0 else None
    x, y, width, height = wait_for(settled, "the control to stand still", 10)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + width // 2), str(y + height // 2), "click", "1"],
                   check=True)


def click_named(pid, role, name):
    click(wait_find(pid, role, name, f"{name!r} on the screen"))


def output(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def x_windows(pid):
    return output("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", "").split()


def window_titles(pid):
    return [output("xdotool", "getwindowname", window).strip() for window in x_windows(pid)]


def message_box(pid, message):
    return wait_for(lambda: next((dialog for role in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
                                  for dialog in find_all(pid, role)
                                  if matching(dialog, pyatspi.ROLE_LABEL, message)), None),
                    f"a message box saying {message!r}")


def answer(pid, message, button):
    click(wait_for(lambda: matching(message_box(pid, message), BUTTON, button), f"a button {button!r}")[0])


def stop(*programs):
    """Ends each program; a server (Xvfb) is asked first, so that it removes its own display's lock and
    socket before the next test's server looks for a free display."""
    for program in programs:
        if program in services:
            program.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                program.wait(5)
        program.kill()  # nothing is sent to a program that has ended
        program.wait()


def succeeds(*command, env=None):
    return subprocess.run(command, env=env, capture_output=True).returncode == 0


def start_service(*command, env=None):
    services.append(subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))


def store_english(settings_file):
    with open(settings_file, "w", newline="\r\n") as settings:
        settings.write("[Language]\nCurrentLanguage=English\n")


def copy_program(source, work):
    """A copy of the program folder in `work`, its language English."""
    folder = os.path.join(work, "program")
    shutil.copytree(source, folder, ignore=shutil.ignore_patterns("LangSetting.ini"))
    store_english(os.path.join(folder, "LangSetting.ini"))
    return folder


def start_xvfb(work, size="1280x1024"):
    """Xvfb on a display of its own, which the test's own calls (xdotool, xprop) then use. It never resets
    when its last client leaves: a program connecting just as the accessibility bus's launcher or this
    check lets go was refused (seen in CI). A server that does not answer is replaced, and said so."""
    for attempt in range(1, 4):
        display_file = os.path.join(work, f"display-{attempt}")
        with open(display_file, "w") as out:
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(out.fileno()), "-noreset", "-screen", "0", f"{size}x24",
                                     "-nolisten", "tcp"], pass_fds=[out.fileno()],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        display = ":" + wait_for(lambda: open(display_file).read().strip(), "Xvfb to start", 10)
        answering = dict(os.environ, DISPLAY=display)
        try:
            wait_for(lambda: succeeds("xdotool", "getdisplaygeometry", env=answering), f"Xvfb on {display}", 10)
        except AssertionError as silence:
            print(f"attempt {attempt}: {silence} (Xvfb {'running' if xvfb.poll() is None else 'ended'})",
                  file=sys.stderr, flush=True)
            stop(xvfb)
            continue
        services.append(xvfb)
        os.environ["DISPLAY"] = display
        return display
    raise AssertionError("no Xvfb answered in three attempts")


def start_accessibility_bus(runtime):
    """The accessibility bus, its socket in `runtime`: one of another test running at the same time
    (ctest -j) is never taken for this one's. A program started before it is there never joins it."""
    start_service("/usr/libexec/at-spi-bus-launcher", "--launch-immediately",
                  env=dict(os.environ, XDG_RUNTIME_DIR=runtime))
    wait_for(lambda: succeeds("dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                              "org.a11y.Bus.GetAddress"), "the accessibility bus")


def start_program(executable, environment, work, *arguments):
    """The program started with `arguments`, its log in `work` (shown when the test fails)."""
    with open(os.path.join(work, f"program-{next(program_logs)}.log"), "w") as log:
        program = subprocess.Popen([executable, *arguments], env=environment, stdout=subprocess.DEVNULL, stderr=log)
    program.log, program.arguments = log.name, arguments
    start_programs.append(program)
    return program


def tail(path):
    with open(path, errors="replace") as log:
        for line in log.read().splitlines()[-15:]:
            print(f"  | {line}", file=sys.stderr)


def run_test(main, prefix):
    """main(work) in a new folder; a failure is told with what each program started did. Every program
    and service started is ended, and the folder removed."""
    work = tempfile.mkdtemp(prefix=prefix)
    try:
        main(work)
    except AssertionError as failure:
        for program in (program for program in start_programs if hasattr(program, "log")):
            state = "running" if program.poll() is None else f"ended with {program.returncode}"
            print(f"program {' '.join(program.arguments) or '(no arguments)'}: {state}", file=sys.stderr)
            tail(program.log)
        print(f"FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
    finally:
        stop(*start_programs, *reversed(services))
        shutil.rmtree(work, ignore_errors=True)


def program_environment(work, **changes):
    """The program's environment: its runtime folder, a parent's settings and the record in `work`, the
    accessibility bus on, the C locale, what goes wrong in its log (shown when the test fails), and no
    speech server (none is started, none outlives the test); then `changes`."""
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    return dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(work, "config"),
                XDG_DATA_HOME=os.path.join(work, "data"), LC_ALL="C", LANG="C",
                QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                QT_LOGGING_RULES="metamorfine.*.warning=true;metamorfine.*.info=true",
                SPEECHD_ADDRESS=f"unix_socket:{runtime}/no-speech.sock", **changes)


def main(work):
    mode, target, *rest = sys.argv[1:] if sys.argv[1].startswith("--") else ["--copy"] + sys.argv[1:]
    environment = program_environment(work, DISPLAY=start_xvfb(work), QT_QPA_PLATFORM="xcb")
    start_accessibility_bus(environment["XDG_RUNTIME_DIR"])
    if mode in ("--copy", "--wm", "--scan"):
        folder = copy_program(target, work)
        executable = os.path.join(folder, "metamorfine")
        settings_file = os.path.join(folder, "LangSetting.ini")
    else:
        executable = target
        folder = os.path.normpath(os.path.join(os.path.dirname(target), "..", "share", "metamorfine"))
    if mode == "--installed":  # the user's own settings and record
        del environment["XDG_CONFIG_HOME"], environment["XDG_DATA_HOME"]
        settings_file = os.path.expanduser("~/.config/metamorfine/LangSetting.ini")
        os.makedirs(os.path.dirname(settings_file), exist_ok=True)
        store_english(settings_file)
    elif mode == "--first-run":  # the system's language
        del environment["LC_ALL"]
        environment["LANG"] = os.environ.get("LANG", "C")

    def start(*arguments, **changes):
        return start_program(executable, dict(environment, **changes), work, *arguments)

    def lng(name):
        return read_language(os.path.join(folder, name + ".lng"))

    tests = {"--first-run": lambda: first_run(start, lng(rest[0])),
             "--wm": lambda: run_wm(start, environment, lng("English")),
             "--scan": lambda: play_by_switch(start, lng("English"), start_voice(work, environment))}
    tests.get(mode, lambda: run(start, settings_file, lng("English"), lng("Deutsch")))()


def full_screen(window):
    return "_NET_WM_STATE_FULLSCREEN" in output("xprop", "-id", window, "_NET_WM_STATE")


def x_geometry(window):
    values = dict(line.strip().split(":", 1) for line in output("xwininfo", "-id", window).splitlines() if ":" in line)
    return tuple(int(values[key]) for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def screenshot(name):
    if os.environ.get("E2E_SCREENSHOTS"):
        subprocess.run(["import", "-window", "root", os.path.join(os.environ["E2E_SCREENSHOTS"], name)], check=True)


def start_openbox(environment):
    """Openbox managing the display; a start that ends or hangs is told and tried again, three times in all."""
    log = os.path.join(environment["XDG_RUNTIME_DIR"], "openbox.log")
    for attempt in range(1, 4):
        with open(log, "w") as stream:
            openbox = subprocess.Popen(["openbox", "--sm-disable"], env=environment, stdout=stream,
                                       stderr=subprocess.STDOUT)
        try:
            wait_for(lambda: openbox.poll() is None and
                     "window id" in output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                     "openbox to manage the display", 20)
            return openbox
        except AssertionError:
            state = "running" if openbox.poll() is None else f"ended with {openbox.returncode}"
            print(f"openbox, start {attempt}, did not manage the display ({state}):", file=sys.stderr)
            tail(log)
            stop(openbox)
    raise AssertionError("openbox did not manage the display in three starts")


def run_wm(start, environment, english):
    """Under openbox, each program started once the one before has ended its own way: killed, closed by
    Alt+F4, ended by the parent's chord, its window destroyed from outside (a start after each works)."""
    services.append(start_openbox(environment))
    program = start()
    pid = program.pid
    avvio = english["FormAvvio"]["BottoneAvvio.Caption"]
    wait_find(pid, BUTTON, avvio, "the start screen")
    window = wait_for(lambda: x_windows(pid)[-1], "a visible window")
    wait_for(lambda: full_screen(window), "the full-screen state")
    check(wait_for(lambda: x_geometry(window) == (0, 0, 1280, 1024), "the whole display", 5),
          "the start screen is full screen, nothing off-screen")
    check(window_titles(pid) == ["Metamorfine"], "the window is titled Metamorfine")
    screenshot("start-full-screen.png")
    before = extents(find(pid, BUTTON, avvio))

    # F11 goes back and forth between the window manager's full screen and a decorated window.
    for press, full in enumerate((False, True, False), 1):
        subprocess.run(["xdotool", "key", "--window", window, "F11"], check=True)
        wait_for(lambda: full_screen(window) == full, f"F11 number {press} to give full screen {full}")
        frame = wait_for(lambda: [int(v) for v in output("xprop", "-id", window, "_NET_FRAME_EXTENTS")
                                  .split("=")[-1].split(",") if v.strip()], "the frame's extents")
        if full:
            check(wait_for(lambda: x_geometry(window) == (0, 0, 1280, 1024), "the whole display", 5)
                  and frame[2] == 0, f"F11 number {press} gives the whole display, undecorated")
            wait_for(lambda: extents(find(pid, BUTTON, avvio))[2:] == before[2:],
                     "the button to take its full-screen size")
        else:
            check(frame[2] > 0, f"F11 number {press} gives a decorated window")
            _, _, width, height = wait_for(lambda: (lambda g: g if g[2] < 1280 else None)(x_geometry(window)),
                                           "a smaller window")
            after = wait_for(lambda: (lambda e: e if e[2] < before[2] else None)(
                extents(find(pid, BUTTON, avvio))), "the button to follow")
            check(abs(after[2] / before[2] - width / 1280) < 0.05 and abs(after[3] / before[3] - height / 1024) < 0.05,
                  f"the controls follow the window's size ({width}x{height})")

    click_named(pid, BUTTON, avvio)
    command = english["FormMenu"]["Command7.Caption"]
    click_named(pid, BUTTON, command)
    title = "Metamorfine \u2014 " + command.strip()
    wait_for(lambda: title in window_titles(pid), f"the title {title!r}")
    check(not full_screen(wait_for(lambda: x_windows(pid)[-1], "a visible window")),
          "the exercise keeps the window, titled with the exercise's name")
    stop(program)

    # A speech server that accepts and never answers does not keep the program from ending: Alt+F4 on
    # the start screen ends it within 2 s. (That Alt+F4 on an exercise asks to leave it is tst_kiosk's.)
    silent = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    silent.bind(os.path.join(environment["XDG_RUNTIME_DIR"], "silent-speech.sock"))
    silent.listen(1)
    accepted = []
    threading.Thread(target=lambda: accepted.append(silent.accept()), daemon=True).start()
    program = start(SPEECHD_ADDRESS="unix_socket:" + silent.getsockname())
    wait_find(program.pid, BUTTON, avvio, "the start screen after a copy was killed")
    wait_for(lambda: accepted, "the program to reach the speech server", 10)
    subprocess.run(["xdotool", "windowactivate", "--sync", x_windows(program.pid)[-1]], check=True)
    subprocess.run(["xdotool", "key", "alt+F4"], check=True)
    began = time.monotonic()
    wait_for(lambda: program.poll() is not None, "Alt+F4 to end the program while speech waits", 10)
    seconds = time.monotonic() - began
    check(seconds < 2, f"Alt+F4 ends the program while its voice waits on the server ({seconds:.2f} s)")
    silent.close()
    kiosk_then_destroyed_window(start, avvio)
    # Also the screenshots of tools/screenshots.sh.
    play_levels(start, english)


def accessible_words(english):
    return {key[len("Name("):-1]: text for key, text in english["Accessibility"].items()}


def shown_pictures(pid, words, count, what):
    """The `count` pictures an exercise shows, in their order (by their names), and the slot of the
    one that is the model's copy: the right one of "Nothing changes"."""
    description = named(pid, IMAGE, words["Model"] + ": ", "the model's description").split(": ", 1)[1]

    def slot_name(slot, figure=""):
        return words["Picture"].replace("%1", str(slot + 1)).replace("%2", str(count)).replace("%3", figure)
    shown = wait_for(lambda: (lambda found: found if len(found) == count else None)(
        [a for a in find_all(pid, BUTTON) if a.name.startswith(slot_name(0).split(" ")[0] + " ")
         and a.getState().contains(pyatspi.STATE_SHOWING)]), f"{count} pictures {what}")
    pictures = sorted(shown, key=lambda a: [a.name.startswith(slot_name(slot)) for slot in range(count)], reverse=True)
    check(all(a.name.startswith(slot_name(slot)) for slot, a in enumerate(pictures)),
          f"{what}: pictures 1 to {count}, each named once")
    right = next(slot for slot, a in enumerate(pictures) if a.name == slot_name(slot, description))
    return pictures, right, description


def first_run(start, language):
    """A first start speaks the system's language, and its menu's first column stands where the language
    starts to read: at the right in Arabic (the widget tests mirror every screen and its arrows)."""
    pid = start().pid
    click_named(pid, BUTTON, language["FormAvvio"]["BottoneAvvio.Caption"])
    colour = wait_find(pid, BUTTON, language["FormMenu"]["Command7.Caption"], "the menu in the system's language")
    two = wait_find(pid, BUTTON, language["FormMenu"]["Command5.Caption"], "the menu's second column")
    mirrored = extents(colour)[0] > extents(two)[0] + extents(two)[2]
    check(mirrored == (language["Language"]["Locale"][:2] in ("ar", "fa", "he", "ur")),
          f"a first start speaks the system's language, its menu {'mirrored' if mirrored else 'as it stands'}")


def play_levels(start, english):
    """Four pictures at level 1, named in their order, with no stripes named (in the program started after
    a window was destroyed). Then growing with the child: five puzzles solved at the first try take a child
    from eight pictures to sixteen, told in the place of the title; the next start begins there, the
    stripes named at sixteen pictures alone. The widget tests solve every level by the mouse and by the
    keys (Tab from the first picture in their order)."""
    words = accessible_words(english)
    with_stripes = {text for key, text in words.items() if ".Pattern.Picture" in key}
    empty = words["Found"] + ": " + words["Empty"]
    program = start("--level=1", "--exercise=3")
    pictures, _, _ = shown_pictures(program.pid, words, 4, "at level 1")
    check(not any(a.name.split(": ", 1)[1] in with_stripes for a in pictures), "no stripes named at level 1")
    screenshot("exercise-level-1.png")
    stop(program)

    program = start("--level=auto", "--exercise=3")
    pid = program.pid
    for puzzle in range(5):
        wait_find(pid, IMAGE, empty, "a new puzzle")
        pictures, right, _ = shown_pictures(pid, words, 8, f"in puzzle {puzzle + 1}")
        click(pictures[right])
        wait_for(lambda: not find(pid, IMAGE, empty), "the right answer")
        if puzzle < 4:
            subprocess.run(["xdotool", "key", "Return"], check=True)  # Next, where the right answer took the focus
    wait_find(pid, pyatspi.ROLE_LABEL, english["Speech"]["Say(LevelUp3)"], "the step told in the place of the title")
    screenshot("level-step.png")
    passed("five puzzles solved at the first try: the step is told in the place of the title")
    stop(program)
    program = start("--level=auto", "--exercise=3")
    pictures, _, _ = shown_pictures(program.pid, words, 16, "at the next start")
    check(all(a.name.split(": ", 1)[1] in with_stripes for a in pictures),
          "a child who grew to sixteen pictures starts the next run with sixteen, the stripes named")
    screenshot("exercise-level-3.png")


def kiosk_then_destroyed_window(start, avvio):
    """With --kiosk the window manager's own ways out (show the desktop, switch windows, switch desktops,
    minimise) and another program taking the front leave the kiosk in front, full screen, with the keyboard
    (Alt+F4, F11 and the program's own ways out: tst_kiosk); Ctrl+Alt+Shift+Q held on the real keyboard,
    its repeats as X sends them, ends it (let go sooner or held a key short it does not: tst_kiosk). Then a
    window destroyed by another program ends the program, which says so in its log."""
    program = start("--kiosk")
    wait_find(program.pid, BUTTON, avvio, "the kiosk's start screen")
    window = wait_for(lambda: x_windows(program.pid)[-1], "a visible window")
    wait_for(lambda: full_screen(window), "the full-screen state in kiosk mode")
    start_service("xmessage", "-center", "another program")
    other = services[-1]
    other_window = wait_for(lambda: output("xdotool", "search", "--onlyvisible", "--pid", str(other.pid),
                                           "--name", "").split()[-1], "another program's window")
    held = lambda: (full_screen(window) and "IsViewable" in output("xwininfo", "-id", window)
                    and output("xdotool", "getactivewindow").strip() == window
                    and output("xprop", "-root", "_NET_CURRENT_DESKTOP").split()[-1] == "0")
    wait_for(held, "the kiosk in front after another program's window came up", 10)
    for way_out in (["key", "super+d"], ["key", "alt+Tab"], ["key", "ctrl+alt+Right"],
                    ["windowminimize", window], ["windowactivate", other_window]):
        subprocess.run(["xdotool", *way_out], check=True)
        time.sleep(0.5)
        check(wait_for(held, f"the kiosk in front after {' '.join(way_out)}", 10) and program.poll() is None,
              f"the kiosk keeps the screen, on its desktop, after {' '.join(way_out)}")
    stop(other)
    subprocess.run(["xdotool", "windowactivate", "--sync", window], check=True)
    subprocess.run(["xdotool", "keydown", "ctrl+alt+shift+q"], check=True)
    time.sleep(3)
    subprocess.run(["xdotool", "keyup", "q", "shift", "alt", "ctrl"], check=True)
    wait_for(lambda: program.poll() is not None, "the parent's chord held to end the kiosk", 10)
    passed("Ctrl+Alt+Shift+Q held for two seconds ends a kiosk")

    program = start()
    wait_find(program.pid, BUTTON, avvio, "the start screen after the chord")
    xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    display = xlib.XOpenDisplay(None)
    xlib.XDestroyWindow(ctypes.c_void_p(display), ctypes.c_ulong(int(x_windows(program.pid)[-1])))
    xlib.XCloseDisplay(ctypes.c_void_p(display))
    wait_for(lambda: program.poll() is not None, "the end of the program whose window was destroyed", 10)
    with open(program.log) as log:
        check("window was destroyed" in log.read(), "a window destroyed from outside ends the program, which says why")


def run(start, settings_file, english, deutsch):
    avvio = english["FormAvvio"]["BottoneAvvio.Caption"]
    strings = english["Strings"]

    first = start()
    click_target = wait_find(first.pid, BUTTON, avvio, "the start screen")

    second = start()
    message_box(second.pid, strings["0001"])
    check(any(title.startswith(strings["0002"]) for title in window_titles(second.pid)),
          "a second copy is refused with the message and the title of the language")
    answer(second.pid, strings["0001"], "OK")
    wait_for(lambda: second.poll() is not None, "the refused copy to end")
    click(click_target)
    wait_find(first.pid, pyatspi.ROLE_FRAME, english["Accessibility"]["Name(Menu)"], "the first copy's main menu")

    click_named(first.pid, BUTTON, english["FormMenu"]["Command2.Caption"])
    wait_find(first.pid, pyatspi.ROLE_FRAME, english["FormMenu"]["Command2.Caption"], "the exercise screen")
    click_named(first.pid, MENU_ITEM, english["FormEs1"]["mnuEsci.Caption"])
    answer(first.pid, strings["0004"], "Yes")
    wait_find(first.pid, BUTTON, english["FormMenu"]["Command7.Caption"], "the menu after the exercise")

    click_named(first.pid, MENU_ITEM, english["FormMenu"]["mnuLanguages.Caption"])
    click_named(first.pid, MENU_ITEM, "Deutsch")
    wait_find(first.pid, pyatspi.ROLE_FRAME, deutsch["Accessibility"]["Name(Menu)"], "the menu named in German")
    click_named(first.pid, BUTTON, deutsch["FormMenu"]["BottoneEsci.Caption"])
    answer(first.pid, deutsch["Strings"]["0003"], "Ja")  # the buttons speak the chosen language
    wait_for(lambda: first.poll() is not None, "Yes to the exit question to end the program")
    with open(settings_file, encoding="cp1252") as settings:
        check("CurrentLanguage=Deutsch" in settings.read(), "the choice is in the settings file")

    wait_find(start().pid, BUTTON, deutsch["FormAvvio"]["BottoneAvvio.Caption"], "the start screen in German")
    passed("the language chosen in one run is there at the start of the next")


def start_voice(work, environment):
    """A private audio server with a null sink, and speech-dispatcher speaking through it in real time, its log
    in `work`; the program's environment reaches both. Returns the log's path."""
    pulse_home = os.path.join(work, "pulse")
    os.mkdir(pulse_home, 0o700)
    audio = dict(os.environ, HOME=pulse_home, XDG_RUNTIME_DIR=pulse_home,
                 PULSE_SERVER=f"unix:{pulse_home}/pulse/native")
    start_service("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "-L", "module-null-sink",
                  "-L", "module-native-protocol-unix", env=audio)
    wait_for(lambda: succeeds("pactl", "info", env=audio), "the audio server", 20)
    socket = os.path.join(work, "speechd.sock")
    start_service("speech-dispatcher", "-s", "-t", "0", "-l", "5", "-c", "unix_socket", "-S", socket, "-L", work,
                  "-P", os.path.join(work, "speechd.pid"), env=audio)
    wait_for(lambda: os.path.exists(socket), "the speech server", 20)
    environment.update(PULSE_SERVER=audio["PULSE_SERVER"], SPEECHD_ADDRESS=f"unix_socket:{socket}")
    return os.path.join(work, "speech-dispatcher.log")


def sentences_said(log_path):
    """The sentences the speech server queued, in order, and those the client asked it to cut before they had ended."""
    text = open(log_path, errors="replace").read()
    events = re.findall(r"Queueing message \|(.*?)\| with priority|\d+:DATA:\|(CANCEL)|(702 END)", text, re.S)
    queued, cut, speaking = [], [], None
    for sentence, cancel, end in events:
        if sentence:
            queued.append(sentence)
        elif cancel and speaking:
            cut.append(speaking)
        speaking = sentence or None
    return queued, cut


def play_by_switch(start, english, speech_log):
    """Automatic switch scanning at its default pace, with a real voice: from the start screen to a right answer
    in "Nothing changes" and back to the menu by pressing Space alone, each time the highlight (the focus, as
    AT-SPI reports it) is on the choice wanted; every sentence said whole."""
    words = accessible_words(english)
    pid = start("--scan=auto").pid

    def press_space_on(wanted, what):
        wait_for(lambda: wanted(next((a.name for a in find_all(pid, BUTTON)
                                      if a.getState().contains(pyatspi.STATE_FOCUSED)), "")), what, timeout=30)
        subprocess.run(["xdotool", "key", "space"], check=True)

    press_space_on(lambda name: name == english["FormAvvio"]["BottoneAvvio.Caption"], "Avvio highlighted")
    wait_find(pid, pyatspi.ROLE_FRAME, english["Accessibility"]["Name(Menu)"], "the main menu")
    exercise = english["FormMenu"]["Command2.Caption"]
    press_space_on(lambda name: name == exercise, f"{exercise!r} highlighted")
    wait_find(pid, pyatspi.ROLE_FRAME, exercise, "the exercise screen")
    description = named(pid, IMAGE, words["Model"] + ": ", "the model's description").split(": ", 1)[1]
    right = words["Right"] + ", " + english["FormEs3"]["Label1.Caption"] + ": 1"
    announced = None
    for attempt in range(3):  # a press that came as the highlight moved on is a wrong answer: again
        press_space_on(lambda name: name.startswith("picture ") and name.endswith(": " + description),
                       "the right picture highlighted")
        before = announced
        announced = wait_for(lambda: next((a.name for a in find_all(pid, pyatspi.ROLE_NOTIFICATION)
                                           if a.name != before), None), "the answer announced")
        if announced.startswith(right):
            break
    check(find(pid, IMAGE, words["Found"] + ": " + description) is not None,
          "a right answer given by Space alone, at the moment the right picture was highlighted")

    # The way home: its button, then the question's Yes (No comes first: tst_switch_scan).
    press_space_on(lambda name: name == words["HomeButton"], "the way home highlighted")
    question = english["Strings"]["0004"]
    wait_for(lambda: message_box(pid, question), "the leave question")
    press_space_on(lambda name: name == "Yes", "Yes highlighted")
    wait_find(pid, pyatspi.ROLE_FRAME, english["Accessibility"]["Name(Menu)"], "the menu again")

    queued, cut = sentences_said(speech_log)
    instruction = english["Speech"]["Say(Same)"]
    check(instruction in queued, f"the instruction handed to the speech server (said: {queued})")
    check(any(said.startswith(question) for said in queued), "the leave question said with its buttons")
    messages = [instruction, question] + [english["Speech"][f"Say(Praise{n})"] for n in range(1, 5)]
    check(not [said for said in cut if any(said.startswith(message) for message in messages)],
          f"no instruction, praise or question was cut (cut: {cut})")
    passed("one switch alone: a whole puzzle and the way home, every sentence said whole")


if __name__ == "__main__":
    run_test(main, "metamorfine-e2e-")
