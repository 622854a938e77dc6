#!/usr/bin/env python3
"""Prints the start-up and first-use table from bench/startup.sh's results: each figure with
its floor from the same rounds, as median and minimum with the number of rounds that gave it,
the ratio of the medians and of the minimums, and the rounds lost. Usage: summarize.py RESULTS
ROUNDS"""
import statistics
import sys
from collections import defaultdict

values = defaultdict(list)
lost = defaultdict(int)
with open(sys.argv[1]) as results:
    for line in results:
        parts = line.split()
        if len(parts) == 3 and parts[0] == "lost":
            lost[f"{parts[1]} ({parts[2].replace('_', ' ')})"] += 1
        elif len(parts) == 3:
            try:
                value = float(parts[2])
                if value >= 0:  # -1: the probe saw no such event
                    values[(parts[0], parts[1])].append(value)
            except ValueError:
                pass

# figure, its floor, the aim for the ratio of medians, the unit's name
rows = [
    ("start to splash painted", ("sbk3", "splash_ms"), ("text", "splash_ms"), 1.1, "ms"),
    ("  floor without the text", ("text", "splash_ms"), ("bare", "splash_ms"), None, "ms"),
    ("splash click to main window painted, clicked at once", ("sbk3", "main_ms"),
     ("built", "main_ms"), 1.3, "ms"),
    ("  clicked 250 ms after the splash is painted", ("sbk3_person", "main_ms"),
     ("built_person", "main_ms"), 1.3, "ms"),
    ("first Print/Save click to the question box", ("warm", "first_click_ms"),
     ("warm", "second_click_ms"), 1.2, "ms"),
    ("  the same without the idle-time work", ("cold", "first_click_ms"),
     ("cold", "second_click_ms"), None, "ms"),
    ("first page to PDF", ("warm", "first_pdf_ms"), ("warm", "second_pdf_ms"), 1.2, "ms"),
    ("  the same without the idle-time work", ("cold", "first_pdf_ms"),
     ("cold", "second_pdf_ms"), None, "ms"),
    ("a later page to PDF beside a bare QPdfWriter page", ("warm", "later_pdf_ms"),
     ("floor", "bare_later_pdf_ms"), 1.3, "ms"),
    ("class set: 30 x 300 problems, keys after each, 60 pages to PDF", ("set", "class_set_ms"),
     ("set", "bare_class_set_ms"), 1.2, "ms"),
    ("laid out: 100 four-digit long divisions to PDF, bare page beside", ("forms", "long_division_pdf_ms"),
     ("forms", "bare_long_division_pdf_ms"), 1.3, "ms"),
    ("laid out: 300 four-digit column additions to PDF, bare page beside",
     ("forms", "column_addition_pdf_ms"), ("forms", "bare_column_addition_pdf_ms"), 1.3, "ms"),
    ("laid out: class set 30 x 100 four-digit problems, keys after each", ("forms", "form_set_ms"),
     ("forms", "bare_form_set_ms"), 1.3, "ms"),
    ("memory, main window shown", ("sbk3", "rss_kb"), ("text", "rss_kb"), 1.15, "kB"),
    ("300 problems and their PDF, whole process, beside ReportLab", ("whole", "make300_ms"),
     ("whole", "reportlab_ms"), None, "ms"),
]

print(f"\nstart-up and first use, {sys.argv[2]} interleaved rounds (median / minimum, [rounds])")
print(f"{'figure':58} {'value':>22} {'floor':>22} {'ratio':>11}  aim")
for name, figure, floor, aim, unit in rows:
    a, b = values.get(figure, []), values.get(floor, [])
    if not a or not b:
        print(f"{name:58} {'not measured':>22} [{len(a)}/{len(b)}]")
        continue
    ma, mb = statistics.median(a), statistics.median(b)
    la, lb = min(a), min(b)
    ratio = f"{ma / mb:.2f}/{la / lb:.2f}" if mb > 0 and lb > 0 else "-"
    goal = f"<= {aim}" if aim else ""
    met = "" if not aim or not mb else (" met" if ma / mb <= aim else " not met")
    shown_a = f"{ma:.1f}/{la:.1f} [{len(a)}]"
    shown_b = f"{mb:.1f}/{lb:.1f} [{len(b)}]"
    print(f"{name:58} {shown_a:>22} {shown_b:>22} {ratio:>11}  {goal}{met} {unit}")
if lost:
    print("lost: " + ", ".join(f"{count} x {what}" for what, count in sorted(lost.items())))
else:
    print("lost: none")
