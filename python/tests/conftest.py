"""What the Python tests share: the command line they compare with."""
import json
import os
import subprocess

import pytest


class CommandLine:
    """stacks_solve, run as a user would; its answers are what the module must match."""

    def __init__(self, path):
        self.path = path

    def run(self, *args, input=None):
        return subprocess.run([self.path, *args], input=input, capture_output=True, text=True)

    def json(self, *args, status=0):
        done = self.run("--json", *args)
        assert done.returncode == status, done.stderr
        return json.loads(done.stdout)

    def error(self, *args):
        """The message of a failing run, without the program's name and the input's."""
        done = self.run(*args)
        assert done.returncode != 0
        return done.stderr.strip()


@pytest.fixture(scope="session")
def cli():
    return CommandLine(os.environ["STACKS_SOLVE"])
