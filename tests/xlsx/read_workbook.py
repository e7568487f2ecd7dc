"""Prints, as JSON, what openpyxl reads from a workbook, plus checks of the raw parts that
openpyxl itself forgives (required fills, apply flags, element order, the dimension)."""
import json
import sys
import zipfile
import xml.etree.ElementTree as ET

from openpyxl import load_workbook

NS = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
SHEET_ORDER = ["sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData",
               "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios", "autoFilter",
               "sortState", "dataConsolidate", "customSheetViews", "mergeCells", "phoneticPr",
               "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions",
               "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks",
               "customProperties", "cellWatches", "ignoredErrors", "smartTags", "drawing",
               "legacyDrawing", "legacyDrawingHF", "picture", "oleObjects", "controls",
               "webPublishItems", "tableParts", "extLst"]
STYLE_ORDER = ["numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles",
               "dxfs", "tableStyles", "colors", "extLst"]


def rgb(color):
    return color.rgb if color is not None and color.type == "rgb" else None


def in_order(children, order):
    positions = [order.index(c) for c in children]
    return positions == sorted(positions) and len(set(positions)) == len(positions)


def raw_checks(path):
    problems = []
    with zipfile.ZipFile(path) as z:
        styles = ET.fromstring(z.read("xl/styles.xml"))
        sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
    tags = lambda e: [c.tag.replace(NS, "") for c in e]
    if not in_order(tags(styles), STYLE_ORDER):
        problems.append("styles order %s" % tags(styles))
    if not in_order(tags(sheet), SHEET_ORDER):
        problems.append("sheet order %s" % tags(sheet))
    fills = styles.find(NS + "fills")
    kinds = [f.find(NS + "patternFill").get("patternType", "none") for f in fills][:2]
    if kinds != ["none", "gray125"]:
        problems.append("first fills %s" % kinds)
    for xf in styles.find(NS + "cellXfs"):
        for attr, flag in (("fontId", "applyFont"), ("fillId", "applyFill"),
                           ("borderId", "applyBorder")):
            if xf.get(attr, "0") != "0" and xf.get(flag) != "1":
                problems.append("%s without %s" % (attr, flag))
        if xf.find(NS + "alignment") is not None and xf.get("applyAlignment") != "1":
            problems.append("alignment without applyAlignment")
    for tag in ("fonts", "fills", "borders", "cellXfs"):
        e = styles.find(NS + tag)
        if e is not None and int(e.get("count", -1)) != len(e):
            problems.append("%s count" % tag)
    dim = sheet.find(NS + "dimension")
    return problems, dim.get("ref") if dim is not None else None


def main(path):
    wb = load_workbook(path)
    ws = wb.worksheets[0]
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None and not c.has_style:
                continue
            b = c.border
            cells[c.coordinate] = {
                "value": c.value,
                "font": [c.font.name, c.font.sz, bool(c.font.b), bool(c.font.i), c.font.u,
                         rgb(c.font.color)],
                "fill": [c.fill.fill_type, rgb(c.fill.fgColor)],
                "align": [c.alignment.horizontal, c.alignment.vertical,
                          bool(c.alignment.wrap_text)],
                "border": [[s.style, rgb(s.color)] for s in (b.left, b.right, b.top, b.bottom)],
            }
    problems, dimension = raw_checks(path)
    merges = [str(r) for r in ws.merged_cells.ranges]
    overlapping = [(a, b) for i, a in enumerate(ws.merged_cells.ranges)
                   for b in list(ws.merged_cells.ranges)[i + 1:] if not a.isdisjoint(b)]
    if overlapping:
        problems.append("overlapping merges")
    json.dump({
        "cells": cells,
        "merges": sorted(merges),
        "heights": {str(k): v.height for k, v in ws.row_dimensions.items() if v.height},
        "widths": {"%d-%d" % (v.min, v.max): v.width for v in ws.column_dimensions.values()
                   if v.customWidth},
        "dimension": dimension,
        "problems": problems,
    }, sys.stdout, ensure_ascii=False, default=str)


if __name__ == "__main__":
    main(sys.argv[1])
