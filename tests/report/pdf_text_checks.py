"""What the PDF text checks share: blanks that read back as tabs, and how
the failures are reported."""
import sys


def tab_failures(text):
    """A failure when the extracted text holds tabs (blanks read as tabs)."""
    if "\t" not in text:
        return []
    return ["tabs in the text: " + repr([line for line in text.splitlines() if "\t" in line])]


def report(failures, text):
    """Prints the failures and the extracted text; the exit status."""
    for failure in failures:
        print(failure, file=sys.stderr)
    if failures:
        print("extracted text: " + repr(text), file=sys.stderr)
        return 1
    return 0
