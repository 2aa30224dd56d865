#!/usr/bin/python3
"""Puts a bench/table.py table into the speed page as its machine's section.

    speed_page.py PAGE < table.md

The table's first line names the date and the machine ("DATE, MACHINE, one
core, ..."). The page keeps one section per machine between the markers
"<!-- bench/table.sh: MACHINE -->" and "<!-- bench/table.sh: end -->": the
machine's section is replaced, or appended at the end when it is new.
"""
import re
import sys

END = "<!-- bench/table.sh: end -->"


def main():
    page_path = sys.argv[1]
    table = sys.stdin.read().strip() + "\n"
    first = re.match(r"[^,]+, (.*?), one core", table)
    if not first:
        sys.exit("speed_page.py: the table does not start with 'DATE, MACHINE, one core'")
    machine = first.group(1)
    begin = f"<!-- bench/table.sh: {machine} -->"
    section = f"{begin}\n### {machine}\n\n{table}{END}\n"
    with open(page_path) as f:
        page = f.read()
    start = page.find(begin)
    if start >= 0:
        stop = page.index(END, start) + len(END) + 1
        page = page[:start] + section + page[stop:]
    else:
        page = page.rstrip("\n") + "\n\n" + section
    with open(page_path, "w") as f:
        f.write(page)
    print(f"{page_path}: the section of {machine} written")


main()
