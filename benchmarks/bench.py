#!/usr/bin/env python3
"""The figures of scripts/bench, taken under Wine: first frame and peak memory
(launch-probe.exe, launcher against minimal-window.exe in pairs, ten a run,
which of the two starts first taking turns), line throughput (hyperfine times
whole launcher processes fed by demo-updater.exe flood N and flood 0;
channel-throughput.exe gives the post floor), idle CPU (the launcher's threads
in /proc) and the stripped size. Prints a table of medians per regime and
writes them as JSON. scripts/bench sets up Wine and calls it.

Two regimes: quiet, and beside one busy process (a shell spinning in a loop).
Under Wine a cross-thread wakeup is several times cheaper while another
process keeps a core busy, so the launcher's own work per line shows there
instead of hiding behind the wakeup; real Windows wakes threads in a few
microseconds, closer to the busy regime."""
import argparse
import json
import os
import shlex
import statistics
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

MB = 1024 * 1024


def winpath(path):
    return "Z:" + str(path).replace("/", "\\")


def wine(bin_dir, program, *args):
    """One run of a program of the build; its output, or None when it fails."""
    # Output goes to files, not pipes. The desktop's explorer.exe is started
    # by the first program that finds none and inherits that program's
    # output; on pipes it ends with that start (seen under Wine 8), so every
    # later start made a new desktop too: about 100 ms more a start, more for
    # a program whose two threads each start one. On files it lives on while
    # programs follow each other, as it does for a user.
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        done = subprocess.run(["wine", str(bin_dir / program), *args], stdin=subprocess.DEVNULL, stdout=out,
                              stderr=err)
        out.seek(0)
        err.seek(0)
        sys.stderr.write(err.read())
        return out.read() if done.returncode == 0 else None


# First-frame pairs (minimal window, launcher) taken in each run.
FRAME_PAIRS = 10


def first_frame(bin_dir, program):
    """(milliseconds, peak MB) of one start, or (None, None)."""
    out = wine(bin_dir, "launch-probe.exe", program)
    if out is None:
        return None, None
    ms, peak = out.split()
    return float(ms), float(peak) / MB


def cancel_ms(bin_dir):
    """Milliseconds from Escape to the updater's read of "cancel", or None."""
    out = wine(bin_dir, "launch-probe.exe", "--cancel")
    return float(out) if out else None


def cpu_seconds(pid):
    # Under Wine GetProcessTimes of another process gives zeros; the run
    # time of every thread (nanoseconds) is in Linux's schedstat.
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        total += int((task / "schedstat").read_text().split()[0])
    return total / 1e9


def idle_cpu(bin_dir, settle, seconds):
    """CPU seconds of a settled launcher (bar on its target, stall hint up)
    over `seconds`. Its updater sends one line, then "done" once the
    measurement is over, so the launcher closes by itself."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as script:
        script.write(f"progress 0.4 DOWNLOAD Fetching files\nsleep {(settle + seconds + 1) * 1000}\ndone\n")
    updater = f'"{winpath(bin_dir / "demo-updater.exe")}" --script "{winpath(script.name)}"'
    # wine execs into the program, so the child's pid is the launcher's.
    launcher = subprocess.Popen(["wine", str(bin_dir / "tarrow-launcher.exe"), "--updater-cmd", updater],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    try:
        time.sleep(settle)
        before = cpu_seconds(launcher.pid)
        time.sleep(seconds)
        used = cpu_seconds(launcher.pid) - before
        return used if launcher.wait(timeout=60) == 0 else None
    except (OSError, subprocess.TimeoutExpired):
        launcher.kill()
        return None
    finally:
        os.unlink(script.name)


def channel_floor(bin_dir, lines):
    """Messages per second of a bare PostMessageW/GetMessageW hand-over."""
    out = wine(bin_dir, "channel-throughput.exe", "--floor", str(lines))
    return 1e6 / float(out) if out else None


def pipe_alone(bin_dir, lines):
    """Lines per second of demo-updater.exe flood on a pipe that is only read."""
    out = wine(bin_dir, "channel-throughput.exe", "--pipe-alone", str(lines))
    return 1e6 / float(out) if out else None


# The two updaters of the flood: one WriteFile per line, and the same lines
# written in 4 KB blocks (as a runtime that buffers a piped output does).
UPDATERS = {"lines": ("demo-updater.exe", "flood"), "blocks": ("channel-throughput.exe", "--write-blocks"),
            "bytes": ("demo-updater.exe", "flood-bytes")}


def flood_lines_per_second(bin_dir, lines, runs, out_dir, writer="lines"):
    """`flood N` minus `flood 0`, process start to exit: the start, the close
    delay after "done" and the teardown cancel out."""
    program, option = UPDATERS[writer]
    def command(n):
        updater = f'"{winpath(bin_dir / program)}" {option} {n}'
        return shlex.join(["wine", str(bin_dir / "tarrow-launcher.exe"), "--updater-cmd", updater])
    export = out_dir / f"flood-{writer}.json"
    done = subprocess.run(["hyperfine", "--style", "basic", "--warmup", "1", "--runs", str(runs),
                           "--export-json", str(export), command(0), command(lines)], stdout=sys.stderr)
    if done.returncode != 0:
        return None
    empty, flooded = (r["median"] for r in json.loads(export.read_text())["results"])
    return lines / (flooded - empty) if flooded > empty else None


def task_seconds(pid):
    """CPU seconds of each thread of a process, by thread id; {} once it is gone."""
    seconds = {}
    try:
        for task in Path(f"/proc/{pid}/task").iterdir():
            seconds[int(task.name)] = int((task / "schedstat").read_text().split()[0]) / 1e9
    except OSError:
        pass
    return seconds


def server_seconds():
    """CPU seconds of the running wineservers (user and system), summed."""
    total = 0.0
    for proc in Path("/proc").iterdir():
        try:
            if proc.name.isdigit() and (proc / "comm").read_text().startswith("wineserver"):
                fields = (proc / "stat").read_text().rsplit(")", 1)[1].split()
                total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        except OSError:
            pass
    return total


def flood_cpu(bin_dir, lines, writer):
    """(window thread, the launcher's other threads, wineserver) CPU seconds
    of one whole launcher run under a flood of `lines`. The threads are read
    every 20 ms until the process ends, so a thread that ends early (the
    reader) counts with its last reading."""
    program, option = UPDATERS[writer]
    updater = f'"{winpath(bin_dir / program)}" {option} {lines}'
    server = server_seconds()
    launcher = subprocess.Popen(["wine", str(bin_dir / "tarrow-launcher.exe"), "--updater-cmd", updater],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    seen = {}
    while launcher.poll() is None:
        seen.update(task_seconds(launcher.pid))
        time.sleep(0.02)
    window = seen.pop(launcher.pid, 0.0)  # wine execs into the program: its first thread is the window's
    return window, sum(seen.values()), server_seconds() - server


def line_profile(bin_dir, lines, runs):
    """Where one flooded line's CPU goes in the whole launcher: each figure
    of `flood N` minus `flood 0`, per line, the median of `runs`."""
    print(f"CPU per flooded line in the whole launcher ({lines} lines, median of {runs} runs, microseconds)")
    print(f"{'updater':10}{'window thread':>16}{'other threads':>16}{'wineserver':>14}")
    for writer in UPDATERS:
        samples = []
        for _ in range(runs):
            empty, flooded = flood_cpu(bin_dir, 0, writer), flood_cpu(bin_dir, lines, writer)
            samples.append([(f - e) * 1e6 / lines for f, e in zip(flooded, empty)])
        print(f"{writer:10}" + "".join(f"{median([s[i] for s in samples]):{w}.1f}" for i, w in ((0, 16), (1, 16), (2, 14))))
    return 0


def paired(values, floors, compare):
    return median([compare(v, f) for v, f in zip(values, floors) if v is not None and f is not None])


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def figure(key, label, unit, digits, value, floor=None, compared=None, ratio=True, aim=None, bound="-"):
    """One row; `aim` is ("<=" or ">=", number) on the comparison, or on the value without a floor;
    `bound` names the floor that holds the figure back."""
    return dict(key=key, label=label, unit=unit, digits=digits, value=value, floor=floor, compared=compared,
                ratio=ratio, aim=aim, bound=bound)


def slower_floor(*floors):
    """The name of the slowest of (name, lines per second) floors: a flood can go no faster."""
    known = [(rate, name) for name, rate in floors if rate]
    return min(known)[1] if known else "-"


def stripped_size(program):
    """Bytes of the program as the release package ships it: stripped."""
    with tempfile.TemporaryDirectory() as folder:
        copy = Path(folder) / program.name
        subprocess.run(["x86_64-w64-mingw32-strip", "-o", str(copy), str(program)], check=True)
        return copy.stat().st_size


def met(f):
    """Whether the figure meets its aim; None without an aim or a number."""
    measured = f["compared"] if f["floor"] is not None and not f.get("aimOnValue") else f["value"]
    if not f["aim"] or measured is None:
        return None
    op, bound = f["aim"]
    return measured <= bound if op == "<=" else measured >= bound


def cells(f):
    def amount(x, sign=""):
        return "-" if x is None else f"{x:{sign}.{f['digits']}f} {f['unit']}"
    def compared(x):
        if x is None:
            return "-"
        return f"x{x:.2f}" if f["ratio"] else amount(x, "+")
    aim = "-"
    if f["aim"]:
        op, bound = f["aim"]
        aim = f"{op} " + (compared(bound) if f["floor"] is not None and not f.get("aimOnValue") else amount(bound))
    return [f["label"], amount(f["value"]), amount(f["floor"]), compared(f["compared"]), aim,
            {None: "-", True: "yes", False: "NO"}[met(f)], f["bound"]]


def measure(a):
    """The rows of one regime's table."""
    only = a.only.split(",")

    frames, idle, floors, pipes, cancels = [], [], [], [], []
    # First frame and memory are taken of the programs as the package ships
    # them, stripped: under Wine an unstripped image's debug sections count
    # in its working set (about 0.4 MB for the launcher).
    holder = tempfile.TemporaryDirectory(prefix="tarrow-bench-")  # removed at exit
    shipped = Path(holder.name)
    for name in ("launch-probe.exe", "minimal-window.exe", "tarrow-launcher.exe"):
        subprocess.run(["x86_64-w64-mingw32-strip", "-o", str(shipped / name), str(a.bin / name)], check=True)
    branded = []
    if a.branded:
        # Beside the probe, under a name of its own; branded from a stripped
        # launcher, as a package brands the stripped one.
        shutil.copyfile(a.branded, shipped / "branded-launcher.exe")
    if "first-frame" in only:  # not counted: the first start after a pause pays for cold caches
        first_frame(shipped, "minimal-window.exe")
        first_frame(shipped, "tarrow-launcher.exe")
    for run in range(1, a.runs + 1):
        print(f"bench: run {run} of {a.runs}", file=sys.stderr)
        if "first-frame" in only:
            # Ten pairs a run, the program started first taking turns: one
            # start's figure spreads by a third either way, and the start
            # right after another program's differs from the one after a pause.
            # With three, the median of a sitting's fifteen pairs moved by a
            # tenth between sittings of one build.
            for pair in range(FRAME_PAIRS):
                if pair % 2 == 0:
                    minimal = first_frame(shipped, "minimal-window.exe")
                    launcher = first_frame(shipped, "tarrow-launcher.exe")
                else:
                    launcher = first_frame(shipped, "tarrow-launcher.exe")
                    minimal = first_frame(shipped, "minimal-window.exe")
                frames.append((minimal, launcher))
            if a.branded:
                branded.append((frames[-1][1], first_frame(shipped, "branded-launcher.exe")))
        if "throughput" in only:
            floors.append(channel_floor(a.bin, a.lines))
            pipes.append(pipe_alone(a.bin, a.lines))
        if "idle" in only:
            idle.append(idle_cpu(a.bin, a.settle, a.idle))
        if "cancel" in only:
            cancels.append(cancel_ms(a.bin))

    rows = []
    if frames:
        minimal_ms, launcher_ms = [m[0] for m, _ in frames], [l[0] for _, l in frames]
        rows.append(figure("firstFrame", "First frame", "ms", 1, median(launcher_ms), median(minimal_ms),
                           paired(launcher_ms, minimal_ms, lambda v, f: v / f), aim=("<=", 1.25),
                           bound="minimal window"))
    if "throughput" in only:
        # A write per line: against the same updater's pipe alone (the window
        # and the channel add at most a quarter to what its writes cost).
        lines, pipe = flood_lines_per_second(a.bin, a.lines, a.runs, a.out), median(pipes)
        floor = median(floors)
        rows.append(figure("lineThroughput", "Flood, line writes", "lines/s", 0, lines, pipe,
                           lines / pipe if lines and pipe else None, aim=(">=", 0.80),
                           bound=slower_floor(("pipe alone", pipe), ("post floor", floor))))
        # The same flood as objects with byte counts on every line: against the plain one.
        counted = flood_lines_per_second(a.bin, a.lines, a.runs, a.out, "bytes")
        rows.append(figure("countedThroughput", "Flood, with counts", "lines/s", 0, counted, lines,
                           counted / lines if counted and lines else None, aim=(">=", 0.90),
                           bound="plain line writes"))
        # 4 KB blocks: the pipe costs little (about a microsecond a line); against the post floor.
        blocks = flood_lines_per_second(a.bin, a.lines, a.runs, a.out, "blocks")
        rows.append(figure("blockThroughput", "Flood, 4 KB blocks", "lines/s", 0, blocks, floor,
                           blocks / floor if blocks and floor else None, aim=(">=", 0.85), bound="post floor"))
    if cancels:
        rows.append(figure("cancelLatency", "Escape to updater", "ms", 1, median(cancels), aim=("<=", 100.0)))
    if idle:
        rows.append(figure("idleCpu", f"Idle CPU / {a.idle} s", "s", 3, median(idle), aim=("<=", 0.050)))
    if frames:
        minimal_mb, launcher_mb = [m[1] for m, _ in frames], [l[1] for _, l in frames]
        rows.append(figure("peakWorkingSet", "Peak memory", "MB", 1, median(launcher_mb), median(minimal_mb),
                           paired(launcher_mb, minimal_mb, lambda v, f: v - f), ratio=False, aim=("<=", 5.0),
                           bound="minimal window"))
    if branded:
        # The same run's unbranded launcher is the floor: a brand costs at most 5 %.
        plain_ms, brand_ms = [p[0] for p, _ in branded], [b[0] for _, b in branded]
        rows.append(figure("brandedFirstFrame", "Branded first frame", "ms", 1, median(brand_ms), median(plain_ms),
                           paired(brand_ms, plain_ms, lambda v, f: v / f), aim=("<=", 1.05), bound="unbranded"))
        plain_mb, brand_mb = [p[1] for p, _ in branded], [b[1] for _, b in branded]
        rows.append(figure("brandedPeakWorkingSet", "Branded peak memory", "MB", 1, median(brand_mb),
                           median(plain_mb), paired(brand_mb, plain_mb, lambda v, f: v / f), aim=("<=", 1.05),
                           bound="unbranded"))
    sizes = [stripped_size(a.bin / name) for name in ("tarrow-launcher.exe", "minimal-window.exe")]
    rows.append(figure("size", "Packaged size", "bytes", 0, sizes[0], sizes[1], sizes[0] - sizes[1], ratio=False,
                       bound="minimal window, stripped"))
    rows[-1]["aim"], rows[-1]["aimOnValue"] = ("<=", 800000), True
    return rows


def print_table(title, runs, machine, rows):
    print(f"Tarrow Launcher benchmarks, {title}, median of {runs} runs")
    print(f"Machine: {machine}\n")
    for line in [["Figure", "Launcher", "Floor", "Launcher/floor", "Aim", "Met", "Bound by"]] + [cells(f) for f in rows]:
        print("".join(cell.ljust(width) for cell, width in zip(line, (20, 18, 18, 16, 16, 5, 0))))
    print(f"First frame and peak memory: the median of the comparisons made within each pair ({FRAME_PAIRS} a run);"
          " the floods: the medians' ratio (line writes against demo-updater's pipe alone,"
          " 4 KB blocks against the post floor, byte counts against the plain line writes). Bound by: the floor the figure is held to and, for the"
          " floods, the slower of the writer's pipe alone and the post floor, which no reader can beat.\n")


class BusyProcess:
    """One shell spinning in a loop beside the measurements, for the busy regime."""

    def __enter__(self):
        self.process = subprocess.Popen(["sh", "-c", "while :; do :; done"])
        return self

    def __exit__(self, *_):
        self.process.kill()
        self.process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--lines", type=int, default=100000)
    parser.add_argument("--settle", type=int, default=8, help="seconds before the idle measurement")
    parser.add_argument("--idle", type=int, default=10, help="seconds of the idle measurement")
    parser.add_argument("--only", default="first-frame,throughput,idle,cancel")
    parser.add_argument("--regimes", default="quiet,busy",
                        help="quiet, busy (beside one busy process) or both, comma-separated")
    parser.add_argument("--machine", default="")
    parser.add_argument("--line-profile", action="store_true", help="only the CPU per flooded line")
    parser.add_argument("--branded", type=Path,
                        help="a stripped, branded tarrow-launcher.exe: its first frame and memory too")
    a = parser.parse_args()
    regimes = a.regimes.split(",")
    if not regimes or any(r not in ("quiet", "busy") for r in regimes):
        parser.error("--regimes takes quiet, busy or quiet,busy")
    titles = {"quiet": "quiet", "busy": "beside one busy process"}
    report = {"machine": a.machine, "runs": a.runs, "regimes": {}}
    for regime in regimes:
        if regime == "busy":
            with BusyProcess():
                rows = line_profile(a.bin, a.lines, a.runs) if a.line_profile else measure(a)
        else:
            rows = line_profile(a.bin, a.lines, a.runs) if a.line_profile else measure(a)
        if a.line_profile:
            continue
        print_table(titles[regime], a.runs, a.machine, rows)
        report["regimes"][regime] = {f.pop("key"): dict(f, met=met(f)) for f in rows}
    if a.line_profile:
        return 0
    (a.out / "bench.json").write_text(json.dumps(report, indent=1) + "\n")
    complete = all(f["value"] is not None for figures in report["regimes"].values() for f in figures.values())
    return 0 if complete else 1


if __name__ == "__main__":
    sys.exit(main())
