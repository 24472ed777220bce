#!/usr/bin/python3
"""What a screen reader hears of the window's lists, through AT-SPI on a
real X server: each list by its name with its chosen entry (as description
and as text), following a change by key, by mouse and by the program.
   screen_reader_test.py LINTAVO PATTERN  (inside an X server, a D-Bus session
   and the AT-SPI bus; see screen_reader_test.sh)"""
import subprocess
import sys
import time

import pyatspi

lintavo, pattern = sys.argv[1], sys.argv[2]
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r}, not {want!r}")


def lists_of(acc, out):
    if acc.getRoleName() == "combo box":
        out[acc.name] = acc
    for child in acc:
        if child is not None:
            lists_of(child, out)
    return out


def heard(combo):
    return combo.description, combo.queryText().getText(0, -1)


def until(test, seconds=5.0):
    end = time.time() + seconds
    while time.time() < end:
        if test():
            return True
        time.sleep(0.1)
    return test()


app_process = subprocess.Popen([lintavo, pattern])
try:
    app = None
    until(lambda: any(a is not None and a.name == "Lintavo" for a in pyatspi.Registry.getDesktop(0)), 20)
    app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "Lintavo")
    until(lambda: len(lists_of(app, {})) >= 22, 10)
    lists = lists_of(app, {})
    check("lists", len(lists), 22)
    # As the sample pattern loaded them (the program's choice).
    check("read type", heard(lists["読込みファイルの種類"]), ("CSV", "CSV"))
    check("write mode", heard(lists["書出し方法"]), ("パターンに当てはめて書き出す",) * 2)
    check("@3 comparison", heard(lists["@3の比較条件"]), ("=", "="))
    for name, combo in lists.items():  # the empty entry of a comparison or conversion is heard as empty
        description, text = heard(combo)
        if description != text or (not description and not name.endswith(("比較条件", "変換"))):
            failures.append(f"{name}: heard {description!r} and {text!r}")
    # By key: up from CSV is TEXT.
    combo = lists["読込みファイルの種類"]
    combo.queryComponent().grabFocus()
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "Up"], check=True)
    check("after Up", until(lambda: heard(combo) == ("TEXT", "TEXT")), True)
    # By mouse: open the list of @1's conversions and click its last entry.
    combo = lists["@1の変換"]
    x, y = combo.queryComponent().getPosition(pyatspi.DESKTOP_COORDS)
    w, h = combo.queryComponent().getSize()
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)
    time.sleep(0.5)
    subprocess.run(["xdotool", "key", "End", "Return"], check=True)
    check("after a click", until(lambda: heard(combo) == ("数値", "数値")), True)
finally:
    app_process.terminate()
    app_process.wait(10)

for f in failures:
    print("FAIL:", f)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
