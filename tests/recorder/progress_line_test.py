#!/usr/bin/env python3
"""The command's progress line as a terminal sees it: loading and writing a session
draw "tracewell: loading FILE N%" on standard error when it is a terminal, and erase
it at the end; --quiet, or standard error on a pipe, gets no line at all.

Usage: progress_line_test.py TRACEWELL WORKDIR"""
import json
import os
import pty
import subprocess
import sys

tracewell, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)


def entry(n):
    return {"startedDateTime": "2026-12-01T07:09:05.003Z", "time": 1,
            "request": {"method": "GET", "url": f"http://127.0.0.1:8080/item/{n}", "httpVersion": "HTTP/1.1",
                        "headers": [], "queryString": [], "cookies": [], "headersSize": -1, "bodySize": 0},
            "response": {"status": 200, "statusText": "OK", "httpVersion": "HTTP/1.1", "headers": [],
                         "cookies": [], "content": {"size": 0, "mimeType": "text/plain"}, "redirectURL": "",
                         "headersSize": -1, "bodySize": 0},
            "cache": {}, "timings": {"send": 0, "wait": 1, "receive": 0}}


har = os.path.join(work, "session.har")
with open(har, "w") as f:
    json.dump({"log": {"version": "1.2", "creator": {"name": "test", "version": "1"},
                       "entries": [entry(n) for n in range(3000)]}}, f)
session = os.path.join(work, "session.elf")
subprocess.run([tracewell, "export", har, "-o", session], check=True, timeout=60)


def on_terminal(*args):
    """Runs the command with standard error on a pseudo-terminal; what it drew there."""
    main, side = pty.openpty()
    process = subprocess.Popen([tracewell, *args], stdout=subprocess.DEVNULL, stderr=side)
    os.close(side)
    drawn = b""
    while True:
        try:
            chunk = os.read(main, 65536)
        except OSError:  # the terminal's other side closed
            break
        if not chunk:
            break
        drawn += chunk
    os.close(main)
    assert process.wait(timeout=60) == 0, (args, drawn)
    return drawn.decode()


failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


csv = os.path.join(work, "session.csv")
drawn = on_terminal("export", session, "-o", csv)
check(f"\rtracewell: loading {session} 0%" in drawn, f"no loading line from 0%: {drawn!r}")
check(f"\rtracewell: loading {session} 100%" in drawn, f"no loading line to 100%: {drawn!r}")
check(f"\rtracewell: writing {csv} 100%" in drawn, f"no writing line: {drawn!r}")
last = drawn.rsplit("\r", 2)
check(len(last) == 3 and last[2] == "" and last[1].strip() == "", f"the line is not erased at the end: {drawn!r}")

drawn = on_terminal("show", session)
check(f"tracewell: loading {session} 100%" in drawn, f"show draws no loading line: {drawn!r}")

check(on_terminal("show", "--quiet", session) == "", "--quiet still draws")
check(on_terminal("export", "-q", session, "-o", csv) == "", "-q still draws")

piped = subprocess.run([tracewell, "export", session, "-o", csv], capture_output=True, timeout=60)
check(piped.returncode == 0 and piped.stderr == b"", f"a pipe got {piped.stderr!r}")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
