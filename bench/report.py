#!/usr/bin/env python3
"""Turns the benchmark's hyperfine and memory results into the table of docs/performance.md.

usage: report.py RESULTS_DIR [DOC]  (prints the Markdown, or puts it into DOC between the
lines "<!-- results -->" and "<!-- end of results -->"; the ratios also go to stderr)
Each RESULTS_DIR/<job>.json is one hyperfine run: Pointex first, then its peers.
RESULTS_DIR/memory.txt has lines "label<TAB>kilobytes"; RESULTS_DIR/facts.txt the machine facts.
RESULTS_DIR/in-process.txt has lines "job<TAB>construct X ms, job Y ms, total Z ms, peak P KB"
from the Windows build's own clock; RESULTS_DIR/blackbox.txt lines "figure<TAB>median<TAB>runs..."
from driving the real program.
"""
import json
import pathlib
import re
import statistics
import sys

# job file, what it measures, target ratio to the peer named (None: for information only)
JOBS = [
    ("count", "Construct the library (list and count), 200 MB", "wc -l", 1.25),
    ("search-i", "Search all categories, case ignored, 200 MB", "rg -j1", 1.0),
    ("search", "Search all categories, case kept, 200 MB", "rg -j1", 1.0),
    ("last", "Last joke of the largest category (4 MB)", "wc -l", 1.25),
    ("line", "Search a 256 MB file that is one line", None, None),
    ("witz", "`witz suche`, case kept, 200 MB, every hit's line printed", "rg -j1", 1.0),
    ("wine", "Windows build under Wine (information only)", None, None),
]
BEGIN = "<!-- results -->"
END = "<!-- end of results -->"


def load(path):
    results = json.loads(path.read_text())["results"]
    return [(r["command"], r["median"] * 1000, r["stddev"] * 1000, r["user"] * 1000,
             r["system"] * 1000) for r in results]


def short(command):
    command = command.split(" Witze/", 1)[0]
    return command.replace(str(pathlib.Path.cwd()) + "/", "")


def peer_median(folder, job, peer):
    """The median of the first command of a hyperfine run that starts with peer."""
    path = folder / f"{job}.json"
    if not path.exists():
        return None
    found = [row[1] for row in load(path) if short(row[0]).startswith(peer)]
    return found[0] if found else None


def wine_build(folder):
    path = folder / "wine-build.txt"
    return path.read_text().strip() if path.exists() else "build not recorded"


# in-process job, what it is, the part compared with the floor, the floor, target ratio
IN_PROCESS = [
    ("read", "Read every file in text mode (the floor), 200 MB", "job", None, None),
    ("count", "Construct the library (list and count)", "construct", "read", 1.15),
    ("search-i", "Search all categories, case ignored", "job", "read", 1.5),
    ("search", "Search all categories, case kept", "job", "read", 1.5),
    ("read-last", "Read the largest category in text mode (the floor), 4 MB", "job", None, None),
    ("last", "Last joke of the largest category", "job", "read-last", 1.25),
]


def rows_of(folder, name, splits=-1):
    """The tab-separated rows of a result file of the run; none where the run wrote none."""
    path = folder / name
    lines = path.read_text().splitlines() if path.exists() else []
    return [line.split("\t", splits) for line in lines]


def in_process(folder):
    runs = {}
    for job, text in rows_of(folder, "in-process.txt", 1):
        values = {key: float(value) for key, value in re.findall(r"(\w+) ([0-9.]+)", text)}
        runs.setdefault(job, []).append(values)
    if not runs:
        return []
    median = {job: {key: statistics.median(r[key] for r in rows) for key in rows[0]}
              for job, rows in runs.items()}
    native = {job: peer_median(folder, job, "build/") for job in ("search-i", "search")}
    out = ["", f"Windows build under Wine, timed inside the process ({wine_build(folder)}): "
           f"medians of {len(runs.get('read', []))} runs each. Construct is the library's "
           "construction (the program's start), job the work after it (the search pass, the "
           "pass to the last joke); the ratio compares the part named with the floor.", ""]
    out.append("| job | construct ms | job ms | total ms | ratio to the floor | target | peak MB "
               "| native core, whole job |")
    out.append("| --- | ---: | ---: | ---: | ---: | --- | ---: | ---: |")
    for job, title, part, floor, target in IN_PROCESS:
        if job not in median:
            continue
        m = median[job]
        ratio, goal = "", ""
        if floor in median:
            value = m[part] / median[floor]["job"]
            ratio = f"**{value:.2f}x** ({part})"
            goal = f"<= {target:.2f}x: {'met' if value <= target else 'NOT met'}"
            print(f"in-process {job}: {value:.2f}x the floor (target {target})", file=sys.stderr)
        ours_native = ""
        if native.get(job):
            ours_native = f"{native[job]:.1f} ms (Wine total {m['total'] / native[job]:.1f}x)"
        out.append(f"| {title} | {m['construct']:.1f} | {m['job']:.1f} | {m['total']:.1f} | "
                   f"{ratio} | {goal} | {m['peak'] / 1024:.1f} | {ours_native} |")
    return out


def black_box(folder):
    figures = {fields[0]: fields[1:] for fields in rows_of(folder, "blackbox.txt")}
    if not figures:
        return []
    if "peak-mb" not in figures:
        return ["", "The black-box run of the real Pointex.exe did not complete."]
    full, empty = float(figures["start"][0]), float(figures["start-empty"][0])
    out = ["", "The real Pointex.exe under Wine, driven from outside as the end-to-end tests drive "
           f"it ({wine_build(folder)}): medians of {len(figures['start']) - 1} runs, beside the "
           "native peers' medians from the runs above.", ""]
    out.append("| what | Pointex ms | peer | peer ms | ratio |")
    out.append("| --- | ---: | --- | ---: | ---: |")
    rows = [
        (f"Start until the window shows its counts, minus the start on an empty folder "
         f"({full:.0f} - {empty:.0f} ms)", full - empty, "wc -l", peer_median(folder, "count", "wc -l")),
        ("Search all categories, case ignored, hits into the tree", float(figures["search-i"][0]),
         "grep -n -F -i", peer_median(folder, "search-i", "grep")),
        ("Search all categories, case kept, hits into the tree", float(figures["search"][0]),
         "grep -n -F", peer_median(folder, "search", "grep")),
        (f"Last joke ({figures['last-joke'][0]}) of the largest category, its last digit typed",
         float(figures["last"][0]), "wc -l of that file", peer_median(folder, "last", "wc -l")),
    ]
    for what, ours, peer, theirs in rows:
        ratio = f"{ours / theirs:.2f}x" if theirs else ""
        out.append(f"| {what} | {ours:.1f} | `{peer}` | {theirs or 0:.1f} | {ratio} |")
    out += ["", f"Peak working set of that Pointex.exe after its searches: {figures['peak-mb'][0]} MB."]
    return out


def main():
    folder = pathlib.Path(sys.argv[1])
    out = [(folder / "facts.txt").read_text().strip(), ""]
    out.append("| job | command | median ms | ± ms | user ms | system ms | ratio | target |")
    out.append("| --- | --- | ---: | ---: | ---: | ---: | ---: | --- |")
    for name, title, peer, target in JOBS:
        path = folder / f"{name}.json"
        if not path.exists():
            continue
        rows = load(path)
        ours = rows[0][1]
        if name == "wine" and (folder / "wine-build.txt").exists():
            # Which Windows build this machine could run.
            title = f"Windows build under Wine: {(folder / 'wine-build.txt').read_text().strip()}"
        first = True
        for command, median, stddev, user, system in rows:
            label = title if first else ""
            ratio, goal = "", ""
            if first and peer:
                peers = [row[1] for row in rows[1:] if short(row[0]).startswith(peer)]
                if peers:
                    value = ours / peers[0]
                    ratio = f"**{value:.2f}x** {peer}"
                    goal = f"<= {target:.2f}x: {'met' if value <= target else 'NOT met'}"
                    print(f"{name}: {value:.2f}x {peer} (target {target})", file=sys.stderr)
                    # Every job constructs the library first: its share is the construct job's
                    # median, from the same run where there is one, else from the count run.
                    construct = [row[1] for row in rows[1:] if row[0].endswith(" count")]
                    if not construct and name.startswith("search"):
                        construct = [load(folder / "count.json")[0][1]]
                    if construct:
                        alone = (ours - construct[0]) / peers[0]
                        ratio += f"; {alone:.2f}x without constructing"
            out.append(f"| {label} | `{short(command)}` | {median:.1f} | {stddev:.1f} | {user:.1f} | "
                       f"{system:.1f} | {ratio} | {goal} |")
            first = False
    out += in_process(folder)
    out += black_box(folder)
    memory = folder / "memory.txt"
    if memory.exists():
        out += ["", "Peak memory (maximum resident set, `/usr/bin/time -f %M`):", ""]
        out += ["| command | peak MB | target |", "| --- | ---: | --- |"]
        for line in memory.read_text().splitlines():
            label, kilobytes = line.rsplit("\t", 1)
            megabytes = int(kilobytes) / 1024
            goal = ""
            if label.startswith("pointex_bench"):
                goal = f"< 32 MB: {'met' if megabytes < 32 else 'NOT met'}"
                print(f"memory {label}: {megabytes:.1f} MB", file=sys.stderr)
            out.append(f"| `{label}` | {megabytes:.1f} | {goal} |")
    table = "\n".join(out)
    if len(sys.argv) < 3:
        print(table)
        return
    doc = pathlib.Path(sys.argv[2])
    text = doc.read_text() if doc.exists() else f"{BEGIN}\n{END}\n"
    head, rest = text.split(BEGIN, 1)
    tail = rest.split(END, 1)[1]
    doc.write_text(f"{head}{BEGIN}\n{table}\n{END}{tail}")


if __name__ == "__main__":
    main()
