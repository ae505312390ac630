#!/usr/bin/env python3
"""Turns the benchmark's hyperfine and memory results into the table of docs/performance.md.

usage: report.py RESULTS_DIR [DOC]  (prints the Markdown, or puts it into DOC between the
lines "<!-- results -->" and "<!-- end of results -->"; the ratios also go to stderr)
Each RESULTS_DIR/<job>.json is one hyperfine run: Pointex first, then its peers.
RESULTS_DIR/memory.txt has lines "label<TAB>kilobytes"; RESULTS_DIR/facts.txt the machine facts.
"""
import json
import pathlib
import sys

# job file, what it measures, target ratio to the peer named (None: for information only)
JOBS = [
    ("count", "Construct the library (list and count), 200 MB", "wc -l", 1.25),
    ("search-i", "Search all categories, case ignored, 200 MB", "rg -j1", 1.0),
    ("search", "Search all categories, case kept, 200 MB", "rg -j1", 1.0),
    ("last", "Last joke of the largest category (4 MB)", "wc -l", 1.25),
    ("line", "Search a 256 MB file that is one line", None, None),
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
