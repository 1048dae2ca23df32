#!/usr/bin/python3
"""Reads an exported file with an independent reader and compares it with the rows the test
wrote as JSON: {"captions": [...], "rows": [[...], ...], "numbers": [true, ...]}.
Usage: read_back.py xlsx|html|csv FILE EXPECTED.json. Exits 1 with a message on a difference."""
import csv
import html.parser
import json
import sys


def fail(message):
    print(message)
    sys.exit(1)


def check_xlsx(path, want):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheet = book.active
    if not sheet.sheet_view.rightToLeft:
        fail("sheet is not right-to-left")
    if sheet.freeze_panes != "A2":
        fail("header row not frozen: %s" % sheet.freeze_panes)
    rows = list(sheet.iter_rows())
    if [c.value for c in rows[0]] != want["captions"]:
        fail("captions %s" % [c.value for c in rows[0]])
    if not rows[0][0].font.b:
        fail("header not bold")
    if len(rows) - 1 != len(want["rows"]):
        fail("rows %d" % (len(rows) - 1))
    for r, expected in enumerate(want["rows"]):
        for c, value in enumerate(expected):
            cell = rows[r + 1][c] if c < len(rows[r + 1]) else None
            got = cell.value if cell is not None else None
            if want["numbers"][c]:
                if value in ("", None):
                    if got is not None:
                        fail("row %d col %d: %r for NULL" % (r, c, got))
                elif cell.data_type != "n" or abs(got - float(value)) > 1e-9:
                    fail("row %d col %d: %r (%s) for number %s" % (r, c, got, cell.data_type, value))
            else:
                if (got or "") != value or (value and cell.data_type != "s"):
                    fail("row %d col %d: %r for text %r" % (r, c, got, value))


class Table(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.rows, self.colours, self.cell, self.dir = [], [], None, None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "html":
            self.dir = a.get("dir")
        if tag == "tr":
            self.rows.append([])
            self.colours.append(set())
        if tag in ("td", "th"):
            self.cell = ""
            self.colours[-1].add(a.get("bgcolor"))

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def check_html(path, want):
    text = open(path, encoding="utf-8-sig").read()
    t = Table()
    t.feed(text)
    if t.dir != "rtl":
        fail("page not right-to-left")
    if t.rows[0] != want["captions"]:
        fail("captions %s" % t.rows[0])
    if t.rows[1:] != want["rows"]:
        fail("rows %s" % t.rows[1:])
    for r, colours in enumerate(t.colours[1:]):
        expected = "LightYellow" if r % 2 == 0 else "gray"
        if colours != {expected}:
            fail("record %d coloured %s" % (r + 1, colours))


def check_csv(path, want):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    if rows[0] != want["captions"] or rows[1:] != want["rows"]:
        fail("csv differs: %s" % rows)


kind, path, expected = sys.argv[1:4]
want = json.load(open(expected, encoding="utf-8"))
{"xlsx": check_xlsx, "html": check_html, "csv": check_csv}[kind](path, want)
print("ok")
