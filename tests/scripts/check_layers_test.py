#!/usr/bin/env python3
"""Runs scripts/check-layers on small trees made in a temporary folder."""

import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

CHECK = Path(__file__).resolve().parents[2] / "scripts" / "check-layers"


def run_check(files):
    """Writes the files (path -> text) into a fresh tree and checks it."""
    with tempfile.TemporaryDirectory() as root:
        for relative, text in files.items():
            path = Path(root) / relative
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text, encoding="utf-8")
        result = subprocess.run(
            [sys.executable, str(CHECK), root], capture_output=True, text=True, check=False
        )
        return result.returncode, result.stderr


class CheckLayersTest(unittest.TestCase):
    def test_cases(self):
        cases = [
            # (what, files, expected exit code, texts the report must hold)
            (
                "an include of a floor below passes",
                {"src/tree/a.cpp": '#include "net/b.h"\n#include "framework/c.h"\n'},
                0,
                [],
            ),
            (
                "an include within the same folder passes",
                {"src/net/a.cpp": '#include "net/b.h"\n#include "b.h"\n'},
                0,
                [],
            ),
            (
                "an upward include fails with its file, line and both floors",
                {"src/net/a.cpp": '// top\n#include <QString>\n\n#include "app/theapp.h"\n'},
                1,
                ["src/net/a.cpp:4:", "floor 'net'", "'app/theapp.h'", "floor 'app'"],
            ),
            (
                "an include in a comment is ignored",
                {
                    "src/net/a.cpp": '// #include "app/theapp.h"\n'
                    '/* old:\n#include "frame/mainframe.h"\n*/\n'
                },
                0,
                [],
            ),
            (
                "an include in a string or raw string is ignored",
                {
                    "src/net/a.cpp": 'const char* s = "#include \\"app/x.h\\"";\n'
                    'const char* r = R"(\n#include "app/y.h"\n)";\n'
                },
                0,
                [],
            ),
            (
                "the line count survives a block comment before the break",
                {"src/ui/a.h": '/*\n two\n three\n*/\n#include "tree/mytree.h"\n'},
                1,
                ["src/ui/a.h:5:"],
            ),
            (
                "a test may include its floor, lower floors and the support folder",
                {"tests/tree/a_test.cpp": '#include "support/fake.h"\n#include "tree/x.h"\n'
                 '#include "settings/fixture.h"\n'},
                0,
                [],
            ),
            (
                "a test may not include a floor above its own",
                {"tests/net/a_test.cpp": '#include "server/mysystem.h"\n'},
                1,
                ["tests/net/a_test.cpp:1:", "floor 'server'"],
            ),
            (
                "only the program may include the application from the top",
                {"src/main.cpp": '#include "app/theapp.h"\n'},
                0,
                [],
            ),
        ]
        for what, files, expected_code, texts in cases:
            with self.subTest(what):
                code, report = run_check(files)
                self.assertEqual(code, expected_code, report)
                for text in texts:
                    self.assertIn(text, report)


if __name__ == "__main__":
    unittest.main()
