#!/usr/bin/env python3
"""Validates call reports against docs/report.schema.json: exit 0 when every one is valid."""
import json
import sys

import jsonschema

schema_path, *reports = sys.argv[1:]
with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
validator = jsonschema.Draft202012Validator(schema, format_checker=jsonschema.FormatChecker())
failed = False
for path in reports:
    with open(path, encoding="utf-8") as f:
        report = json.load(f)
    for error in validator.iter_errors(report):
        failed = True
        print(f"{path}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
sys.exit(1 if failed else 0)
