#!/usr/bin/env python3
"""Mutation sampling: how many small faults do the tests of a module catch?

Takes a seeded, fixed sample of mutants from the Qt-free modules, builds each
one and runs that module's tests; prints the share of mutants the tests kill
per module and overall, and lists the survivors (file:line, the change) so a
person can judge whether each is harmless or shows a gap in the tests.

Kinds of mutant:
  cmp-negate   a comparison reversed      (== <-> !=, < <-> >=, > <-> <=)
  cmp-bound    a comparison loosened or tightened (< <-> <=, > <-> >=)
  const        an integer constant moved by one (first constant of a line)
  logic        && and || swapped
  stmt         a one-line statement removed (assignment, call, ++/--, break)
  return       a returned value replaced (true <-> false, else {}), or a
               bare "return;" removed

Only binary operators written with a space on both sides are touched (so
template brackets, shifts and rvalue references are left alone), only .cpp
files are mutated, and comments, strings and preprocessor lines are skipped.

How it runs: the tracked sources are copied into ONE mutation directory
(build-mut/tree, configured once in build-mut/tree/build, reused by every
run); the working tree itself is never modified. For each mutant the file is
changed in the copy, only the module's test targets are rebuilt, the module's
test programs run (stopping at the first failure, with a time limit of a few
times the clean run), and the file is restored. A mutant whose build fails is
counted apart, not as killed. A time-out counts as killed.

The sample is drawn from the sorted list of all candidate mutants of a module
with --seed, so two runs over the same sources compare mutant for mutant.
A first run takes 2 to 15 seconds a mutant on two shared cores (about 7 on
average), so the default sample (--count 80 per module, five modules, 400
mutants) fits in about an hour; a repeated run is faster, as the compiler
cache keeps the mutants' objects. Run it niced when others share the machine:

  nice -n 10 python3 scripts/mutate.py                      # all modules
  nice -n 10 python3 scripts/mutate.py --module calc --count 50 --seed 7
  python3 scripts/mutate.py --module codepage --list         # sample only
"""

import argparse
import fcntl
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# module -> (source globs, test targets). Files that include Qt (directly or
# through their own header) are dropped from the globs at run time, and so are
# the Qt-free files of Qt-side libraries (EXCLUDED).
EXCLUDED = {"src/platform/Dialogs.cpp"}
MODULES = {
    "platform": (["src/platform/*.cpp"], ["test_platform"]),
    "codepage": (["src/codepage/*.cpp"], ["test_codepage", "test_codepage_text"]),
    "calc": (["src/calc/*.cpp"], ["test_calc_core", "test_calc"]),
    "model": (["src/editor/model/*.cpp", "src/editor/view/*.cpp"],
              ["test_editor_model", "test_editor_keys"]),
    "highlight": (["src/syntax/*.cpp", "src/editor/highlight/*.cpp"],
                  ["test_editor_highlight", "test_editor_passes", "test_syntax"]),
}

MUT_DIR = ROOT / "build-mut"
TREE = MUT_DIR / "tree"
BUILD = TREE / "build"  # same depth as build/ in the worktree: ccache hits


def IsQtFile(path):
    for p in (path, path.with_suffix(".h")):
        if p.exists() and re.search(r"#\s*include\s*<Q", p.read_text(errors="replace")):
            return True
    return False


def ModuleFiles(name):
    globs, _ = MODULES[name]
    files = set()
    for g in globs:
        for p in ROOT.glob(g):
            if IsQtFile(p) or p.relative_to(ROOT).as_posix() in EXCLUDED:
                continue
            files.add(p.relative_to(ROOT).as_posix())
    return sorted(files)


def MaskCode(text):
    """The source with comments, string and character literals blanked
    (same length, newlines kept), so patterns only see code."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out[i:j] = " " * (j - i)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out[i:j] = [ch if ch == "\n" else " " for ch in text[i:j]]
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if not m:
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i)
            j = n if end < 0 else end + len(m.group(1)) + 2
            out[i:j] = [ch if ch == "\n" else " " for ch in text[i:j]]
            i = j
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum() \
                    and text[i - 1] in "0123456789abcdefABCDEF":
                i += 1  # digit separator
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out[i + 1:j - 1] = " " * max(0, j - 1 - (i + 1))
            i = j
        else:
            i += 1
    return "".join(out)


CMP = {"==": ("!=", None), "!=": ("==", None), "<": (">=", "<="), ">=": ("<", ">"),
       ">": ("<=", ">="), "<=": (">", "<")}
STMT = re.compile(r"^\s*(?:(?:\+\+|--)[\w.>\-\[\]]+|[\w:]+(?:(?:\.|->|::)\w+|\[[^\]]*\])*\s*"
                  r"(?:=|\+=|-=|\*=|/=|%=|\|=|&=|\^=|<<=|>>=|\(|\+\+|--)|break|continue).*;\s*$")
NOT_STMT = re.compile(r"^\s*(return|if|for|while|switch|case|default|else|do|using|typedef|"
                      r"namespace|template|static_assert|delete|goto|throw)\b")
INT = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.'])")


def Balanced(s):
    return s.count("(") == s.count(")") and s.count("{") == s.count("}")


def Candidates(relpath):
    """All mutants of one file: (file, line, kind, old line, new line)."""
    text = (ROOT / relpath).read_text(errors="replace")
    lines = text.split("\n")
    masked = MaskCode(text).split("\n")
    result = []
    prevCode = ";"
    for no, (line, code) in enumerate(zip(lines, masked), start=1):
        stripped = code.strip()
        if not stripped:
            continue
        if stripped.startswith("#") or "static_assert" in code or "[[" in code:
            prevCode = ";"
            continue

        def Add(kind, start, end, new):
            result.append((relpath, no, kind, line, line[:start] + new + line[end:]))

        for m in re.finditer(r"(?<=\S) (==|!=|<=|>=|<|>) (?=\S)", code):
            neg, bound = CMP[m.group(1)]
            Add("cmp-negate", m.start(1), m.end(1), neg)
            if bound:
                Add("cmp-bound", m.start(1), m.end(1), bound)
        for m in re.finditer(r"(?<=\S) (&&|\|\|) (?=\S)", code):
            Add("logic", m.start(1), m.end(1), "||" if m.group(1) == "&&" else "&&")
        m = INT.search(code)
        if m and not re.match(r"^\s*(enum|template)\b", code):
            digits = m.group(1)
            value = int(digits, 0) if not (len(digits) > 1 and digits[0] == "0" and digits[1].isdigit()) else int(digits, 8)
            moved = value + 1 if (value == 0 or no % 2 == 0) else value - 1
            shown = f"0x{moved:X}" if digits[:2].lower() == "0x" else str(moved)
            Add("const", m.start(1), m.end(1), shown)
        startsStatement = prevCode.endswith((";", "{", "}", ":", ")")) or prevCode == "else"
        indent = line[:len(line) - len(line.lstrip())]
        if startsStatement and Balanced(code):
            rm = re.match(r"^\s*return\b\s*(.*);\s*$", code)
            if rm:
                value = line[line.index("return") + 6:line.rindex(";")].strip()
                if not value:
                    result.append((relpath, no, "return", line, indent + "(void)0;"))
                elif value in ("true", "false"):
                    result.append((relpath, no, "return", line,
                                   indent + "return " + ("false" if value == "true" else "true") + ";"))
                elif value not in ("{}", "0", "nullptr", "std::nullopt", "*this"):
                    result.append((relpath, no, "return", line, indent + "return {};"))
            elif STMT.match(code) and not NOT_STMT.match(code):
                result.append((relpath, no, "stmt", line, indent + "(void)0;"))
        prevCode = stripped
    return result


def Sample(module, seed, count):
    cands = []
    for f in ModuleFiles(module):
        cands.extend(Candidates(f))
    cands.sort(key=lambda c: (c[0], c[1], c[2], c[4]))
    rng = random.Random(f"{seed}:{module}")
    picked = rng.sample(cands, min(count, len(cands)))
    picked.sort(key=lambda c: (c[0], c[1], c[2], c[4]))
    return picked, len(cands)


def Run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def SyncTree():
    """Copy changed tracked files of the working tree into the mutation tree."""
    files = Run(["git", "-C", str(ROOT), "ls-files", "-co", "--exclude-standard"]).stdout.split("\n")
    for rel in filter(None, files):
        src, dst = ROOT / rel, TREE / rel
        if not src.is_file():
            continue
        if dst.exists() and dst.read_bytes() == src.read_bytes():
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        # A fresh time stamp: a file put back after an interrupted run must
        # look newer than the mutant's object, or the build keeps the mutant.
        shutil.copy(src, dst)


def Configure():
    if (BUILD / "CMakeCache.txt").exists():
        return
    r = Run(["cmake", "-S", str(TREE), "-B", str(BUILD), "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
             "-DLORVANE_BENCH=OFF", "-DLORVANE_FUZZ=OFF", "-DLORVANE_SANITIZE=OFF"])
    if r.returncode:
        sys.exit("configure failed:\n" + r.stdout[-4000:])


def Build(targets, jobs):
    return Run(["cmake", "--build", str(BUILD), "--parallel", str(jobs), "--target", *targets]).returncode == 0


def TestBinary(target):
    hits = [p for p in (BUILD / "tests").rglob(target) if p.is_file() and os.access(p, os.X_OK)]
    if not hits:
        sys.exit(f"test program {target} not found under {BUILD}")
    return hits[0]


def RunTests(binaries, limit):
    """True when every test program passes; False on failure or time-out."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    env.pop("LORVANE_DATA_DIR", None)
    for b in binaries:
        p = subprocess.Popen([str(b), "--gtest_fail_fast", "--gtest_brief=1"], cwd=b.parent, env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            if p.wait(timeout=limit) != 0:
                return False
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            return False
    return True


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--seed", type=int, default=20)
    ap.add_argument("--count", type=int, default=80, help="mutants per module (default 80)")
    ap.add_argument("--module", action="append", choices=sorted(MODULES),
                    help="module to sample (repeatable; default all)")
    ap.add_argument("--jobs", type=int, default=2, help="build parallelism (default 2)")
    ap.add_argument("--list", action="store_true", help="print the sample and stop")
    args = ap.parse_args()
    modules = args.module or list(MODULES)

    samples = {}
    for m in modules:
        samples[m], total = Sample(m, args.seed, args.count)
        print(f"{m}: {len(samples[m])} of {total} candidate mutants (seed {args.seed})", flush=True)
    if args.list:
        for m in modules:
            for f, no, kind, old, new in samples[m]:
                print(f"  {m} {f}:{no} {kind}: {old.strip()}  ->  {new.strip()}")
        return

    MUT_DIR.mkdir(exist_ok=True)
    # One run at a time owns the mutation tree; a run cut short leaves at
    # most one changed file there, which the next run's copy puts right.
    lock = open(MUT_DIR / "lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit(f"another run is using {MUT_DIR}")
    SyncTree()
    Configure()
    results = {}
    for m in modules:
        targets = MODULES[m][1]
        started = time.monotonic()
        if not Build(targets, args.jobs):
            sys.exit(f"{m}: the unmutated sources do not build in {BUILD}")
        binaries = [TestBinary(t) for t in targets]
        started = time.monotonic()
        if not RunTests(binaries, 1200):
            sys.exit(f"{m}: the tests fail without any mutant")
        limit = max(20.0, 4 * (time.monotonic() - started) + 10)
        rows = []
        for i, (f, no, kind, old, new) in enumerate(samples[m], start=1):
            path = TREE / f
            original = path.read_text()
            lines = original.split("\n")
            assert lines[no - 1] == old, f"{f}:{no} changed under the sample"
            lines[no - 1] = new
            path.write_text("\n".join(lines))
            t0 = time.monotonic()
            try:
                if not Build(targets, args.jobs):
                    outcome = "no-build"
                else:
                    outcome = "survived" if RunTests(binaries, limit) else "killed"
            finally:
                path.write_text(original)
            rows.append((f, no, kind, old, new, outcome))
            print(f"[{m} {i}/{len(samples[m])}] {outcome:8} {f}:{no} {kind} "
                  f"({time.monotonic() - t0:.0f} s)", file=sys.stderr, flush=True)
        results[m] = rows
        Build(targets, args.jobs)  # leave the tree built from clean sources

    print()
    allKilled = allBuilt = 0
    for m in modules:
        rows = results[m]
        built = [r for r in rows if r[5] != "no-build"]
        killed = sum(r[5] == "killed" for r in built)
        allKilled += killed
        allBuilt += len(built)
        share = 100.0 * killed / len(built) if built else 0.0
        print(f"{m:10} killed {killed:3} of {len(built):3} built mutants  {share:5.1f}%  "
              f"(not built: {len(rows) - len(built)})")
    share = 100.0 * allKilled / allBuilt if allBuilt else 0.0
    print(f"{'overall':10} killed {allKilled:3} of {allBuilt:3} built mutants  {share:5.1f}%")
    print("\nSurvivors:")
    for m in modules:
        for f, no, kind, old, new, outcome in results[m]:
            if outcome == "survived":
                print(f"  {f}:{no} [{kind}]\n      {old.strip()}\n   -> {new.strip()}")


if __name__ == "__main__":
    main()
