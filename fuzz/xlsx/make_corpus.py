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
