"""stacks.solve and stacks.read_instance against stacks_solve: the same values, lines, request
costs and messages, and what only the module does (lists of stacks, pickling, the GIL)."""
import _thread
import pickle
import random
import threading
import time
from fractions import Fraction

import pytest

import stacks

BATCH_YARD = "12221000/12120000/11100000/12100000/12200000"
INTERACTIVE_YARD = "1222000/1121000/1122000/1221000"
# Lifted items that fit nowhere: the value is "no placement".
CROWDED = "1222/2122/2210"
# Two classes the search needs about 0.05 s for, ten times the limit the tests give it, and whose
# placement rule's cost takes about 0.01 s (ten times more in the sanitizer build), well within
# the half second of grace after a stop.
STOPPED_YARD = "1212200/1122000/1200000/1211100/2121000"
STOPPED_LIMIT = 0.005
# Groups 1 to 4, items that stay (0), an empty stack, and two items of one group.
INSTANCE = "4 4 9\n3 1 3 0\n2 2 1\n0\n4 4 0 2 3\n"


def cli_number(record, key):
    """A number of moves of stacks_solve's JSON as the module gives it."""
    if record.get(key) is None:
        return None
    return Fraction(record.get(key + "_fraction") or str(record[key]))


def assert_same_answers(result, record):
    assert result.status == "optimal" and result.error is None
    assert result.board == record["board"]
    assert result.value == cli_number(record, "value")
    assert result.lower == result.value == result.upper
    assert result.gap == record["gap"] == 0 and result.estimate is None
    assert result.states > 0 and result.seconds > 0
    line = [(s.stack, s.slot, s.cost, s.moved, s.after, s.target, s.moves) for s in result.line]
    assert line == [(*step["request"], cli_number(step, "cost"), step["moved"], step["after"],
                     tuple(step["target"]), [tuple(m) for m in step["moves"]])
                    for step in record["line"]]
    assert all(s.lower == s.cost == s.upper for s in result.line)
    costs = [(r.stack, r.slot, r.cost) for r in result.requests]
    assert costs == [(r["stack"], r["slot"], cli_number(r, "cost")) for r in record["requests"]]


@pytest.mark.parametrize("board, within", [
    (BATCH_YARD, "worst"), (INTERACTIVE_YARD, "worst"), (INTERACTIVE_YARD, "best"),
    (INTERACTIVE_YARD, "random"), (CROWDED, "worst"), (CROWDED, "best")])
def test_a_board_gets_the_answers_of_the_command_line(cli, board, within):
    record = cli.json("--requests", "--within", within, "--board", board)
    assert_same_answers(stacks.solve(board, requests=True, within=within), record)
    cells = [[int(c) for c in stack] for stack in board.split("/")]
    assert_same_answers(stacks.solve(cells, requests=True, within=within, threads=2), record)


@pytest.mark.parametrize("within", ["worst", "best", "random"])
def test_an_instance_gets_the_answers_of_the_command_line(cli, tmp_path, within):
    path = tmp_path / "yard.txt"
    path.write_text(INSTANCE)
    record = cli.json("--requests", "--within", within, "--instance", str(path))
    yard = stacks.read_instance(path)
    assert yard == stacks.Yard(4, [[1, 3, 0], [2, 1], [], [4, 0, 2, 3]])
    assert_same_answers(stacks.solve(yard, requests=True, within=within), record)
    cut = stacks.read_instance(str(path), retrieve_up_to=2)
    assert cut.stacks == [[1, 0, 0], [2, 1], [], [0, 0, 2, 0]]
    # The same yard in the sets' form of two numbers, stacks and items, the height apart.
    two = tmp_path / "two.txt"
    two.write_text("4 9" + INSTANCE[INSTANCE.index("\n"):])
    assert stacks.read_instance(two, height=4) == yard


def test_a_search_the_time_limit_stops_gives_the_bounds_and_rule_line_of_the_command_line(cli):
    # The rule's cost is worked out in the grace after the stop: the rule's line and upper bound
    # do not depend on how far the search got.
    board = STOPPED_YARD
    record = cli.json("--time-limit", str(STOPPED_LIMIT), "--threads", "1", "--board", board,
                      status=4)
    result = stacks.solve(board, time_limit=STOPPED_LIMIT)
    assert (result.status, result.value, result.error) == ("time_limit", None, None)
    assert result.upper == record["upper"]
    assert 0 < result.lower < result.upper and result.seconds < 5
    assert result.gap == pytest.approx((result.upper - result.lower) / result.upper)
    assert record["gap"] == pytest.approx((record["upper"] - record["lower"]) / record["upper"],
                                          abs=1e-6)
    assert result.estimate is None
    line = [(s.stack, s.slot, s.cost, s.lower, s.upper, s.moved, s.after, s.target, s.moves)
            for s in result.line]
    assert line == [(*step["request"], None, step["lower"], step["upper"], step["moved"],
                     step["after"], tuple(step["target"]), [tuple(m) for m in step["moves"]])
                    for step in record["line"]]


def test_the_groups_of_a_line_are_the_items_asked_for():
    result = stacks.solve(stacks.Yard(4, [[1, 3, 0], [2, 1], [], [4, 0, 2, 3]]), within="best")
    assert sorted(step.group for step in result.line) == [1, 1, 2, 2, 3, 3, 4]


@pytest.mark.parametrize("board, args", [
    ("12x/000", ["--board", "12x/000"]),
    ("12/1", ["--board", "12/1"]),
    ("", ["--board", ""]),
    ("/".join(["1" * 20] * 10), ["--board", "/".join(["1" * 20] * 10)]),
])
def test_a_bad_board_is_a_value_error_with_the_command_lines_words(cli, board, args):
    with pytest.raises(ValueError) as raised:
        stacks.solve(board)
    assert cli.error(*args) == f"stacks_solve: --board: {raised.value}"


@pytest.mark.parametrize("text", ["3 4 5\n2 3 1\n3 2 0 4\n", "2 2 2\n1 1\n3 1 1 1\n", "1 x 1\n"])
def test_a_bad_instance_is_a_value_error_with_the_command_lines_words(cli, tmp_path, text):
    path = tmp_path / "bad.txt"
    path.write_text(text)
    with pytest.raises(ValueError) as raised:
        stacks.read_instance(path)
    assert cli.error("--instance", str(path)) == f"stacks_solve: {raised.value}"


def test_an_unreadable_instance_is_an_os_error_with_the_command_lines_words(cli, tmp_path):
    missing = str(tmp_path / "missing.txt")
    with pytest.raises(OSError) as raised:
        stacks.read_instance(missing)
    assert cli.error("--instance", missing) == f"stacks_solve: {raised.value}"


def test_the_memory_limit_is_a_memory_error_with_the_command_lines_words(cli):
    with pytest.raises(MemoryError) as raised:
        stacks.solve(BATCH_YARD, max_memory="1K")
    assert "(raise max_memory)" in str(raised.value)
    assert cli.error("--max-memory", "1K", "--board", BATCH_YARD) == \
        f"stacks_solve: --board: {raised.value}".replace("max_memory", "--max-memory")


def test_max_memory_0_is_no_limit():
    assert stacks.solve(INTERACTIVE_YARD, max_memory=0, line=False).value == 19


@pytest.mark.parametrize("board, options", [
    ([[0, 1], [1, 1]], {}),                       # an item above an empty slot
    ([[1, 3], [1, 1]], {}),                       # a cell that is no item
    (stacks.Yard(2, [[1, 2, 1]]), {}),            # more items than the height
    (stacks.Yard(2, [[1, -1]]), {}),              # a group below 0
    (BATCH_YARD, {"within": "sideways"}),
    (BATCH_YARD, {"max_memory": "lots"}),
    (BATCH_YARD, {"threads": 0}),
    (BATCH_YARD, {"time_limit": 0}),
    (BATCH_YARD, {"time_limit": "soon"}),
    # Numbers beyond any the engine holds.
    (BATCH_YARD, {"threads": 2**40}),
    (BATCH_YARD, {"max_memory": 2**70}),
    (BATCH_YARD, {"time_limit": 10**400}),
    ([[1, 2**70], [0, 0]], {}),
    (stacks.Yard(2, [[1, -2**70]]), {}),
    (stacks.Yard(2**70, [[1]]), {}),
])
def test_what_cannot_be_solved_as_asked_is_a_value_error(board, options):
    with pytest.raises(ValueError) as raised:
        stacks.solve(board, **options)
    assert "\n" not in str(raised.value)


@pytest.mark.parametrize("options", [{"retrieve_up_to": -1}, {"height": 0}, {"height": 2**70}])
def test_an_instance_read_as_it_cannot_be_is_a_value_error(tmp_path, options):
    path = tmp_path / "yard.txt"
    path.write_text(INSTANCE)
    with pytest.raises(ValueError):
        stacks.read_instance(path, **options)
    assert stacks.read_instance(path, retrieve_up_to=2**70) == stacks.read_instance(path)


def test_a_result_survives_pickling():
    result = stacks.solve(INTERACTIVE_YARD, within="random", requests=True)
    assert isinstance(result.value, Fraction)
    assert pickle.loads(pickle.dumps(result)) == result


def test_other_threads_run_while_the_engine_searches():
    # A yard the engine takes a while over; while it searches, this thread must keep running.
    board = "11122100/12000000/21212200/21221110/22000000/22111000"
    done = []
    solver = threading.Thread(target=lambda: done.append(stacks.solve(board, line=False)))
    longest_pause, last = 0.0, time.perf_counter()
    solver.start()
    while solver.is_alive():
        now = time.perf_counter()
        longest_pause, last = max(longest_pause, now - last), now
    solver.join()
    assert done[0].seconds > 0.05
    assert longest_pause < done[0].seconds / 2


def test_a_stopped_random_order_without_an_upper_bound_estimates_the_rules_mean():
    # 150 items in 5 groups: neither the search nor the rule's exact mean is within reach.
    draw = random.Random(7)
    groups = [1 + i % 5 for i in range(150)]
    draw.shuffle(groups)
    yard = stacks.Yard(12, [groups[i:i + 10] for i in range(0, 150, 10)] + [[]] * 5)
    result = stacks.solve(yard, within="random", time_limit=0.05)
    assert (result.status, result.upper, result.gap) == ("time_limit", None, None)
    estimate = result.estimate
    assert isinstance(estimate, stacks.Estimate) and estimate.orders == 1000
    assert result.lower < estimate.low < estimate.mean < estimate.high


def test_an_interrupt_stops_the_search_and_is_raised():
    # A hundred items in known order, far more than a minute's search: the interrupt, not the
    # time limit, must end it.
    rng = random.Random(7)
    items = list(range(1, 101))
    rng.shuffle(items)
    yard = stacks.Yard(12, [items[s * 10:(s + 1) * 10] for s in range(10)])
    timer = threading.Timer(0.3, _thread.interrupt_main)
    started = time.perf_counter()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        stacks.solve(yard, within="best", time_limit=120)
    assert time.perf_counter() - started < 60


def test_the_version_is_the_command_lines(cli):
    assert cli.run("--version").stdout.split() == ["stacks_solve", stacks.__version__]


def test_results_turn_into_frames_without_object_columns():
    results = [stacks.solve("12/00"), stacks.solve(INTERACTIVE_YARD, within="random"),
               stacks.solve(CROWDED),
               stacks.solve(STOPPED_YARD, time_limit=STOPPED_LIMIT),
               *stacks.solve_many(["12x/000"])]
    frame = stacks.to_frame(results)
    assert "object" not in set(map(str, frame.dtypes))
    assert list(frame["status"].fillna("none")) == ["optimal", "optimal", "optimal",
                                                     "time_limit", "none"]
    assert frame["value"][0] == 1.0 and frame["value_fraction"][0] == "1/1"
    assert frame["value_fraction"][1] == "555071/40320"
    assert frame["value"][1] == pytest.approx(555071 / 40320)
    assert frame["value"].isna().tolist() == [False, False, True, True, True]
    assert frame["gap"][3] == pytest.approx(results[3].gap) and frame["gap"][0] == 0
    assert frame["error"].isna().tolist() == [True, True, True, True, False]
    line = stacks.line_frame(results[1])
    assert "object" not in set(map(str, line.dtypes))
    assert len(line) == len(results[1].line)
    assert line["cost_fraction"][0] == "4607/315"
    assert line["moves"][0] == " ".join(f"{a}->{b}" for a, b in results[1].line[0].moves)
