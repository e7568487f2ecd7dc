"""Makes the formatted benchmark workbooks and times openpyxl loading and saving them.

Usage: openpyxl_bench.py FOLDER ROWS RUNS [KIND]. Writes FOLDER/bench_ROWS.xlsx (KIND "mixed",
the default: formatted numbers and some texts) or FOLDER/text_ROWS.xlsx (KIND "text": every cell
a distinct text) and prints the median seconds of openpyxl's load and save as "load save".
"""
import os
import statistics
import sys
import time

from openpyxl import Workbook, load_workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side

COLUMNS = 52


def make(path, rows):
    wb = Workbook()
    ws = wb.active
    thin = Side(style="thin", color="FF404040")
    styles = [
        (Font(name="Arial", size=10), None, Border(), Alignment()),
        (Font(name="宋体", size=12, bold=True), PatternFill("solid", fgColor="FFFFF2CC"),
         Border(left=thin, right=thin, top=thin, bottom=thin),
         Alignment(horizontal="center", vertical="center", wrap_text=True)),
        (Font(name="Arial", size=9, italic=True, color="FF1F4E79"), None,
         Border(bottom=Side(style="dashed")), Alignment(horizontal="right")),
    ]
    for r in range(1, rows + 1):
        for c in range(1, COLUMNS + 1):
            n = r * COLUMNS + c
            cell = ws.cell(row=r, column=c)
            # About one cell in ten holds text, the rest numbers.
            cell.value = "任务 %d" % n if n % 10 == 0 else n * 0.25
            font, fill, border, align = styles[n % 3]
            cell.font, cell.border, cell.alignment = font, border, align
            if fill:
                cell.fill = fill
        if r % 7 == 0:
            ws.row_dimensions[r].height = 24
    for c in range(1, COLUMNS + 1, 3):
        ws.column_dimensions[ws.cell(row=1, column=c).column_letter].width = 14
    ws.merge_cells("A1:C2")
    wb.save(path)


def make_text(path, rows):
    wb = Workbook()
    ws = wb.active
    for r in range(1, rows + 1):
        for c in range(1, COLUMNS + 1):
            ws.cell(row=r, column=c, value="第%d行第%d列：整理资料 %d" % (r, c, r * COLUMNS + c))
    wb.save(path)


def main(folder, rows, runs, kind="mixed"):
    if kind == "text":
        path = os.path.join(folder, "text_%d.xlsx" % rows)
        make_text(path, rows)
    else:
        path = os.path.join(folder, "bench_%d.xlsx" % rows)
        make(path, rows)
    loads, saves = [], []
    for _ in range(runs):
        start = time.perf_counter()
        wb = load_workbook(path)
        loads.append(time.perf_counter() - start)
        start = time.perf_counter()
        wb.save(os.path.join(folder, "openpyxl_out.xlsx"))
        saves.append(time.perf_counter() - start)
    print(statistics.median(loads), statistics.median(saves))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), *sys.argv[4:5])
