#!/usr/bin/env python3
"""treskdump's PDF and Excel workbook read back by other programs.

    check_exports.py TRESKDUMP EXAMPLES_DIR [--libreoffice]

For the three example cut lists and one of awkward texts (written here, long
enough for three pages): the PDF passes `qpdf --check`, and `pdftotext` gives
back the text report's lines, page by page under the repeated header, each
page ending with its footer. The workbook read with openpyxl holds the CSV's
values with the right types and formats, a frozen title row in bold and a
filter; -o FILE, -d DIR and standard output give the same bytes, those of
the example's reviewed workbook. With
--libreoffice the workbook is also converted to CSV by LibreOffice, the strict
reader, and compared value for value with treskdump --csv.
"""

import csv
import io
import os
import re
import subprocess
import sys
import tempfile

import openpyxl

TRESKDUMP, EXAMPLES = sys.argv[1], sys.argv[2]
LIBREOFFICE = "--libreoffice" in sys.argv[3:]
sys.path.insert(0, EXAMPLES)
from make_examples import record  # noqa: E402  (the examples' record builder)

TITLES = {"new": "Lib / Ori ( >=1.7 )", "old": "Lib / Ori ( <1.7 )", "mem": "Mem"}
# Courier at the PDF's 10.9 points: 6.54 points a character, and the left
# margin is four of them.
PITCH = "6.54"
MARGIN = 4
WHOLE, TENTHS = (0, 1, 5, 6), (3, 4, 11, 12)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def dump(*args):
    return subprocess.run([TRESKDUMP, *args], check=True, stdout=subprocess.PIPE).stdout


def awkward_prg(path):
    """100 records, layout old: texts a formula, a sheet or XML would take
    for their own, spaces at the ends, a CR and a control byte (past the 7
    characters of the report, so the PDF's text stays printable)."""
    texts = [
        ["=1+1", "00015668", "_x0041_", "<&>(\\)x\x01"],
        [" a  ", "0", "Per\xf2  A\r", "_x"],
    ]
    with open(path, "wb") as f:
        for i in range(100):
            t = [s.encode("latin-1") for s in texts[i % 2]]
            f.write(record(1, 1, 100 + i, 40 + i, i % 2 == 0, -12.3, 0.0, i - 50, 60,
                           t, b"\x00\x00\x00", 90.0, -0.1))


def check_pdf(prg, layout, work):
    name = os.path.basename(prg)
    pdf = os.path.join(work, name + ".pdf")
    dump("--pdf", "--layout", layout, "-o", pdf, prg)
    qpdf = subprocess.run(["qpdf", "--check", pdf], stdout=subprocess.PIPE, text=True)
    check(qpdf.returncode == 0, f"{name}: qpdf --check\n{qpdf.stdout}")
    text = subprocess.run(["pdftotext", "-layout", "-fixed", PITCH, pdf, "-"], check=True,
                          stdout=subprocess.PIPE).stdout.decode("utf-8")
    report = dump("--layout", layout, prg).decode("cp1252").split("\r\n")[:-1]
    pages = [p.split("\n") for p in text.split("\f") if p.strip()]
    body = []
    for number, page in enumerate(pages, 1):
        lines = [line[MARGIN:].rstrip() for line in page]
        while lines and not lines[-1]:
            lines.pop()
        check(lines[:2] == report[:2], f"{name} page {number}: header {lines[:2]}")
        footer = lines.pop()
        check(re.fullmatch(re.escape(name + "   " + TITLES[layout]) +
                           f" +Pagina {number} di {len(pages)}", footer),
              f"{name} page {number}: footer {footer!r}")
        while lines and not lines[-1]:
            lines.pop()
        body += lines[2:]
    check(body == [line.rstrip() for line in report[2:]] or
          body == [line.rstrip() for line in report[3:]] and report[2] == "",
          f"{name}: the PDF's lines are not the report's")
    return len(pages)


def unescape(text):
    """Office's _xHHHH_ escapes, which openpyxl leaves in."""
    return re.sub(r"_x([0-9A-F]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def check_workbook(prg, layout, work):
    name = os.path.basename(prg)
    xlsx = os.path.join(work, name + ".xlsx")
    dump("--xlsx", "--layout", layout, "-o", xlsx, prg)
    os.makedirs(os.path.join(work, "d"), exist_ok=True)
    dump("--xlsx", "--layout", layout, "-d", os.path.join(work, "d"), prg)
    data = open(xlsx, "rb").read()
    check(open(os.path.join(work, "d", name + ".xlsx"), "rb").read() == data,
          f"{name}: -d gives other bytes")
    check(dump("--xlsx", "--layout", layout, "-o", "-", prg) == data,
          f"{name}: standard output gives other bytes")
    if os.path.exists(prg + ".xlsx"):
        check(open(prg + ".xlsx", "rb").read() == data, f"{name}: not the reviewed workbook")

    rows = list(csv.reader(io.StringIO(dump("--csv", "--layout", layout, prg).decode("utf-8"),
                                       newline="")))
    sheet = openpyxl.load_workbook(xlsx).active
    stem = re.sub(r"[][:*?/\\]", "_", os.path.splitext(name)[0])[:31]
    check(sheet.title == stem, f"{name}: sheet {sheet.title}")
    check(sheet.freeze_panes == "A2", f"{name}: frozen {sheet.freeze_panes}")
    check(sheet.auto_filter.ref == f"A1:M{len(rows)}", f"{name}: filter {sheet.auto_filter.ref}")
    got = list(sheet.iter_rows())
    check(len(got) == len(rows), f"{name}: {len(got)} rows, CSV {len(rows)}")
    check([c.value for c in got[0]] == rows[0] and all(c.font.b for c in got[0]),
          f"{name}: titles")
    for cells, expected in zip(got[1:], rows[1:]):
        for column, (cell, value) in enumerate(zip(cells, expected)):
            where = f"{name} {cell.coordinate}"
            if value == "":
                check(cell.value is None, f"{where}: {cell.value!r} for an empty cell")
            elif column in WHOLE or (column == 2 and not value.startswith("S")):
                check(type(cell.value) is int and str(cell.value) == value, f"{where}: {cell.value!r}")
            elif column in TENTHS:
                check(type(cell.value) is float and f"{cell.value:.1f}" == value and
                      cell.number_format == "0.0", f"{where}: {cell.value!r} {cell.number_format}")
            else:
                check(cell.data_type == "s" and unescape(cell.value) == value,
                      f"{where}: {cell.value!r} for {value!r}")
    if LIBREOFFICE:
        check_libreoffice(xlsx, rows, work)


def check_libreoffice(xlsx, rows, work):
    # Comma, double quote, UTF-8, from row 1, and cells as shown (0.0 keeps
    # its decimal), the CSV filter's options in their order.
    out = os.path.join(work, "lo")
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                    "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true",
                    "--outdir", out, xlsx], check=True, stdout=subprocess.DEVNULL)
    converted = os.path.join(out, os.path.splitext(os.path.basename(xlsx))[0] + ".csv")
    with open(converted, encoding="utf-8", newline="") as f:
        lo_rows = list(csv.reader(f))
    name = os.path.basename(xlsx)
    check(len(lo_rows) == len(rows), f"{name}: LibreOffice gives {len(lo_rows)} rows")
    for number, (lo, expected) in enumerate(zip(lo_rows, rows), 1):
        # LibreOffice ends a row at its last cell that holds something.
        lo += [""] * (len(expected) - len(lo))
        check(lo == expected, f"{name} row {number} in LibreOffice: {lo} for {expected}")


def main():
    with tempfile.TemporaryDirectory() as work:
        cases = [(os.path.join(EXAMPLES, prg), layout) for prg, layout in
                 (("lista_nuova.PRG", "new"), ("lista_vecchia.PRG", "old"), ("lista_mem.PRG", "mem"))]
        awkward = os.path.join(work, "strani [1].PRG")
        awkward_prg(awkward)
        cases.append((awkward, "old"))
        for prg, layout in cases:
            pages = check_pdf(prg, layout, work)
            check_workbook(prg, layout, work)
            print(f"{os.path.basename(prg)}: PDF of {pages} page(s) and workbook checked")
    if failures:
        sys.exit(f"{len(failures)} check(s) failed")


main()
