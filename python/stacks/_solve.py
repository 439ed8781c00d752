"""One board or yard through the engine, with the command line's checks and messages."""
from typing import Optional, Union

from . import _core
from ._results import Result, Yard, result_of

Board = Union[str, list, Yard]


# The engine takes C ints and sizes; Python's integers have no bound.
_INT_MAX = 2**31 - 1
_SIZE_MAX = 2**64 - 1


def _checked_int(value, name: str, meaning: str):
    """value, when it is an integer the engine can take; a larger one is a ValueError that says
    what was meant. Other types go on to the engine, which names what it takes."""
    if isinstance(value, int) and not -_INT_MAX - 1 <= value <= _INT_MAX:
        raise ValueError(f"{name}: {value} is not {meaning}")
    return value


def _stacks(stacks, item: str, meaning: str):
    """The stacks of a board or yard, every item checked as _checked_int checks it."""
    return [[_checked_int(cell, f"stack {i}, {item} {j}", meaning) for j, cell in enumerate(stack)]
            if isinstance(stack, (list, tuple)) else stack
            for i, stack in enumerate(stacks)]


def _seconds(time_limit) -> Optional[float]:
    if time_limit is None:
        return None
    try:
        return float(time_limit)
    except OverflowError:
        raise ValueError(f"time_limit: {time_limit!r} is not a number of seconds above 0") from None


def _memory_bytes(max_memory) -> Optional[int]:
    if max_memory is None:
        return None
    size = None
    if isinstance(max_memory, str):
        size = _core.parse_memory_size(max_memory)
    elif (isinstance(max_memory, int) and not isinstance(max_memory, bool)
          and 0 <= max_memory <= _SIZE_MAX):
        size = max_memory
    if size is None:
        raise ValueError(f"max_memory: {max_memory!r} is not a size (a whole number of bytes, 0 "
                         "for no limit, or a text such as '512M' with K, M or G)")
    return size


def run(board: Board, *, requests=False, time_limit=None, max_memory=None, threads=None,
        within="worst", line=True) -> Result:
    """solve() without turning the memory limit into an exception: the result says so."""
    options = dict(within=within, line=line, requests=requests,
                   max_memory=_memory_bytes(max_memory), time_limit=_seconds(time_limit),
                   threads=1 if threads is None else _checked_int(
                       threads, "threads", "a number of threads from 1 to 1024"))
    if isinstance(board, str):
        fields = _core.solve_compact(board, **options)
    elif isinstance(board, Yard):
        height = _checked_int(board.height, "height", "a capacity (a number of slots from 1)")
        groups = _stacks(board.stacks, "item", "a group (0 an item that stays, up to 1000000)")
        fields = _core.solve_yard(height, groups, **options)
    elif isinstance(board, (list, tuple)):
        cells = _stacks(board, "slot", "a cell (0 empty, 1 target, 2 other item)")
        fields = _core.solve_cells(cells, **options)
    else:
        raise TypeError(f"board: a compact-form str, a list of stacks or a Yard, "
                        f"not {type(board).__name__}")
    return result_of(fields)


def solve(board: Board, *, requests=False, time_limit=None, max_memory=None, threads=None,
          within="worst", line=True) -> Result:
    """Solves one board and works out best play.

    board: a two-class board in compact form ("12221000/12120000/..." as stacks_solve --board
    takes it), the same as a list of stacks (each a list of cells bottom slot first: 0 empty,
    1 target, 2 other item), or a Yard of retrieval groups (see read_instance).
    within: who orders the requests inside a group: "worst", "best" or "random".
    requests: also give the cost of every request on the board. line: work out best play.
    max_memory: bytes the search's table may take (or "512M"; 0 for no limit); by default half
    the physical memory. time_limit: seconds; a search it stops gives status "time_limit", no
    value, the bounds it proved and the line of a fixed placement rule. threads: how many
    threads search for the value, sharing one table (None: 1, so that solves run side by side
    do not compete); the answers are the same with any number.

    Raises ValueError for a bad board or option (a number out of range too), MemoryError when
    the search needs more than max_memory, both with the messages of stacks_solve (naming
    max_memory). The GIL is released while the engine searches.
    """
    result = run(board, requests=requests, time_limit=time_limit, max_memory=max_memory,
                 threads=threads, within=within, line=line)
    if result.status == "memory_limit":
        raise MemoryError(result.error)
    return result


def read_instance(path, retrieve_up_to: Optional[int] = None,
                  height: Optional[int] = None) -> Yard:
    """The Yard of an instance file of the literature: a first line "S H N" (stacks, capacity,
    items), then a line a stack, its height and its items' groups bottom first (0: stays).
    With retrieve_up_to K only groups 1 to K are asked for and later items stay. height gives
    the capacity for the sets whose first line is "S N" (stacks, items); a first line of three
    numbers must agree with it.

    Raises ValueError for a file that is not an instance (or a retrieve_up_to below 0, a height
    below 1), OSError for one that cannot be read, with the messages of stacks_solve
    --instance."""
    if isinstance(retrieve_up_to, int) and retrieve_up_to > _INT_MAX:
        retrieve_up_to = _INT_MAX  # past the last group: every group is asked for
    height = _checked_int(height, "height", "a capacity (a number of slots from 1)")
    capacity, stacks = _core.read_instance(path, retrieve_up_to, height)
    return Yard(capacity, stacks)
