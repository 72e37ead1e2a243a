#!/usr/bin/env python3
"""Checks that the Windows workflow parses as YAML and hands the bundle from its Linux job to an
elevated run of run-tests.cmd on a Windows runner; exit status 1 and the reason otherwise."""
import sys

import yaml

path = sys.argv[1]
with open(path, encoding="utf-8") as source:
    workflow = yaml.safe_load(source)
jobs = workflow.get("jobs", {}) if isinstance(workflow, dict) else {}
problems = []
if set(jobs) != {"bundle", "windows"}:
    problems.append("jobs should be bundle and windows, not %s" % sorted(jobs))
else:
    bundle, windows = jobs["bundle"], jobs["windows"]
    steps = lambda job: " ".join(str(step.get("run", "")) + str(step.get("uses", ""))
                                 for step in job.get("steps", []))
    if "scripts/windows.sh --bundle" not in steps(bundle):
        problems.append("the bundle job does not run scripts/windows.sh --bundle")
    if windows.get("needs") != "bundle" or "windows" not in str(windows.get("runs-on")):
        problems.append("the windows job must need bundle and run on a Windows runner")
    if "run-tests.cmd" not in steps(windows) or "results" not in steps(windows) + str(
            [step.get("with", {}) for step in windows.get("steps", [])]):
        problems.append("the windows job must run run-tests.cmd and keep the reports")
for problem in problems:
    print("%s: %s" % (path, problem), file=sys.stderr)
sys.exit(1 if problems else 0)
