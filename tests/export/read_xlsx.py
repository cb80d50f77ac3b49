#!/usr/bin/python3
"""A workbook read back by openpyxl, printed as JSON for the export tests.

read_xlsx.py FILE [--rows]
Prints a list of sheets: {"name", "widths": {column letter: width},
"rows": [[cell, ...], ...]}, a cell being [kind, text, bold]:
kind "s" text, "n" number, "d" date (text yyyy-mm-dd), "" empty; trailing
empty cells left out. With --rows the rows are streamed (a sheet of a
million rows) and the widths, which only a whole load reads, are left out.
"""
import datetime
import json
import sys

import openpyxl
from openpyxl.utils.escape import unescape


def cell(c):
    value = c.value
    if value is None:
        return ["", "", False]
    bold = bool(c.font and c.font.b)
    if isinstance(value, datetime.datetime):
        return ["d", value.date().isoformat(), bold]
    if isinstance(value, (int, float)):
        return ["n", repr(value), bold]
    # The format writes characters XML cannot hold (and "_x" itself) as
    # _xHHHH_; openpyxl leaves reading them back to its caller.
    return ["s", unescape(value), bold]


def row(cells):
    cells = [cell(c) for c in cells]
    while cells and cells[-1][0] == "":
        cells.pop()
    return cells


def main():
    streamed = "--rows" in sys.argv[2:]
    book = openpyxl.load_workbook(sys.argv[1], read_only=streamed)
    sheets = []
    for sheet in book.worksheets:
        widths = {} if streamed else {k: d.width for k, d in sheet.column_dimensions.items() if d.customWidth}
        sheets.append({"name": sheet.title, "widths": widths, "rows": [row(r) for r in sheet.iter_rows()]})
    json.dump(sheets, sys.stdout, ensure_ascii=False)


main()
