#!/usr/bin/python3
"""Reads an exported report back with a real client and compares its cells with the expected table.

usage: read_back.py KIND FILE EXPECTED.json
KIND: html (Python's own HTML parser), xls (xlrd), csv (a CSV file LibreOffice made, UTF-8),
      text (a plain-text file LibreOffice made from a document: every cell text in order)
EXPECTED.json: a list of rows, each a list of cell texts.
Exit status 0 when the cells match; otherwise the differences on standard output.
"""
import csv
import json
import sys
from html.parser import HTMLParser


class TableParser(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def read_html(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if 'charset=utf-8' not in text.lower():
        raise SystemExit("no character set declared")
    parser = TableParser()
    parser.feed(text)
    return parser.rows


def read_xls(path):
    import xlrd
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    return [[str(sheet.cell_value(r, c)) for c in range(sheet.ncols)] for r in range(sheet.nrows)]


def read_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return [row for row in csv.reader(f)]


def trim(rows):
    """Empty trailing cells and rows carry nothing a reader must keep."""
    rows = [list(r) for r in rows]
    for r in rows:
        while r and r[-1] == "":
            r.pop()
    while rows and not rows[-1]:
        rows.pop()
    return rows


def main():
    kind, path, expected_path = sys.argv[1:4]
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    if kind == "text":
        with open(path, encoding="utf-8-sig") as f:
            text = f.read()
        position = 0
        for row in expected:
            for cell in row:
                wanted = cell.strip()
                if not wanted:
                    continue
                found = text.find(wanted, position)
                if found < 0:
                    print("missing or out of order: %r" % cell)
                    return 1
                position = found + len(wanted)
        return 0
    actual = {"html": read_html, "xls": read_xls, "csv": read_csv}[kind](path)
    if trim(actual) != trim(expected):
        for i, (a, e) in enumerate(zip(trim(actual), trim(expected))):
            if a != e:
                print("row %d: got %r, expected %r" % (i, a, e))
                break
        print("rows: got %d, expected %d" % (len(trim(actual)), len(trim(expected))))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
