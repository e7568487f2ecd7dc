"""Fills the seed corpus of the fuzz target: the test workbooks, and each of their XML parts
on its own (the target feeds non-zip inputs to the part readers)."""
import os
import subprocess
import sys
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
out = sys.argv[1]
os.makedirs(out, exist_ok=True)
subprocess.check_call([sys.executable,
                       os.path.join(here, "..", "..", "tests", "xlsx", "make_workbooks.py"), out])
os.remove(os.path.join(out, "hostile_bomb.xlsx"))  # large, and adds nothing after one run
for name in sorted(os.listdir(out)):
    if not name.endswith(".xlsx") or name.startswith("hostile"):
        continue
    with zipfile.ZipFile(os.path.join(out, name)) as z:
        for item in z.namelist():
            if item.endswith(".xml") and not item.startswith("docProps"):
                with open(os.path.join(out, name + "-" + item.replace("/", "_")), "wb") as f:
                    f.write(z.read(item))

# Markup the worksheet and shared string scanner has to handle, beyond what openpyxl writes.
SEEDS = {
    "markup_sheet.xml":
        '<?xml version="1.0" encoding="UTF-8"?>\n<x:worksheet xmlns:x="urn:x"><x:sheetData>'
        "<x:row r='2' ht = '20'><x:c t='inlineStr' r='B2'><x:is><x:r><x:t xml:space='preserve'>"
        " a &amp; b &#x4E2D;\r\n</x:t></x:r><x:rPh><x:t>p</x:t></x:rPh></x:is></x:c>"
        "<x:c><x:v> +1.5E3 </x:v></x:c><x:c t=\"b\"><x:v>1</x:v></x:c><x:c t=\"str\">"
        "<x:f>A1</x:f><x:v><![CDATA[<&>]]>x<!-- c --></x:v></x:c><x:c r=\"E2\"/></x:row>"
        "</x:sheetData><x:mergeCells><x:mergeCell ref=\"A1:B1\"/></x:mergeCells></x:worksheet>",
    "markup_sst.xml":
        '<sst xmlns="urn:x"><si><t>_x0009_&lt;&#13;</t></si><si><r><t>a</t></r><r><t/></r></si>'
        "<si/></sst>",
}
for name, text in SEEDS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(text.encode("utf-8"))
with open(os.path.join(out, "markup_utf16.xml"), "wb") as f:
    f.write(SEEDS["markup_sst.xml"].encode("utf-16"))
