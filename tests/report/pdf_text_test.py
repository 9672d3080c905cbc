#!/usr/bin/env python3
"""Reads back the text of a report PDF as a PDF reader extracts it.

usage: pdf_text_test.py SONALYT_CLI RECORDING RECORD FRAME OUT.pdf

Writes the report of the frame with `sonalyt-cli report`, extracts its text
with pdfminer (Debian's python3-pdfminer) and checks that the texts with
blanks read back as the page shows them, and the bold title once.
"""
import json
import subprocess
import sys

from pdfminer.high_level import extract_text

from pdf_text_checks import report, tab_failures

TITLE = "数字式超声波探伤仪探伤报告"


def main(cli, recording, record, frame, out):
    subprocess.run([cli, "report", recording, record, frame, "-o", out], check=True)
    shown = json.loads(subprocess.run([cli, "frame", recording, record, frame], check=True,
                                      capture_output=True, text=True).stdout)
    text = extract_text(out)

    failures = tab_failures(text)
    if text.count(TITLE) != 1:
        failures.append(f"the title {TITLE} is found {text.count(TITLE)} times")
    # Values of the page with blanks in them, as the main window shows them.
    typed = [shown["LabelPara4"], shown["fields"]["EchoRange"], shown["fields"]["lblReject"] + " %"]
    for value in typed:
        if " " not in value:
            failures.append(f"{value!r} has no blank: the test needs one")
        elif value not in text.splitlines():
            failures.append(f"{value!r} is not a line of the text")
    return report(failures, text)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
