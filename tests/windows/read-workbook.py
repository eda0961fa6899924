#!/usr/bin/env python3
"""Reads the workbook SpanWorkbookTest wrote under wine: samples 20 to 66 of the measuring log,
numbers as number cells, the date field as date cells, device 2 empty in every third row."""
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
assert book.sheetnames == ["Readings", "Statistics"], book.sheetnames
sheet = book["Readings"]
assert sheet.freeze_panes == "A2", sheet.freeze_panes
rows = list(sheet.iter_rows(min_row=2))
assert [row[0].value for row in rows] == list(range(20, 67)), [row[0].value for row in rows]
for row in rows:
    sample = row[0].value
    assert row[1].is_date, row[1].value
    assert row[2].value == 0.5 * sample, (sample, row[2].value)
    assert row[3].value == (None if sample % 3 == 0 else sample), (sample, row[3].value)
print(f"workbook read back: {len(rows)} rows")
