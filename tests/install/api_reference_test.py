"""The API reference: Doxygen builds it from kq7120.h without a warning, and every export of the
header is documented in the group under which README.md lists it.
Usage: api_reference_test.py DOXYFILE HEADER"""
import pathlib
import re
import subprocess
import sys
import tempfile


def main() -> int:
    doxyfile, header = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    exports = re.findall(r"KQ7120_API ViStatus (\w+)\(", header.read_text())
    with tempfile.TemporaryDirectory() as output:
        configuration = doxyfile.read_text() + f"\nOUTPUT_DIRECTORY = {output}\n"
        run = subprocess.run(["doxygen", "-"], input=configuration, capture_output=True, text=True,
                             timeout=120)
        if run.returncode != 0 or run.stderr.strip():
            print(run.stderr)
            return 1
        html = pathlib.Path(output) / "html"
        documented = set()
        for page in html.glob("group__*.html"):
            documented |= set(re.findall(r'class="memname">ViStatus (kq7120_\w+)', page.read_text()))
        missing = sorted(set(exports) - documented)
        constants = (html / "group__constants.html").read_text()
        codes_listed = "kq7120_INSTRUMENT_ERROR" in constants and "Invalid Manufacturer ID" in constants
        if missing or not codes_listed:
            print("not in a group:", missing)
            return 1
    print(f"{len(exports)} exports documented in their groups")
    return 0


if __name__ == "__main__":
    sys.exit(main())
