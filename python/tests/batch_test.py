"""stacks.solve_many on a Dask cluster of two worker processes, and on local processes: every
board's value as stacks_solve --batch gives it, in input order, failures kept in place."""
import csv
import io
import os
import random
import subprocess
import sys

import pytest
from dask.distributed import Client, LocalCluster

import stacks

BAD = "12x/000"


def random_boards(count, seed):
    """Small boards of all shapes, a few crowded enough to have no placement."""
    rng = random.Random(seed)
    boards = []
    for _ in range(count):
        columns, height = rng.randint(2, 5), rng.randint(2, 5)
        cells = [[0] * height for _ in range(columns)]
        for _ in range(rng.randint(0, columns * height - 1)):
            stack = rng.choice([c for c in cells if c[-1] == 0])
            stack[stack.index(0)] = rng.choice([1, 2])
        boards.append("/".join("".join(map(str, c)) for c in cells))
    return boards


def command_line_values(cli, boards):
    """{input line: value} of stacks_solve --batch --csv; a line it cannot solve has no row."""
    done = cli.run("--batch", "-", "--csv", input="\n".join(boards) + "\n")
    rows = csv.DictReader(io.StringIO(done.stdout))
    return {int(row["line"]): int(row["value"]) if row["value"] else None for row in rows}


@pytest.fixture(scope="module")
def client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                      dashboard_address=None) as cluster, Client(cluster) as client:
        yield client


def check_batch(cli, boards, results):
    expected = command_line_values(cli, boards)
    with pytest.raises(ValueError) as bad:
        stacks.solve(BAD)
    assert len(results) == len(boards)
    for number, (board, result) in enumerate(zip(boards, results), start=1):
        if board == BAD:
            assert result.value is None and result.error == str(bad.value)
        else:
            assert result.error is None and result.value == expected[number], board


# Before the cluster is started: without a client, no cluster is used.
def test_local_processes_give_every_value_of_the_command_line_in_input_order(cli):
    boards = random_boards(12, seed=12) + [BAD]
    check_batch(cli, boards, stacks.solve_many(boards, line=False))


def test_a_cluster_gives_the_same(cli, client):
    boards = random_boards(60, seed=11)
    boards.insert(17, BAD)
    results = stacks.solve_many(boards, client=client, line=False)
    assert len(client.scheduler_info()["workers"]) == 2
    check_batch(cli, boards, results)


def test_the_memory_limit_stops_one_board_not_the_batch(client):
    small, big = "12/10", "12221000/12120000/11100000/12100000/12200000"
    results = stacks.solve_many([small, big], client=client, max_memory="64K")
    assert [r.status for r in results] == ["optimal", "memory_limit"]
    assert results[1].value is None and "raise max_memory" in results[1].error


def test_a_board_of_any_kind_is_an_entry_of_its_own():
    results = stacks.solve_many(["12/00", 42, [[1, 2**70]], "12/00"], line=False)
    assert [r.value for r in results] == [1, None, None, 1]
    assert "not int" in results[1].error
    assert "is not a cell" in results[2].error


# A script as docs/python.md writes one: local processes need the guard of __main__.
PROGRESS_SCRIPT = """
import stacks
if __name__ == "__main__":
    results = stacks.solve_many(["12/00", "121/000", "12x/000"] * 4, line=False, progress=True)
    print([r.value for r in results])
"""


@pytest.mark.parametrize("terminal", [False, True])
def test_progress_shows_a_bar_on_a_terminal_only(tmp_path, terminal):
    script = tmp_path / "many.py"
    script.write_text(PROGRESS_SCRIPT)
    command = [sys.executable, str(script)]
    if terminal:  # script(1) gives the program a terminal of its own
        command = ["script", "-qec", " ".join(command), "/dev/null"]
    done = subprocess.run(command, capture_output=True, text=True, timeout=300,
                          env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    output = done.stdout + done.stderr
    assert "[1, 3, None, 1, 3, None, 1, 3, None, 1, 3, None]" in output
    assert ("12/12" in output) == terminal, output
