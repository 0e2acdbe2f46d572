#!/usr/bin/env python3
"""The workflow .github/workflows/release.yml, which cannot run here, read
against the README and doc/building.md: its triggers, its jobs in Debian 12,
one for each part of tests/run_all.sh, side by side, each running the
README's test command for its part, and the release once they all pass
(git first in each, so that the checkout is a clone); the release's files
and web site; and the release command installing every tool that
tools/dist.sh asks for."""

import os
import re
import unittest

from commun import importer

RACINE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
GIT = "apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y git"


def lire(chemin):
    with open(os.path.join(RACINE, chemin), encoding="utf-8") as f:
        return f.read()


def etapes(job):
    return [("run", e["run"]) if "run" in e else (e["uses"].split("@")[0], e.get("with", {})) for e in job["steps"]]


class Workflow(unittest.TestCase):
    def test_the_workflow_runs_the_readmes_commands(self):
        yaml = importer("yaml", "python3-yaml", self)
        w = yaml.safe_load(lire(".github/workflows/release.yml"))
        commandes = [c for page in ("README.md", "doc/building.md")
                     for bloc in re.findall(r"```sh\n(.*?)```", lire(page).replace("\\\n", ""), re.S)
                     for c in bloc.splitlines()]
        [test] = [c for c in commandes if "tests/run_all.sh" in c]
        [release] = [c for c in commandes if "tools/dist.sh" in c]
        self.assertIn(GIT, commandes)
        self.assertEqual(lire(".ci/run").splitlines()[-1], test)
        parties = re.search(r"^toutes=\((.*)\)$", lire("tests/run_all.sh"), re.M).group(1).split()

        self.assertEqual(w.get("on", w.get(True)), {"push": {"branches": ["**"], "tags": ["v*"]}})  # YAML 1.1: on is True
        self.assertEqual(sorted(w["jobs"]), sorted(["release"] + ["test-" + p for p in parties]))
        for partie in parties:
            t = w["jobs"]["test-" + partie]
            self.assertEqual(t["container"], "debian:12")
            self.assertNotIn("if", t)
            self.assertNotIn("needs", t)  # side by side
            self.assertEqual(etapes(t), [("run", GIT), ("actions/checkout", {}), ("run", test + " " + partie)])
        r = w["jobs"]["release"]
        self.assertEqual(r["container"], "debian:12")
        self.assertEqual((r["if"], sorted(r["needs"])), ("startsWith(github.ref, 'refs/tags/v')",
                                                         sorted("test-" + p for p in parties)))
        self.assertEqual(r["permissions"], {"contents": "write", "pages": "write", "id-token": "write"})
        self.assertEqual(r["environment"]["name"], "github-pages")
        self.assertEqual(etapes(r), [
            ("run", GIT), ("actions/checkout", {}), ("run", release),
            ("softprops/action-gh-release", {"files": "dist/*", "fail_on_unmatched_files": True}),
            ("actions/upload-pages-artifact", {"path": "build/site"}), ("actions/deploy-pages", {})])

        outils = re.search(r"for outil in (.*?); do", lire("tools/dist.sh"), re.S).group(1)
        paquets = re.findall(r"\S+:([^\s\\]+)", outils)
        self.assertGreaterEqual(len(paquets), 10)
        self.assertEqual([p for p in paquets if p not in re.split(r"[\s()]+", release)], [])


if __name__ == "__main__":
    unittest.main()
