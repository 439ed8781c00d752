"""One board or yard through the engine, with the command line's checks and messages."""
from typing import Optional, Union

from . import _core
from ._results import Result, Yard, result_of

Board = Union[str, list, Yard]


def _memory_bytes(max_memory) -> Optional[int]:
    if max_memory is None:
        return None
    size = None
    if isinstance(max_memory, str):
        size = _core.parse_memory_size(max_memory)
    elif isinstance(max_memory, int) and not isinstance(max_memory, bool) and max_memory >= 0:
        size = max_memory
    if size is None:
        raise ValueError(f"max_memory: {max_memory!r} is not a size (a whole number of bytes, 0 "
                         "for no limit, or a text such as '512M' with K, M or G)")
    return size


def run(board: Board, *, requests=False, time_limit=None, max_memory=None, threads=None,
        within="worst", line=True) -> Result:
    """solve() without turning the memory limit into an exception: the result says so."""
    options = dict(within=within, line=line, requests=requests,
                   max_memory=_memory_bytes(max_memory),
                   time_limit=None if time_limit is None else float(time_limit),
                   threads=1 if threads is None else threads)
    if isinstance(board, str):
        fields = _core.solve_compact(board, **options)
    elif isinstance(board, Yard):
        fields = _core.solve_yard(board.height, board.stacks, **options)
    elif isinstance(board, (list, tuple)):
        fields = _core.solve_cells(board, **options)
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

    Raises ValueError for a bad board, MemoryError when the search needs more than max_memory,
    both with the messages of stacks_solve. The GIL is released while the engine searches.
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

    Raises ValueError for a file that is not an instance, OSError for one that cannot be read,
    with the messages of stacks_solve --instance."""
    capacity, stacks = _core.read_instance(path, retrieve_up_to, height)
    return Yard(capacity, stacks)
