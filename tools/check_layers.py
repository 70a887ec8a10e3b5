#!/usr/bin/env python3
"""Fails when a module's source includes a header of a module above it.

usage: check_layers.py STAMP MODULE_DIR ALLOWED... -- FILES...

Every `#include "dir/..."` of the FILES must begin with one of the ALLOWED
folder prefixes (each a folder of the tree, "ui/" for instance); a prefix
followed by "!" forbids a subfolder ("ui/units/!"), checked first. Includes
without a folder (generated headers, system headers in quotes) are the
module's own business. On success the STAMP file is touched.
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def main():
    args = sys.argv[1:]
    if "--" not in args or len(args) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    split = args.index("--")
    stamp, module, rules, files = args[0], args[1], args[2:split], args[split + 1:]
    forbidden = [r[:-1] for r in rules if r.endswith("!")]
    allowed = [r for r in rules if not r.endswith("!")]
    errors = []
    for path in files:
        with open(path, encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match or "/" not in match.group(1):
                    continue
                header = match.group(1)
                if any(header.startswith(f) for f in forbidden) or \
                        not any(header.startswith(a) for a in allowed):
                    errors.append("%s:%d: module %s may not include %s" % (path, number, module, header))
    if errors:
        print("\n".join(errors), file=sys.stderr)
        return 1
    with open(stamp, "w"):
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
