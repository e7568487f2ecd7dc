"""Writes the workbooks the xlsx tests read, with openpyxl, into the folder given.

Variants that openpyxl cannot make itself (inline strings, rich runs, a wrong dimension,
absolute targets, missing parts, hostile archives) are made by editing its output.
"""
import io
import os
import re
import sys
import zipfile

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Color, Font, PatternFill, Side
from openpyxl.worksheet.dimensions import ColumnDimension

BORDER_STYLES = ["thin", "medium", "dashed", "dotted", "thick", "double", "hair",
                 "mediumDashed", "dashDot", "mediumDashDot", "dashDotDot",
                 "mediumDashDotDot", "slantDashDot"]


def values_book(path):
    wb = Workbook()
    ws = wb.active
    ws["A1"] = "你好，世界"
    ws["A2"] = "a & b < c > d"
    ws["A3"] = "  leading and trailing  "
    ws["A4"] = "line one\nline two"
    ws["A5"] = 42
    ws["A6"] = -3.25
    ws["A7"] = 1e-7
    ws["A8"] = True
    ws["A9"] = "plain"       # replaced by an inline string below
    ws["A10"] = "rich"       # replaced by rich runs below
    ws["C12"] = "last"
    wb.save(path)


def formats_book(path):
    wb = Workbook()
    ws = wb.active
    ws["A1"] = "x"
    ws["A1"].font = Font(name="Arial", size=14, bold=True, italic=True, underline="single",
                         color="FFFF0000")
    ws["B1"] = "y"
    ws["B1"].font = Font(name="宋体", size=9, underline="double")
    ws["A2"].fill = PatternFill("solid", fgColor="FF00B050")
    ws["B2"].fill = PatternFill("solid", fgColor=Color(indexed=10))
    ws["C2"].fill = PatternFill("solid", fgColor=Color(theme=4, tint=0.4))
    ws["D2"].fill = PatternFill("darkGrid", fgColor="FF0000FF")
    ws["E2"] = "t"
    ws["E2"].font = Font(color=Color(theme=1))
    ws["F2"] = "u"
    ws["F2"].font = Font(color=Color(theme=5, tint=-0.25))
    ws["G2"].fill = PatternFill("solid", fgColor=Color(indexed=53))
    aligns = [("left", "top", False), ("center", "center", False), ("right", "bottom", False),
              ("justify", "justify", True), (None, None, False), ("distributed", None, True)]
    for i, (h, v, wrap) in enumerate(aligns):
        cell = ws.cell(row=3, column=i + 1, value="a")
        cell.alignment = Alignment(horizontal=h, vertical=v, wrap_text=wrap)
    for i, style in enumerate(BORDER_STYLES):
        cell = ws.cell(row=5 + i, column=1, value=style)
        cell.border = Border(left=Side(style=style, color="FFFF0000"),
                             right=Side(style=style, color="FF00FF00"),
                             top=Side(style=style, color="FF0000FF"),
                             bottom=Side(style=style, color="FF808080"))
    ws["B5"].border = Border(left=Side(style="thin"), right=Side(style="dashed"),
                             top=Side(style="double", color=Color(indexed=12)),
                             bottom=Side(style="hair", color=Color(theme=4)))
    wb.save(path)


def layout_book(path):
    wb = Workbook()
    ws = wb.active
    # Values only in the top-left cells: openpyxl drops those a merge covers.
    for ref in ["A1", "AY1", "A99", "AX100", "Y50"]:
        ws[ref] = ref
    ws.merge_cells("A1:B2")
    ws.merge_cells("AY1:AZ3")
    ws.merge_cells("A99:C100")
    ws.merge_cells("AX100:AZ100")
    ws.row_dimensions[1].height = 30
    ws.row_dimensions[7].height = 12.75
    ws.row_dimensions[100].height = 409
    ws.column_dimensions["A"].width = 20
    ws.column_dimensions["C"] = ColumnDimension(ws, index="C", min=3, max=5, width=13.5)
    ws.column_dimensions["AZ"].width = 3
    wb.save(path)


def edit(src, dst, changes, drop=(), add=None):
    """Copies a workbook, applying regex replacements per part and dropping parts."""
    with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            if item.filename in drop:
                continue
            data = zin.read(item.filename).decode("utf-8")
            for pattern, repl in changes.get(item.filename, []):
                data, count = re.subn(pattern, repl, data, flags=re.S)
                assert count, (dst, item.filename, pattern)
            zout.writestr(item.filename, data)
        for name, data in (add or {}).items():
            zout.writestr(name, data)


SHEET = "xl/worksheets/sheet1.xml"


def main(out):
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)
    values_book(p("values_base.xlsx"))
    # openpyxl writes inline strings; move A1 to A4 into a shared-string part, give A10 rich
    # runs (with a phonetic guide that must not show) and keep A9 inline.
    texts = ["你好，世界", "a &amp; b &lt; c &gt; d", "  leading and trailing  ",
             "line one\nline two"]
    items = "".join('<si><t xml:space="preserve">%s</t></si>' % t for t in texts)
    items += ('<si><r><t>红</t></r><r><rPr><b/><sz val="11"/></rPr>'
              '<t xml:space="preserve"> bold</t></r><rPh sb="0" eb="1"><t>hong</t></rPh></si>')
    sst = ('<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="5" '
           'uniqueCount="5">%s</sst>' % items)
    sheet_changes = [(r'<c r="A%d" t="inlineStr"><is><t[^>]*>.*?</t></is></c>' % row,
                      '<c r="A%d" t="s"><v>%d</v></c>' % (row, i))
                     for i, row in enumerate([1, 2, 3, 4])]
    sheet_changes += [(r'<c r="A10" t="inlineStr"><is><t>rich</t></is></c>',
                       '<c r="A10" t="s"><v>4</v></c>'),
                      (r'<is><t>plain</t></is>', '<is><t>inline &amp; 内联</t></is>')]
    edit(p("values_base.xlsx"), p("values.xlsx"), {
        SHEET: sheet_changes,
        "xl/_rels/workbook.xml.rels": [(r"</Relationships>", '<Relationship Type="http://schemas'
                                        '.openxmlformats.org/officeDocument/2006/relationships/'
                                        'sharedStrings" Target="/xl/sharedStrings.xml" Id="rId9"/>'
                                        "</Relationships>")],
        "[Content_Types].xml": [(r"</Types>", '<Override PartName="/xl/sharedStrings.xml" Conte'
                                 'ntType="application/vnd.openxmlformats-officedocument.spreadsh'
                                 'eetml.sharedStrings+xml"/></Types>')]},
        add={"xl/sharedStrings.xml": sst})
    os.remove(p("values_base.xlsx"))
    formats_book(p("formats.xlsx"))
    layout_book(p("layout.xlsx"))
    edit(p("layout.xlsx"), p("layout_nodim.xlsx"), {SHEET: [(r"<dimension[^>]*/>", "")]})
    edit(p("layout.xlsx"), p("layout_wrongdim.xlsx"),
         {SHEET: [(r'<dimension ref="[^"]*"/>', '<dimension ref="B2:C3"/>')]})
    # openpyxl writes absolute targets ("/xl/worksheets/sheet1.xml"); make them relative.
    edit(p("values.xlsx"), p("relative_targets.xlsx"), {
        "xl/_rels/workbook.xml.rels": [(r'Target="/?xl/worksheets/sheet1.xml"',
                                        'Target="./worksheets/../worksheets/sheet1.xml"'),
                                       (r'Target="/xl/sharedStrings.xml"',
                                        'Target="sharedStrings.xml"')]})
    edit(p("formats.xlsx"), p("no_styles.xlsx"), {
        "xl/_rels/workbook.xml.rels": [(r'<Relationship[^>]*/styles"[^>]*/>', "")]},
        drop=("xl/styles.xml",))
    edit(p("values.xlsx"), p("no_strings.xlsx"), {
        "xl/_rels/workbook.xml.rels": [(r'<Relationship[^>]*/sharedStrings"[^>]*/>', "")]},
        drop=("xl/sharedStrings.xml",))
    hostile(p)


def hostile(p):
    with open(p("values.xlsx"), "rb") as f:
        good = f.read()
    with open(p("hostile_truncated.xlsx"), "wb") as f:
        f.write(good[: len(good) // 2])
    with open(p("hostile_notzip.xlsx"), "wb") as f:
        f.write(b"PK\x03\x04 this is not really a zip archive" * 10)
    open(p("hostile_empty.xlsx"), "wb").close()
    laughs = ('<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">'
              + "".join('<!ENTITY lol%d "%s">' % (i, ("&lol%d;" % (i - 1) if i else "&lol;") * 10)
                        for i in range(9))
              + ']><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
              '<si><t>&lol8;</t></si></sst>')
    edit(p("values.xlsx"), p("hostile_dtd.xlsx"), {}, drop=("xl/sharedStrings.xml",),
         add={"xl/sharedStrings.xml": laughs})
    # 64 MiB of blanks inside the sheet: inflates a thousandfold.
    with zipfile.ZipFile(p("values.xlsx")) as z:
        sheet = z.read(SHEET).decode()
    bomb = sheet.replace("<sheetData>", "<sheetData>" + " " * (64 * 1024 * 1024), 1)
    edit(p("values.xlsx"), p("hostile_bomb.xlsx"), {}, drop=(SHEET,), add={SHEET: bomb})
    edit(p("values.xlsx"), p("hostile_dotdot.xlsx"), {
        "xl/_rels/workbook.xml.rels": [(r'Target="/?xl/worksheets/sheet1.xml"',
                                        'Target="../../../evil.xml"')]},
        add={"../evil.xml": sheet})
    edit(p("values.xlsx"), p("hostile_refs.xlsx"), {SHEET: [
        (r'<c r="A1" ', '<c r="XFE1" '), (r'<c r="A2" ', '<c r="A1048577" '),
        (r'<c r="A3" ', '<c r="ZZZZ3" '), (r'<c r="A4" ', '<c r="A4" s="9999" ')]})
    edit(p("values.xlsx"), p("hostile_strings.xlsx"),
         {SHEET: [(r'(<c r="A1" t="s"><v>)\d+', r"\g<1>99999"),
                  (r'(<c r="A2" t="s"><v>)\d+', r"\g<1>-1")]})
    edit(p("values.xlsx"), p("hostile_noworkbook.xlsx"), {}, drop=("xl/workbook.xml",))
    edit(p("layout.xlsx"), p("hostile_merges.xlsx"), {SHEET: [
        (r'<mergeCell ref="A1:B2"/>',
         '<mergeCell ref="A1:B2"/><mergeCell ref="B2:C3"/><mergeCell ref="A1:XFE2"/>')]})


if __name__ == "__main__":
    main(sys.argv[1])
