#!/usr/bin/env python3
"""Runs the case folders of tests/cases/ against a vandrel-cli.

    run_cases.py --cli PATH [--cases FOLDER] [CASE ...]

A case folder holds the files a run starts with (models, side files,
Vandrel.ini), a `script` of vandrel-cli commands, an optional `args` file (extra
arguments such as --keep-going), an `expect` file and an optional `expected/`
folder of files to compare with. Everything but script, args, expect and
expected/ is copied into a fresh working folder (a link to a file outside the
case, such as a sample of examples/, as a copy of that file), where vandrel-cli runs the
script. Each line of `expect` is checked; `#` starts a comment:

    exit == 2
    dump[-1].files[0].rows == ["1", "20"]         JSON path == JSON value
    len(dump[0].files[1].lines) == 57
    dump[1].files[0] == dump[0].files[0]          the same value in two places
    dump[1].files[0].lines != dump[0].files[0].lines
    stdout == ["1", "10"]                          all printed lines
    stdout[3] == " Joints: 1"                      one printed line
    stderr[0] startswith "vandrel-cli: line 4: "
    stdout contains "select N ROW"                 some printed line holds the text
    file a.csv == "line 1\\r\\nline 2\\r\\n"       whole file; code points 0..255 are its bytes
    file a.csv line 4 == "3;5;walk;1;1"           the 4th CR LF line
    file walk.txt same expected/walk.txt           byte for byte as a file of the case
    file Vandrel.ini absent

A path starts with dump[N] (N counts the dumps, negative from the end) and goes
on with .name, .7 (a key or list index), [N] or ["key"].

`run SCRIPT [ARGS...]` starts another run in the same working folder, with the
case's file SCRIPT or, when SCRIPT is a JSON string, with that text as the
script; the lines after it check that run. Assertions before the first `run`
check the run of `script` and `args`, which starts at the first of them (a case
may have no `script`). `put NAME TEXT` writes the JSON string TEXT into the
working folder's file NAME (a JSON string too) before the next run; in both,
code points 0..255 stand for bytes.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
NOT_COPIED = {"script", "args", "expect", "expected"}
SEGMENT = re.compile(r'\.([A-Za-z_][A-Za-z0-9_]*)|\.(-?\d+)|\[(-?\d+)\]|\["([^"]*)"\]')


class Run:
    def __init__(self, cli, script_path, args, work):
        p = subprocess.run(cli + args + [script_path], cwd=work, capture_output=True, timeout=300)
        self.exit = p.returncode
        self.out = p.stdout.decode("utf-8").splitlines()
        self.err = p.stderr.decode("utf-8").splitlines()
        self.dumps = [json.loads(line) for line in self.out if line.startswith("{")]


def walk(value, rest, where):
    pos = 0
    while pos < len(rest):
        m = SEGMENT.match(rest, pos)
        if not m:
            raise ValueError("bad path %r at %r" % (where, rest[pos:]))
        name, num, idx, key = m.groups()
        if name is not None or key is not None:
            value = value[name if name is not None else key]
        else:
            k = int(num if num is not None else idx)
            value = value[str(k)] if isinstance(value, dict) else value[k]
        pos = m.end()
    return value


def lookup(path, run):
    m = re.match(r"(dump|stdout|stderr)(?:\[(-?\d+)\](.*))?$", path)
    if not m:
        raise ValueError("bad path %r" % path)
    base = {"dump": run.dumps, "stdout": run.out, "stderr": run.err}[m.group(1)]
    return base if m.group(2) is None else walk(base[int(m.group(2))], m.group(3), path)


def check(line, run, work, case):
    """None when the assertion holds, else what was found."""
    m = re.match(r"exit == (\d+)$", line)
    if m:
        return None if run.exit == int(m.group(1)) else "exit %s" % run.exit
    m = re.match(r"file (\S+) absent$", line)
    if m:
        return "present" if os.path.lexists(os.path.join(work, m.group(1))) else None
    m = re.match(r"file (\S+)(?: line (\d+))? (==|same) (.*)$", line)
    if m:
        path = os.path.join(work, m.group(1))
        if not os.path.isfile(path):
            return "no such file"
        with open(path, "rb") as f:
            data = f.read()
        if m.group(3) == "same":
            with open(os.path.join(case, m.group(4)), "rb") as f:
                want = f.read()
        else:
            want = json.loads(m.group(4)).encode("latin-1")
        if m.group(2):
            lines, k = data[:-2 if data.endswith(b"\r\n") else None].split(b"\r\n"), int(m.group(2))
            got = lines[k - 1] if k <= len(lines) else None
            return None if got == want else "line %s is %r" % (k, got)
        return None if data == want else "file is %r" % data[:600]
    m = re.match(r"(\S+) (startswith|contains) (.*)$", line)
    if m:
        got, want = lookup(m.group(1), run), json.loads(m.group(3))
        if m.group(2) == "startswith":
            ok = isinstance(got, str) and got.startswith(want)
        else:
            ok = any(want in text for text in ([got] if isinstance(got, str) else got))
        return None if ok else "got %s" % json.dumps(got, ensure_ascii=False)[:800]
    m = re.match(r"(len\()?(\S+?)\)? (==|!=) (.*)$", line)
    if m:
        got = lookup(m.group(2), run)
        if m.group(1):
            got = len(got)
        value = m.group(4)
        want = lookup(value, run) if re.match(r"(dump|stdout|stderr)\[", value) else json.loads(value)
        if (got == want) == (m.group(3) == "=="):
            return None
        return "got %s" % json.dumps(got, ensure_ascii=False)
    raise ValueError("cannot read the assertion")


def run_case(folder, cli):
    tmp = tempfile.mkdtemp(prefix="vandrel-case-")
    work = os.path.join(tmp, "work")
    try:
        shutil.copytree(folder, work, symlinks=True,
                        ignore=lambda d, names: NOT_COPIED & set(names) if d == folder else [])
        # A link to a file outside the case (a sample of examples/) becomes a copy of it.
        for name in os.listdir(work):
            target = os.path.realpath(os.path.join(folder, name))
            if os.path.islink(os.path.join(work, name)) and not target.startswith(os.path.realpath(folder) + os.sep):
                os.remove(os.path.join(work, name))
                shutil.copyfile(target, os.path.join(work, name))
        failures, run = [], None
        with open(os.path.join(folder, "expect"), encoding="utf-8") as f:
            expect = [(k, raw.strip()) for k, raw in enumerate(f, 1)]
        for k, line in expect:
            if not line or line.startswith("#"):
                continue
            try:
                if line.startswith("put "):
                    name, end = json.JSONDecoder().raw_decode(line[4:])
                    with open(os.path.join(os.fsencode(work), name.encode("latin-1")), "wb") as f:
                        f.write(json.loads(line[4 + end:]).encode("latin-1"))
                    continue
                if line.startswith("run "):
                    words = line[4:].strip()
                    if words.startswith('"'):
                        text, end = json.JSONDecoder().raw_decode(words)
                        script, args = os.path.join(tmp, "inline-%d" % k), words[end:].split()
                        with open(script, "wb") as s:
                            s.write(text.encode("latin-1"))
                    else:
                        name, *args = words.split()
                        script = os.path.join(folder, name)
                    run = Run(cli, script, args, work)
                    continue
                if run is None:  # the case's own script runs at the first assertion
                    args_file = os.path.join(folder, "args")
                    args = open(args_file).read().split() if os.path.exists(args_file) else []
                    run = Run(cli, os.path.join(folder, "script"), args, work)
                problem = check(line, run, work, folder)
            except Exception as e:  # a broken assertion or a value that is not there
                problem = "%s: %s" % (type(e).__name__, e)
            if problem:
                failures.append("  expect:%d: %s\n      -> %s" % (k, line[:200], problem[:800]))
        return failures, run
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--cli", required=True, help="the vandrel-cli to run")
    ap.add_argument("--cases", default=os.path.join(HERE, "cases"), help="the folder of case folders")
    ap.add_argument("names", nargs="*", help="case folders to run (all when none)")
    args = ap.parse_args(argv)
    cli = [os.path.abspath(args.cli)]
    names = args.names or sorted(n for n in os.listdir(args.cases) if os.path.isdir(os.path.join(args.cases, n)))
    failed = 0
    for name in names:
        failures, run = run_case(os.path.join(args.cases, name), cli)
        if failures:
            failed += 1
            print("FAIL %s\n%s" % (name, "\n".join(failures)))
            if run and run.err:
                print("  stderr: " + " | ".join(run.err[:5]))
        else:
            print("ok   %s" % name)
    if len(names) > 1:
        print("%d cases passed, %d failed" % (len(names) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
