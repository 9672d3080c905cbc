#!/usr/bin/env python3
"""Reads back the text of the indication report as a PDF reader extracts it.

usage: indication_pdf_text_test.py SONALYT_CLI RECORDING OUT.pdf [OPTION...]

Writes the report of every indication with `sonalyt-cli report --indications`
(the options are passed on), extracts its text with pdfminer (Debian's
python3-pdfminer) and checks that blanks read back as blanks, each bold
title once, and the summary's table with every indication's position.
"""
import json
import subprocess
import sys

from pdfminer.high_level import extract_text

from pdf_text_checks import report, tab_failures

SUMMARY_TITLE = "探伤指示汇总"
PAGE_TITLE = "数字式超声波探伤仪探伤报告"


def main(cli, recording, out, *options):
    subprocess.run([cli, "report", recording, "--indications", *options, "-o", out], check=True)
    listed = json.loads(subprocess.run([cli, "indications", recording, *options], check=True,
                                       capture_output=True, text=True).stdout)
    indications = listed["indications"]
    text = extract_text(out)
    summary = extract_text(out, page_numbers=[0])

    failures = tab_failures(text)
    if summary.count(SUMMARY_TITLE) != 1:
        failures.append(f"the summary title is found {summary.count(SUMMARY_TITLE)} times")
    if text.count(PAGE_TITLE) != len(indications):
        failures.append(f"the page title is found {text.count(PAGE_TITLE)} times "
                        f"for {len(indications)} indications")
    for i in indications:
        position = f"记录 {i['PeakRecord']} 帧 {i['PeakFrame']}"
        if position not in summary:
            failures.append(f"{position!r} is not in the summary")
        if i["Readouts"][3] not in text.splitlines():
            failures.append(f"{i['Readouts'][3]!r} is not a line of the text")
    return report(failures, text)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
