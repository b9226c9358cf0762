#!/usr/bin/env python3
"""Kills the real program while the user types and checks that nothing typed is lost.

Starts build/piyonote2 on a private X server (Xvfb), types letters through the X server's
test extension (real key events, as a keyboard gives them), kills the program with SIGKILL
at a random moment, starts it again and ends it in order, then reads the page file: every
character typed at least one second before the kill must be there. Each trial types in
front of what the trials before it left, so page file and journal are both exercised.

A second check ends the program with SIGTERM while its start-up warning (a damaged page
file) waits for the user: it must end within seconds with its pages written.

    scripts/crash-test.py [--trials N] [--program build/piyonote2] [--seed S]

Needs Xvfb and libXtst (Debian: xvfb, libxtst6). Exit status 0 when nothing was lost.
"""
import argparse
import ctypes
import os
import random
import signal
import subprocess
import sys
import tempfile
import time


def read_page_file(path):
    """The pages of a page file as (name, file, text) byte strings."""
    data = open(path, "rb").read()
    pos = 0

    def take(n):
        nonlocal pos
        if pos + n > len(data):
            raise ValueError("page file cut short")
        out = data[pos:pos + n]
        pos += n
        return out

    def integer():
        tag = take(1)[0]
        size = {2: 1, 3: 2, 4: 4}[tag]
        return int.from_bytes(take(size), "little", signed=True)

    def string():
        tag = take(1)[0]
        if tag == 0x06:
            return take(take(1)[0])
        n = int.from_bytes(take(4), "little")
        if tag == 0x0C:
            return take(n)
        if tag == 0x14:
            return take(n).decode("utf-8").encode("cp932", "replace")
        if tag == 0x12:
            return take(2 * n).decode("utf-16-le").encode("cp932", "replace")
        raise ValueError("bad tag %d" % tag)

    return [(string(), string(), string()) for _ in range(integer())]


class Keyboard:
    """Key presses through XTest on one display."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.dpy = None
        for _ in range(100):
            self.dpy = self.x11.XOpenDisplay(display.encode())
            if self.dpy:
                break
            time.sleep(0.1)
        if not self.dpy:
            raise RuntimeError("cannot open display " + display)
        self.codes = {}

    def point_at(self, x, y):
        # Without a window manager the keyboard follows the pointer.
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.x11.XSync(self.dpy, 0)

    def tap(self, ch):
        code = self.codes.get(ch)
        if code is None:
            code = self.x11.XKeysymToKeycode(self.dpy, self.x11.XStringToKeysym(ch.encode()))
            self.codes[ch] = code
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        self.x11.XFlush(self.dpy)


def start_program(program, home, display):
    env = dict(os.environ, PIYONOTE2_HOME=home, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               QTWEBENGINE_DISABLE_SANDBOX="1")
    return subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def wait_ready(home, proc, timeout=30):
    # The journal appears once the pages are loaded; the window follows at once.
    journal = os.path.join(home, "piyonote2.kdx-journal")
    end = time.time() + timeout
    while time.time() < end:
        if proc.poll() is not None:
            raise RuntimeError("program ended at start")
        if os.path.exists(journal):
            time.sleep(1.0)
            return
        time.sleep(0.05)
    raise RuntimeError("program did not start")


def end_in_order(proc, timeout=20):
    proc.send_signal(signal.SIGTERM)
    proc.wait(timeout=timeout)


def trial(args, home, display, keys, rng, before):
    proc = start_program(args.program, home, display)
    try:
        wait_ready(home, proc)
        keys.point_at(512, 347)
        typed = ""
        sent_at = []
        kill_at = time.time() + rng.uniform(1.5, 5.0)
        while time.time() < kill_at:
            ch = rng.choice("abcdefghijklmnopqrstuvwxyz0123456789")
            keys.tap(ch)
            typed += ch
            sent_at.append(time.time())
            time.sleep(rng.uniform(0.01, 0.06))
        killed_at = time.time()
        proc.kill()
        proc.wait()
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    must = sum(1 for t in sent_at if t <= killed_at - 1.0)
    proc = start_program(args.program, home, display)
    wait_ready(home, proc)
    end_in_order(proc)
    text = read_page_file(os.path.join(home, "piyonote2.kdx"))[0][2].decode("latin-1")
    # Typing goes in front of what earlier trials left.
    got = len(text) - len(before)
    ok = text.endswith(before) and 0 <= got <= len(typed) and text[:got] == typed[:got] \
        and got >= must
    return ok, text, len(typed), must, got


def start_message_check(args, display):
    home = tempfile.mkdtemp(prefix="piyo-crash-")
    with open(os.path.join(home, "piyonote2.kdx"), "wb") as f:
        f.write(b"\x02\x02\x06\x01")  # two pages promised, cut short: warned at start
    proc = start_program(args.program, home, display)
    time.sleep(4)
    if proc.poll() is not None:
        return False, "ended before the signal"
    t0 = time.time()
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        return False, "SIGTERM during the start-up warning was ignored"
    pages = read_page_file(os.path.join(home, "piyonote2.kdx"))
    return len(pages) >= 1, "ended %.2f s after SIGTERM with %d page(s) written" % (
        time.time() - t0, len(pages))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--trials", type=int, default=20)
    parser.add_argument("--program", default="build/piyonote2")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--display", default=":97")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    rng = random.Random(args.seed)

    xvfb = subprocess.Popen(["Xvfb", args.display, "-screen", "0", "1280x1024x24", "-nolisten",
                             "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        keys = Keyboard(args.display)
        ok, note = start_message_check(args, args.display)
        print("start-up warning + SIGTERM:", "ok" if ok else "FAILED", "-", note)
        failures = 0 if ok else 1

        home = tempfile.mkdtemp(prefix="piyo-crash-")
        before = ""
        losses = 0
        for i in range(args.trials):
            good, text, typed, must, got = trial(args, home, args.display, keys, rng, before)
            print("trial %d: typed %d, due %d, back %d %s" % (i + 1, typed, must, got,
                                                            "ok" if good else "LOST"))
            if not good:
                losses += 1
            before = text
        print("%d trials, %d with losses" % (args.trials, losses))
        return 1 if losses or failures else 0
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    sys.exit(main())
