#!/usr/bin/env python3
"""Turns the benchmarks' JSON output into one table with the goal beside each figure.

    table.py [--markdown FILE --date D --cores N --platform TEXT --load-before TEXT]
             RESULT.json [RESULT.json ...]

Prints the table; with --markdown also writes it, with the machine's details, to FILE.
Exits with 1 when a benchmark reported an error, else 0 (a missed goal is a result, not
a failure of the run).
"""

import argparse
import datetime
import json
import os
import re
import sys

# Each row: which benchmark (a pattern on its name), what it shows, where the figure comes
# from (a counter, or a function of the benchmark's record), its unit, the goal as written
# and the test of the goal (None: a figure shown for context, with no goal of its own).
# The goals are those set in the issues; the start-up bar is our own (none was set).
ROWS = [
    ("^BM_receive_throughput/", "Receive: console lines into the log (handler alone)",
     "cpu_pct_at_115200", "% of a core at 115200 baud", "< 5", lambda v: v < 5),
    ("^BM_receive_stream_115200/", "Receive: 115200 baud stream, window shown, 5 s",
     "cpu_pct_of_one_core", "% of a core", "< 5", lambda v: v < 5),
    ("^BM_receive_stream_feeder_only/", "  of which the benchmark's own 2 ms feeder",
     "cpu_pct_of_one_core", "% of a core", "-", None),
    ("^BM_log_million_lines/", "Log: 1,000,000 lines of 40 characters, memory",
     "rss_growth_MB", "MB resident", "< 200", lambda v: v < 200),
    ("^BM_log_million_lines/", "Log: the last 100 k appends against the first 100 k",
     "last_over_first", "CPU time ratio", "<= 2 (no growth)", lambda v: v <= 2),
    ("^BM_log_million_lines/", "Log: CPU time for the 1,000,000 appends",
     "million_ms", "ms", "-", None),
    ("^BM_record_stream_115200/1/", "Record: 115200 baud stream, recorded, times shown, 5 s",
     "cpu_pct_of_one_core", "% of a core", "< 5", lambda v: v < 5),
    ("^BM_record_stream_115200/0/", "  the same run without record and times",
     "cpu_pct_of_one_core", "% of a core", "-", None),
    ("^BM_log_million_timed_lines/", "Record: 1,000,000 log lines with their times, memory",
     "rss_growth_MB", "MB resident", "< 200", lambda v: v < 200),
    ("^BM_log_million_timed_lines/", "Record: a timed, recorded append late against early",
     lambda b: b["last_10k_median_ms"] / b["first_10k_median_ms"], "CPU time ratio",
     "<= 2 (no growth)", lambda v: v <= 2),
    ("^BM_record_line_longest/", "Record: longest time one record line holds the window",
     "longest_ms", "ms (of 200,000)", "< 1", lambda v: v < 1),
    ("^BM_record_line_longest/", "  the same on the thread's CPU clock (waits for a core left out)",
     "longest_cpu_ms", "ms", "-", None),
    ("^BM_record_line_longest/", "  one record line, median",
     "median_us", "us", "-", None),
    ("^BM_record_line_longest/", "  one record line, 99.99th percentile",
     "p99_99_us", "us", "-", None),
    ("^BM_record_line_longest/", "  a transfer's end (the record reaches the disk)",
     "transfer_end_ms", "ms", "-", None),
    ("^BM_find_million_lines/", "Find: a text in none of 1,000,000 lines (median of 9)",
     "median_ms", "ms", "< 100", lambda v: v < 100),
    ("^BM_idle_wait/", "Wait: 10 s for a line that never comes",
     "cpu_pct_of_wall", "% of wall time", "< 1", lambda v: v < 1),
]
for size in (1024, 2048, 4096):
    ROWS += [
        (f"^BM_eeprom_read/{size}/", f"EEPROM read {size} bytes: wall time / floor",
         "wall_over_floor", "ratio", "<= 1.01", lambda v: v <= 1.01),
        (f"^BM_eeprom_read/{size}/", f"EEPROM read {size} bytes: CPU",
         "cpu_pct_of_wall", "% of wall time", "< 1", lambda v: v < 1),
    ]
for suffix, shown in (("", "window shown"), ("_hidden", "window hidden")):
    up = f"^BM_upload_1000_lines_over_pty{suffix}/"
    ROWS += [
        (up, f"Upload 1000 lines, {shown}: wall less the simulator's replies / floor",
         "wall_less_sim_over_floor", "ratio", "<= 1.01", lambda v: v <= 1.01),
        (up, "  wall / floor, the simulator's replies included", "wall_over_floor", "ratio",
         "-", None),
        (up, "  the simulator's reply to a line (median)", "line_to_reply_median_ms", "ms",
         "-", None),
        (up, f"Upload 1000 lines, {shown}: CPU", "cpu_pct_of_wall", "% of wall time", "< 1",
         lambda v: v < 1),
        (up, "  of it, user time", "cpu_user_s", "s", "-", None),
        (up, "  of it, system time", "cpu_system_s", "s", "-", None),
        (up, "  the process's sleeps (wake-ups) per line", "wakeups_per_line", "per line", "-",
         None),
        (up, "  Timer1's ticks after their interval: median", "tick_late_median_us", "us",
         "<= 200", lambda v: v <= 200),
        (up, "  Timer1's ticks after their interval: earliest", "tick_late_min_us", "us",
         ">= 0 (never early)", lambda v: v >= 0),
    ]
ROWS += [
    ("^BM_upload_1000_lines_over_pty/", "  hint line pictures composed from glyph pictures",
     "hint_faces_composed", "pictures", "-", None),
]
ROWS += [
    ("^BM_upload_1000_lines_over_pty/", f"  a line's time from the reply: {label} (median)",
     f"{stage}_median_us", "us", "-", None)
    for stage, label in (("read_to_mailbox", "read to mailbox"),
                         ("mailbox_to_wakeup", "mailbox to the wait's wake-up"),
                         ("wakeup_to_arming", "wake-up to Timer1 armed"),
                         ("arming_to_tick", "Timer1 armed to its tick"),
                         ("tick_to_wakeup", "tick to the wait's wake-up"),
                         ("wakeup_to_output", "wake-up to the line's output call"),
                         ("read_to_output", "read to output, in all"))
]
for suffix, what in (("", "the loop otherwise idle"), ("_with_other_events", "other events too")):
    tb = f"^BM_window_timer_ticks{suffix}/"
    ROWS += [
        (tb, f"Window timer, 1000 ticks of 1-10 ms, {what}: lateness median",
         "late_median_us", "us", "<= 200", lambda v: v <= 200),
        (tb, "  lateness 90th percentile", "late_p90_us", "us", "-", None),
        (tb, "  earliest tick", "late_min_us", "us", ">= 0 (never early)", lambda v: v >= 0),
    ]
ROWS += [
    ("^BM_board_compare/4096/", "Compare with the board, 4096 bytes: wall time / read floor",
     "wall_over_floor", "ratio", "<= 1.02", lambda v: v <= 1.02),
    ("^BM_board_compare/4096/", "Compare with the board, 4096 bytes: CPU",
     "cpu_pct_of_wall", "% of wall time", "< 1", lambda v: v < 1),
    ("^BM_backup_check_4096", "Backup check: a 4096-byte .eep read and checked",
     lambda b: b["real_time"] / 1000, "ms", "< 1", lambda v: v < 1),
    ("^BM_backup_window_pair_4096/", "Backup window: a 4096-byte pair opened and painted",
     "real_time", "ms", "< 100", lambda v: v < 100),
    ("^BM_backup_window_pair_4096/", "  the first opening (the window built)",
     "first_open_ms", "ms", "< 100", lambda v: v < 100),
]
ROWS += [
    ("^BM_startup_fresh_process/", "Start-up: fresh process to first shown window (median)",
     "median_ms", "ms", "<= 1000 (our bar)", lambda v: v <= 1000),
    ("^BM_startup_window_in_process/", "Start-up: window built and painted, in process (median)",
     "median_ms", "ms", "-", None),
    ("^BM_port_chooser_refresh_40_ports/", "Port chooser: 40 ports listed, one plugged in or out",
     "cpu_ms_per_refresh", "ms CPU a refresh", "< 5", lambda v: v < 5),
    ("^BM_port_chooser_refresh_40_ports_unchanged/", "Port chooser: 40 ports listed, no change",
     "cpu_ms_per_refresh", "ms CPU a refresh", "< 5", lambda v: v < 5),
]

NOTES = """\
- Built with `-DCMAKE_BUILD_TYPE={build_type}`, run by `bench/run` (Google Benchmark, JSON output).
  The window runs on Qt's offscreen platform, with the Fusion style the program uses.
- CPU figures are the process's user + system time over the wall time of the measured span.
- Receive: the stream is 40-character console lines at 11,520 characters a second, handed
  over every 2 ms as a serial driver would; the feeder-only run is the same loop without
  delivering, i.e. the part of the figure that is the benchmark's own. The goal is judged on
  the whole figure, feeder included.
- EEPROM read and upload run against the board simulator over a pseudo-terminal, through the
  real port and event loop. EEPROM floor: 1.0 s + (N/16 - 1) x 0.1 s of the board's pauses;
  upload floor: 35 ms + 1000 x 36 ms. A pty adds no line time.
- Start-up: the probe (`bench/startup_probe.cpp`) starts exactly as the program does and
  reports once its window's first picture has been painted and flushed; it runs in an empty
  folder, so no settings file is read and no port opened. No issue sets a start-up goal; 1 s
  is the usual limit for a response that keeps the user's flow.
- Log growth: "no per-append cost that grows with the log" is judged on the appends timed
  in chunks of 10 000 on the process's CPU clock. The million is appended five times; each
  chunk counts with the median of its five runs, so that a run slowed down by other work
  does not count. The last 100 k lines may take at most twice the CPU time of the first
  100 k (a cost growing with the length of the log would make it about ten times).
- Upload: the floor is the board's pauses; the goal is on the tool's part, so the time from
  each line leaving to its reply being read (the link and the simulator) is taken off the
  wall time first. The split of a line's time follows one "#$" from the read that brings
  it, through the mailbox, the wake-up of the reply wait, the arming of Timer1 and its
  tick, to the output call of the next line (medians over the 1000 lines).
- Upload with the window shown against hidden: the hint line shows the lines sent, at most
  25 pictures a second (about 500 in the upload). A picture is composed from glyph pictures
  the painter drew once for each character and position within a pixel, and is copied to
  the window; the first picture with ink is drawn by the painter and must equal the
  composed one before any composed picture is shown. A composed picture of a line costs
  about 40 k instructions, against 240 k for laying the line out and blending its glyphs;
  each character's pictures are made when it first shows, about 0.7 M instructions, half
  of it the font engine's rendering that the painter needs as well (callgrind, 2026-12-10).
  Over the upload the window shown costs 123 M instructions against 52 M hidden (205 M and
  66 M before the composed pictures and the chunked line reader).
- Wake-ups: each line needs two (Timer1's tick, which sleeps its last fraction of a
  millisecond on the spot, and the reply). On this virtual machine a sleep and wake-up is
  what costs: a bare C loop sleeping 36 ms in poll() costs 57 us of CPU a wake-up, and the
  program's own window timer alone, ticking every 36 ms with nothing else to do, 0.38-0.41 %
  of wall time (both measured by hand on 2026-12-10, with a build of the timer benchmark
  set to 36 ms ticks).
- Window timer: 1000 ticks of the program's own timer, intervals 1 to 10 ms in turn, each
  armed afresh; lateness is the time from the arming plus the interval to the tick. The
  second run adds a precise 3 ms timer of its own phase, standing for received lines and
  mouse moves that wake the loop during a wait.
- Record: the session record is on, as it is by default, and writes real files in a
  temporary folder; the log shows the arrival times. The longest record line is the longest
  of 200,000 on the wall clock, so a moment the process waited for a core counts too.
"""


def load(paths):
    benchmarks, context = [], {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        context = context or data.get("context", {})
        benchmarks += data.get("benchmarks", [])
    return benchmarks, context


def figure_of(bench, source):
    if callable(source):
        return source(bench)
    return float(bench[source])


def fmt(value):
    if abs(value) >= 100:
        return f"{value:.0f}"
    if abs(value) >= 10:
        return f"{value:.1f}"
    if abs(value) >= 1:
        return f"{value:.3f}"
    return f"{value:.3g}"


def rows_for(benchmarks):
    rows, errors = [], 0
    for pattern, label, source, unit, goal, test in ROWS:
        found = [b for b in benchmarks if re.search(pattern, b["name"])]
        if not found:
            continue
        bench = found[-1]
        if bench.get("error_occurred"):
            errors += 1
            rows.append((label, "error: " + bench.get("error_message", "?"), unit, goal, "no"))
            continue
        try:
            value = figure_of(bench, source)
        except (KeyError, ZeroDivisionError, ValueError) as e:
            errors += 1
            rows.append((label, f"missing ({e})", unit, goal, "no"))
            continue
        met = "-" if test is None else ("yes" if test(value) else "no")
        rows.append((label, fmt(value), unit, goal, met))
    return rows, errors


HEADER = ("Benchmark", "Figure", "Unit", "Goal", "Met")


def plain_table(rows):
    widths = [max(len(str(r[i])) for r in rows + [HEADER]) for i in range(len(HEADER))]
    line = lambda r: "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip()
    return "\n".join([line(HEADER), line(["-" * w for w in widths])] + [line(r) for r in rows])


def markdown_table(rows):
    out = ["| " + " | ".join(HEADER) + " |", "|" + "|".join(["---"] * len(HEADER)) + "|"]
    for label, value, unit, goal, met in rows:
        out.append(f"| {label.strip()} | {value} | {unit} | {goal} | {met} |")
    return "\n".join(out)


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown"


def load_average():
    try:
        with open("/proc/loadavg", encoding="utf-8") as f:
            return " ".join(f.read().split()[:3])
    except OSError:
        return "unknown"


def write_markdown(path, rows, context, args):
    date = args.date or datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    cores = args.cores or os.cpu_count()
    missed = [r[0].strip() for r in rows if r[4] == "no"]
    text = f"""# Performance

Measured {date} (UTC) by `bench/run` on {cores} cores ({cpu_model()}),
start-up on the {args.platform} platform.

**Load:** the machine is shared with other developers' builds and tests, so CPU shares
and wall times carry their noise. Load average (1, 5, 15 min) {args.load_before} before the run,
{load_average()} after it.

{markdown_table(rows)}

{"Goals missed: " + "; ".join(missed) + "." if missed else "Every goal is met."}

## How each figure is measured
{NOTES.replace("{build_type}", args.build_type)}"""
    lib = context.get("library_build_type")
    if lib == "debug":
        text += ("- The distribution's Google Benchmark library reports itself as a debug\n"
                 "  build; that touches only its own timing loop, not these figures, which\n"
                 "  the benchmarks measure themselves.\n")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results", nargs="+")
    parser.add_argument("--markdown")
    parser.add_argument("--platform", default="offscreen")
    parser.add_argument("--load-before", default="unknown")
    parser.add_argument("--date")
    parser.add_argument("--cores")
    parser.add_argument("--build-type", default="Release")
    args = parser.parse_args()
    benchmarks, context = load(args.results)
    rows, errors = rows_for(benchmarks)
    if not rows:
        print("No benchmark results.", file=sys.stderr)
        return 1
    print(plain_table(rows))
    if args.markdown:
        write_markdown(args.markdown, rows, context, args)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
