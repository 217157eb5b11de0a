#!/usr/bin/env python3
"""Runs huewright-cli through a table of invocations and compares standard output, standard
error and the exit status of each. The whole table runs under two locales: the bytes in and
out must not depend on them.

usage: cli_table.py PATH-TO-HUEWRIGHT-CLI [EMULATOR...]
  With an emulator (Wine), the Windows program runs under it, in two Windows code pages; the
  bytes must be those of the Linux build. HUEWRIGHT_FACTS names the build's facts file, for
  the version.
"""
import os
import shlex
import subprocess
import sys
import termios
import threading
import time

PROGRAM = sys.argv[1]
EMULATOR = sys.argv[2:]
COMMAND = [*EMULATOR, PROGRAM]
NAME = "huewright-cli: "


def build_facts():
    """The build's facts file (cmake/facts.cmake): KEY="value" lines."""
    with open(os.environ["HUEWRIGHT_FACTS"], encoding="utf-8") as facts:
        return dict(shlex.split(line)[0].split("=", 1) for line in facts
                    if line.strip() and not line.startswith("#"))


VERSION = build_facts()["HUEWRIGHT_VERSION"]

NO_TEXT = (NAME + "there is no text to colour while --start and --end differ; give a TEXT or "
           "pipe one to standard input\n")
TOO_LONG = NAME + "the text has more than 99,999 characters{}, more than huewright-cli can colour\n"
FORMS = ("use #RRGGBB, RRGGBB, #RGB, rgb(R, G, B) or R,G,B with values from 0 to 256, or a CSS "
         "colour name")
RANGE = "each value runs from 0 to 256"
# The window's words for its buttons never reach the command line.
WINDOW_ONLY = ["press Generate", "generate again", "Type a text"]


def black(*characters):
    return "".join(f"[color=#000000]{c}[/color]" for c in characters)


def bad_colour(option, value, why=None):
    if why is None:
        return f'{NAME}{option}: "{value}" is not a colour; {FORMS}\n'
    return f'{NAME}{option}: "{value}" is not a colour: {why}\n'


def bad_utf8(where, offset):
    return f"{NAME}{where} is not valid UTF-8 at byte offset {offset}\n"


HI = "[b][color=#800000]H[/color][color=#01007F]i[/color][/b]"
HELLO = ("[color=#CC0000]H[/color][color=#990033]e[/color][color=#660066]l[/color]"
         "[color=#330099]l[/color][color=#0000CC]o[/color]")
RED_TO_BLUE = ["-s", "255,0,0", "-e", "0,0,255"]

# (name, arguments, standard input or None, exit status, standard output, standard error)
# Standard input None means none is given (it is /dev/null). Outputs are str, compared as
# UTF-8 bytes; a standard error of None is not compared (only its prefix and one line).
TABLE = [
    # The worked examples, and each way of writing a colour.
    ("two characters, bold", ["-s", "255,0,0", "-e", "#0000FF", "-b", "Hi"], None, 0, HI + "\n", ""),
    ("five characters from stdin", ["-s", "FF0000", "-e", "0000ff"], b"Hello\n", 0, HELLO + "\n", ""),
    ("#RGB doubles each digit", ["-s", "#F00", "-e", "#00f", "Hello"], None, 0, HELLO + "\n", ""),
    ("R,G,B with spaces and leading zeros", ["-s", " 255 ,000, 0", "-e", "0, 0,0255 ", "Hello"],
     None, 0, HELLO + "\n", ""),
    ("256 is written FF", ["-s", "256,256,256", "-e", "256,256,256", "a"], None, 0,
     "[color=#FFFFFF]a[/color]\n", ""),
    ("mixed case hex", ["--start=#aBcDeF", "--end", "AbCdEf", "x"], None, 0,
     "[color=#ABCDEF]x[/color]\n", ""),
    ("rgb() and names, any case", ["-s", " rgb(255, 0,0) ", "-e", "BLUE", "-b", "Hi"], None, 0,
     HI + "\n", ""),
    ("rgb() up to 256, a name to the same colour", ["-s", "RGB(256,256,256)", "-e", "White", "a"],
     None, 0, "[color=#FFFFFF]a[/color]\n", ""),
    ("rebeccapurple", ["-s", "rebeccapurple", "-e", "#639", "b"], None, 0,
     "[color=#663399]b[/color]\n", ""),
    ("defaults are black", ["a"], None, 0, black("a") + "\n", ""),
    ("the last of two colours counts", ["-s", "1,1,1", "-s", "#FFFFFF", "-e", "#fff", "a"], None,
     0, "[color=#FFFFFF]a[/color]\n", ""),
    # Switches, -n, and how the text is put together.
    ("bold and italic nest", ["-bi", "a"], None, 0, "[b][i]" + black("a") + "[/i][/b]\n", ""),
    ("-n drops the newline", ["-n", "-b", "-s", "255,0,0", "-e", "0,0,255", "Hi"], None, 0, HI, ""),
    ("arguments joined with one space", ["a", "b"], None, 0, black("a", " ", "b") + "\n", ""),
    ("-- before a text with a dash", ["--", "-x"], None, 0, black("-", "x") + "\n", ""),
    ("brackets copied as they are", ["[/b]", "[x,y]"], None, 0,
     black("[", "/", "b", "]", " ", "[", "x", ",", "y", "]") + "\n", ""),
    ("arguments in any script", ["Grüße", "😀", "Привет", "中文"], None, 0,
     black(*"Grüße 😀 Привет 中文") + "\n", ""),
    ("a character is what a reader sees", ["e\u0301\U0001F1EB\U0001F1F7\U0001F600"], None, 0,
     black("e\u0301", "\U0001F1EB\U0001F1F7", "\U0001F600") + "\n", ""),
    ("the single argument - reads stdin", ["-"], b"ok\n", 0, black("o", "k") + "\n", ""),
    ("stdin: one final CRLF dropped", [], b"ok\r\n", 0, black("o", "k") + "\n", ""),
    ("stdin: only one line ending dropped", [], b"a\nb\n\n", 0, black("a", "\n", "b", "\n") + "\n", ""),
    ("stdin: a lone final CR stays", [], b"a\r", 0, black("a", "\r") + "\n", ""),
    ("stdin: no line ending", [], b"a", 0, black("a") + "\n", ""),
    ("stdin: UTF-8 across the text", [], "\u00e9\u4e2d\U0001F600\n".encode(), 0,
     black("\u00e9", "\u4e2d", "\U0001F600") + "\n", ""),
    ("empty stdin, equal colours", ["-b"], b"", 0, "[b][/b]\n", ""),
    ("compact", ["-c", *RED_TO_BLUE, "a  b"], None, 0,
     "[color=#C00000]a[/color]  [color=#0300BD]b[/color]\n", ""),
    ("compact from stdin", ["--compact", "-n"], b"aa a\n", 0, "[color=#000000]aa a[/color]", ""),
    ("--help on stdout", ["--help"], None, 0, None, ""),
    ("--version", ["--version"], None, 0, f"huewright-cli {VERSION}\n", ""),
    # Failures of the generation: the engine's description, nothing on stdout, status 1.
    ("no text while colours differ", ["-e", "0,0,1", ""], None, 1, "", NO_TEXT),
    ("empty stdin while colours differ", RED_TO_BLUE, b"\n", 1, "", NO_TEXT),
    ("compact fails alike", ["-c", *RED_TO_BLUE, ""], None, 1, "", NO_TEXT),
    ("100,000 characters", [], b"x" * 100_000 + b"\n", 1, "", TOO_LONG.format(" (100,000)")),
    ("99,999 characters and emoji", [], "\U0001F600".encode() * 99_999, 0, None, ""),
    # Usage errors: one line, status 2.
    ("unknown option", ["-b", "--frobnicate", "x"], None, 2, "",
     NAME + "unknown option --frobnicate (put -- before a text that begins with a dash; "
     "see huewright-cli --help)\n"),
    ("a text with a dash needs --", ["-x"], None, 2, "", None),
    ("options after TEXT are text", ["a", "-b"], None, 0, black("a", " ", "-", "b") + "\n", ""),
    ("-- only once", ["--", "--", "x"], None, 0, black("-", "-", " ", "x") + "\n", ""),
    ("option without its value", ["-s"], None, 2, "",
     NAME + "--start: 1 required COLOUR missing (see huewright-cli --help)\n"),
    ("three digits need #", ["-s", "F80", "x"], None, 2, "", bad_colour("--start", "F80")),
    ("too few hex digits", ["-e", "#12", "x"], None, 2, "", bad_colour("--end", "#12")),
    ("not a hex digit", ["-s", "12345G", "x"], None, 2, "", bad_colour("--start", "12345G")),
    ("seven hex digits", ["-s", "#FF00001", "x"], None, 2, "", bad_colour("--start", "#FF00001")),
    ("empty colour", ["-s", "", "x"], None, 2, "", bad_colour("--start", "")),
    ("empty colour after =, not the next word", ["--end=", "FF0000", "x"], None, 2, "",
     bad_colour("--end", "")),
    ("two values", ["-s", "1,2", "x"], None, 2, "", bad_colour("--start", "1,2")),
    ("four values", ["-s", "1,2,3,4", "x"], None, 2, "", bad_colour("--start", "1,2,3,4")),
    ("alpha", ["-s", "rgba(1,2,3,0.5)", "x"], None, 2, "", bad_colour("--start", "rgba(1,2,3,0.5)")),
    ("transparent", ["-e", "transparent", "x"], None, 2, "", bad_colour("--end", "transparent")),
    ("above 256", ["-e", "0,257,0", "x"], None, 2, "", bad_colour("--end", "0,257,0", RANGE)),
    ("above 256 in rgb()", ["-e", "rgb(0, 0, 300)", "x"], None, 2, "",
     bad_colour("--end", "rgb(0, 0, 300)", RANGE)),
    ("far above 256", ["-e", "0,0,99999999999999999999", "x"], None, 2, "",
     bad_colour("--end", "0,0,99999999999999999999", RANGE)),
    ("negative", ["-s", "-1,0,0", "x"], None, 2, "", bad_colour("--start", "-1,0,0")),
    ("empty value", ["-s", "1,,2", "x"], None, 2, "", bad_colour("--start", "1,,2")),
    ("overlong", [], b"ab\xc0\x80", 2, "", bad_utf8("standard input", 2)),
    ("overlong three bytes", [], b"\xe0\x80\xaf", 2, "", bad_utf8("standard input", 0)),
    ("surrogate", [], b"a\xed\xa0\x80", 2, "", bad_utf8("standard input", 1)),
    ("above U+10FFFF", [], b"a\xf4\x90\x80\x80", 2, "", bad_utf8("standard input", 1)),
    ("truncated at the end", [], b"ab\xe2\x82", 2, "", bad_utf8("standard input", 2)),
    ("truncated inside", [], b"a\xe2\x28\xa1", 2, "", bad_utf8("standard input", 1)),
    ("stray continuation byte", [], b"\x80", 2, "", bad_utf8("standard input", 0)),
    ("byte never in UTF-8", [], b"ok\xff", 2, "", bad_utf8("standard input", 2)),
    ("bad UTF-8 after the first chunk", [], b"x" * 70_000 + b"\xc3", 2, "",
     bad_utf8("standard input", 70_000)),
    # Standard input is read 64 KiB at a time; a character cut by the end of a piece waits.
    ("a character across the first 64 KiB", ["-c"], b"x" * 65_535 + "\U0001F600\n".encode(), 0,
     "[color=#000000]" + "x" * 65_535 + "\U0001F600[/color]\n", ""),
    ("bad UTF-8 across the first 64 KiB", [], b"x" * 65_534 + b"\xf0\x9f\x98(", 2, "",
     bad_utf8("standard input", 65_534)),
]
# Windows hands a program its arguments in UTF-16: they cannot be ill-formed UTF-8 there.
if not EMULATOR:
    TABLE.append(("bad UTF-8 in an argument",
                  ["ok", b"a\xc3(".decode("utf-8", "surrogateescape")], None, 2, "",
                  bad_utf8("TEXT argument 2", 1)))


def stream(chunk, limit):
    """Standard input that goes on far beyond what the program may read."""
    return ("stream", chunk, limit)


# Endless input ends quickly, with little read. (name, arguments, stream, exit, stderr, most read)
ENDLESS = [
    ("endless text stops at the limit", [], stream(b"abcdefghij" * 6554, 1 << 30), 1,
     TOO_LONG.format(""), 2 << 20),
    ("one endless character stops at 16 MiB", [], stream("\u0301".encode() * 32768, 1 << 30), 1,
     NAME + "the text on standard input is larger than 16 MiB, more than huewright-cli reads\n",
     (16 << 20) + (1 << 20)),
]

# Typed at a terminal, which under Wine is the program's console window: the lines, each ended
# with Enter, then the end of the typing as the system has it: Ctrl+D at the start of a line,
# or Ctrl+Z and Enter. (name, arguments, lines, exit status, standard output, standard error)
TYPED = [
    ("two lines", RED_TO_BLUE, ["Grüße 😀", "ok"], 0,
     "[color=#E60000]G[/color][color=#CD0019]r[/color][color=#B40032]ü[/color]"
     "[color=#9B004B]ß[/color][color=#820064]e[/color][color=#69007D] [/color]"
     "[color=#500096]😀[/color][color=#3700AF]\n[/color][color=#1E00C8]o[/color]"
     "[color=#0500E1]k[/color]\n", ""),
]
END_OF_TYPING = b"\x1a\r" if EMULATOR else b"\x04"

LOCALES = [{"LC_ALL": "C"}, {"LANG": "tr_TR.ISO-8859-9", "LC_ALL": "tr_TR.ISO-8859-9"}]
if EMULATOR:
    # Wine takes the Windows code page from the locale: 1252 for C.UTF-8, 932 for Japanese,
    # where "Grüße" has no bytes at all. Both must be installed: Wine reads the command line
    # of a locale that is not as 7-bit ASCII (scripts/test-windows.sh makes ja_JP.UTF-8).
    LOCALES = [{"LANG": "C.UTF-8"}, {"LANG": "ja_JP.UTF-8"}]

failures = []


def check(name, condition, detail):
    if not condition:
        failures.append(f"{name}: {detail}")


def run(arguments, stdin, env, stdout=subprocess.PIPE):
    return subprocess.run([*COMMAND, *[os.fsencode(a) for a in arguments]],
                          input=stdin if stdin is not None else None,
                          stdin=subprocess.DEVNULL if stdin is None else None,
                          stdout=stdout, stderr=subprocess.PIPE, env=env, timeout=60)


def run_table(env, label):
    for name, arguments, stdin, status, out, err in TABLE:
        name = f"{label}: {name}"
        result = run(arguments, stdin, env)
        check(name, result.returncode == status, f"exit {result.returncode}, wanted {status}; "
              f"stderr {result.stderr!r}")
        if out is not None:
            check(name, result.stdout == out.encode(), f"stdout {result.stdout[:300]!r}")
        if err is not None:
            check(name, result.stderr == err.encode(), f"stderr {result.stderr!r}, wanted {err!r}")
        elif status != 0:
            lines = result.stderr.decode(errors="replace").split("\n")
            check(name, len(lines) == 2 and lines[0].startswith(NAME) and lines[1] == "",
                  f"stderr is not one line: {result.stderr!r}")
        for phrase in WINDOW_ONLY:
            check(name, phrase.encode() not in result.stderr,
                  f"stderr speaks of the window: {result.stderr!r}")
        if name.endswith("--help on stdout"):
            check(name, b"Usage: huewright-cli [OPTIONS] [--] [TEXT...]" in result.stdout,
                  f"help {result.stdout[:200]!r}")
        if name.endswith("99,999 characters and emoji"):
            check(name, result.stdout.count(b"[color=#") == 99_999, "not 99,999 tags")


def run_endless(env, label):
    for name, arguments, (_, chunk, limit), status, err, most in ENDLESS:
        name = f"{label}: {name}"
        process = subprocess.Popen([*COMMAND, *arguments], stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        written = 0

        def feed():
            nonlocal written
            try:
                while written < limit:
                    process.stdin.write(chunk)
                    written += len(chunk)
                process.stdin.close()
            except (BrokenPipeError, ValueError):
                pass

        feeder = threading.Thread(target=feed)
        feeder.start()
        # Not communicate(): it would close standard input under the feeder.
        out, error = process.stdout.read(), process.stderr.read()
        process.wait(timeout=120)
        feeder.join(timeout=120)
        check(name, process.returncode == status, f"exit {process.returncode}, wanted {status}")
        check(name, out == b"", f"stdout {out[:200]!r}")
        check(name, error == err.encode(), f"stderr {error!r}, wanted {err!r}")
        check(name, written <= most, f"{written} bytes were taken, more than {most}")


def run_typed(env, label):
    for name, arguments, lines, status, out, err in TYPED:
        name = f"{label}: typed: {name}"
        terminal, program_side = os.openpty()
        try:
            process = subprocess.Popen([*COMMAND, *arguments], stdin=program_side,
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
            # Wine reads its console from the terminal in raw mode once it has set it; keys
            # sent before would be the terminal's own cooked lines.
            deadline = time.monotonic() + 60
            while (EMULATOR and termios.tcgetattr(program_side)[3] & termios.ICANON and
                   time.monotonic() < deadline):
                time.sleep(0.05)
            for line in lines:
                os.write(terminal, line.encode() + b"\r")
            os.write(terminal, END_OF_TYPING)
            # A program that misses the end of the typing waits for ever: TimeoutExpired.
            result_out, result_err = process.communicate(timeout=60)
        finally:
            os.close(terminal)
            os.close(program_side)
        check(name, process.returncode == status, f"exit {process.returncode}, wanted {status}")
        check(name, result_out == out.encode(), f"stdout {result_out!r}")
        check(name, result_err == err.encode(), f"stderr {result_err!r}, wanted {err!r}")


def run_write_errors(env, label):
    with open("/dev/full", "wb") as full:
        for arguments in (["Hi"], ["--help"]):
            name = f"{label}: {' '.join(arguments)} > /dev/full"
            result = run(arguments, None, env, stdout=full)
            check(name, result.returncode == 1, f"exit {result.returncode}")
            check(name, result.stderr ==
                  (NAME + "cannot write to standard output: No space left on device\n").encode(),
                  f"stderr {result.stderr!r}")
    if EMULATOR:
        return  # a directory cannot be a Windows program's standard input
    name = f"{label}: standard input is a directory"
    directory = os.open("/", os.O_RDONLY)
    try:
        result = subprocess.run([PROGRAM], stdin=directory, capture_output=True, env=env, timeout=60)
    finally:
        os.close(directory)
    check(name, result.returncode == 1 and result.stdout == b"", f"exit {result.returncode}")
    check(name, result.stderr == (NAME + "cannot read standard input: Is a directory\n").encode(),
          f"stderr {result.stderr!r}")


# Only the path, the sanitizers' or Wine's settings and the locale under test reach the program.
BASE = {k: v for k, v in os.environ.items()
        if k in ("PATH", "HOME") or k.endswith("SAN_OPTIONS") or k.startswith("WINE")}

for locale in LOCALES:
    environment = {**BASE, **locale}
    label = ",".join(f"{k}={v}" for k, v in locale.items())
    run_table(environment, label)
    run_endless(environment, label)
    run_typed(environment, label)
    run_write_errors(environment, label)

for failure in failures:
    print("FAIL", failure)
cases = len(LOCALES) * (len(TABLE) + len(ENDLESS) + len(TYPED) + (2 if EMULATOR else 3))
print(f"{cases - len(failures)} of {cases} invocations as expected")
sys.exit(1 if failures else 0)
