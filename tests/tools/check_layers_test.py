#!/usr/bin/env python3
"""The include check of the build, run with each module's own rules (read
from cmake/VelmoraModules.cmake) on a source that includes one header: the
includes a module may not make are refused, with a line that names them, and
only an accepted source touches the stamp."""

import os
import re
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECK = os.path.join(ROOT, "tools", "check_layers.py")


def module_rules():
    with open(os.path.join(ROOT, "cmake", "VelmoraModules.cmake"), encoding="utf-8") as cmake:
        found = re.findall(r"^set\(VELMORA_LAYERS_(\S+) ([^)]*)\)", cmake.read(), re.M)
    return {module: rules.split() for module, rules in found}


class Layers(unittest.TestCase):
    def test_each_module_refuses_includes_from_above_or_beside(self):
        rules = module_rules()
        rows = [
            ("runtime", '#include "runtime/values.h"', True),
            ("runtime", '#include "ui/window.h"', False),
            ("runtime", '#include "net/http_reader.h"', False),
            ("net", '#include "runtime/values.h"', True),
            ("net", '#include "ui/window.h"', False),
            ("net", '  #  include "app/log.h"', False),
            ("ui", '#include "ui/window.h"', True),
            ("ui", '#include "ui/units/button.h"', False),
            ("ui", '#include "ui/drag_drop/drop_target.h"', False),
            ("ui", '#include "net/http_reader.h"', False),
            ("ui/units", '#include "ui/window.h"', True),
            ("ui/units", '#include "ui/drag_drop/drop_target.h"', False),
            ("ui/drag_drop", '#include "ui/units/button.h"', False),
            ("app", '#include "net/http_reader.h"', True),
            ("app", '#include "ui/units/button.h"', True),
            ("app", '#include "tests/support/window_driver.h"', False),
            ("app", '#include "generated_header.h"', True),
        ]
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "source.cpp")
            stamp = os.path.join(folder, "stamp")
            for module, include, accepted in rows:
                with self.subTest(module=module, include=include):
                    with open(source, "w", encoding="utf-8") as out:
                        out.write("// a source\n" + include + "\n")
                    if os.path.exists(stamp):
                        os.remove(stamp)
                    run = subprocess.run(
                        [sys.executable, CHECK, stamp, module] + rules[module] + ["--", source],
                        capture_output=True, text=True)
                    refusal = "%s:2: module %s may not include " % (source, module)
                    self.assertEqual((accepted, accepted, not accepted),
                                     (run.returncode == 0, os.path.exists(stamp),
                                      run.stderr.startswith(refusal)), run.stderr)


if __name__ == "__main__":
    unittest.main()
