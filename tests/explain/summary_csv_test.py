#!/usr/bin/env python3
"""fdexplain --summary --csv as a spreadsheet or a grading script reads it: through Python's csv
module, which is strict about RFC 4180's quoting. Every record must parse, name its file exactly
as it was given (commas, quotes, line feeds and accents included), agree with the JSON report on
the same file, and end in CR LF; files that cannot be read get a row with their error.

    summary_csv_test.py FDEXPLAIN CASES_DIR EXAMPLES_DIR
"""
import csv
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

COLUMNS = ["file", "preserving", "textbook_preserving", "lossless", "textbook_lossless",
           "not_preserved_lines", "notes", "error"]
FDEXPLAIN, CASES_DIR, EXAMPLES_DIR = sys.argv[1:4]


def run(folder, *arguments):
    """fdexplain's standard output as bytes, and its exit status."""
    done = subprocess.run([FDEXPLAIN, *arguments], cwd=folder, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    return done.stdout, done.returncode


def parse(output):
    """The header and the records, as csv reads them; fails on anything RFC 4180 does not allow."""
    rows = list(csv.reader(io.StringIO(output.decode("utf-8"), newline=""), strict=True))
    return rows[0], [dict(zip(COLUMNS, row, strict=True)) for row in rows[1:]]


def record_ends(output):
    """The line ends that end records: those outside double quotes."""
    ends, quoted = [], False
    for i, byte in enumerate(output):
        if byte == ord('"'):
            quoted = not quoted
        elif byte == ord("\n") and not quoted:
            ends.append(output[i - 1:i + 1])
    return ends


class SummaryCsvTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="summary-csv-")
        self.addCleanup(shutil.rmtree, self.folder)

    def write(self, name, text):
        with open(os.path.join(self.folder, name), "w", encoding="utf-8", newline="") as file:
            file.write(text)

    def test_awkward_names_and_unreadable_files_among_readable_ones(self):
        names = ["plain.txt", "comma, in it.txt", 'say "hi".txt', "line\nfeed.txt",
                 "ékezetes őrző.txt", " blank at the edge.txt"]
        for name in names:
            self.write(name, "A,B\nC\n\nA->B\nA->C\n")
        os.mkdir(os.path.join(self.folder, "a folder"))
        given = names[:3] + ["missing.txt"] + names[3:] + ["a folder"]
        output, status = run(self.folder, "--summary", "--csv", "--", *given)
        self.assertEqual(status, 2)
        header, records = parse(output)
        self.assertEqual(header, COLUMNS)
        self.assertEqual([record["file"] for record in records], given)
        self.assertEqual(record_ends(output), [b"\r\n"] * (len(given) + 1))
        for record in records:
            if record["file"] in ("missing.txt", "a folder"):
                self.assertTrue(record["error"].startswith("cannot be read"), record)
                self.assertEqual([record[c] for c in COLUMNS[1:7]], [""] * 6, record)
            else:
                self.assertEqual(record["preserving"], "false")
                self.assertEqual(record["textbook_preserving"], "false")
                # No row holds both A and C, and nothing joins them.
                self.assertEqual((record["lossless"], record["textbook_lossless"]),
                                 ("false", "false"))
                self.assertEqual(record["not_preserved_lines"], "5")
                self.assertEqual(record["error"], "")

    def test_agrees_with_the_json_report_on_every_case_and_example(self):
        inputs = [os.path.join(CASES_DIR, case, "input") for case in sorted(os.listdir(CASES_DIR))]
        inputs += [os.path.join(EXAMPLES_DIR, name) for name in sorted(os.listdir(EXAMPLES_DIR))]
        for rule in ("any", "textbook"):
            summary, summary_status = run(self.folder, "--summary", "--csv", "--rule=" + rule,
                                          "--", *inputs)
            report, report_status = run(self.folder, "--json", "--rule=" + rule, "--", *inputs)
            self.assertEqual(summary_status, report_status)
            _, records = parse(summary)
            reports = [json.loads(line) for line in report.decode("utf-8").splitlines()]
            self.assertEqual(len(records), len(inputs))
            for record, expected in zip(records, reports, strict=True):
                with self.subTest(file=record["file"], rule=rule):
                    self.assertEqual(record["file"], expected["file"])
                    self.assertEqual(record["preserving"], json.dumps(expected["preserving"]))
                    textbook = expected["textbook_preserving"]
                    self.assertEqual(record["textbook_preserving"],
                                     "" if textbook is None else json.dumps(textbook))
                    for column in ("lossless", "textbook_lossless"):
                        verdict = expected[column]
                        self.assertEqual(record[column],
                                         "" if verdict is None else json.dumps(verdict))
                    failing = [str(d["line"]) for d in expected["dependencies"]
                               if not d["preserved"]]
                    self.assertEqual(record["not_preserved_lines"], ";".join(failing))
                    # Notes on odd lines: not the final empty entry's, nor those on what a
                    # subschema keeps, which stand on its line too.
                    not_odd = ("final-empty-entry", "projection-cut", "rules-part-on-subschema")
                    on_lines = [note for note in expected["notes"]
                                if note["line"] is not None and note["kind"] not in not_odd]
                    self.assertEqual(record["notes"], str(len(on_lines)))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
