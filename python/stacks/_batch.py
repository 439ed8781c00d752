"""Many boards at once, spread over local processes or the workers of a Dask cluster."""
from typing import Iterable, List

from ._results import Result, failure
from ._solve import run


def solve_one(board, options: dict) -> Result:
    """A board's result, or one whose error says why there is none: a batch loses no entry,
    whatever the board or the options hold."""
    try:
        return run(board, **options)
    except Exception as error:  # every failure belongs in its entry
        return failure(str(error), within=options.get("within", "worst"))


def solve_many(boards: Iterable, client=None, **options) -> List[Result]:
    """Solves every board (as solve() takes them, with the same keyword options) and gives the
    results in input order. A board that cannot be solved gives a result with value None and
    the message in error (status "memory_limit" for the memory limit), never a lost entry.

    client: a dask.distributed Client; the boards are then spread over its cluster's workers,
    which must be able to import stacks. Without one they are spread over local processes, one
    a core."""
    boards = list(boards)
    if client is not None:
        futures = client.map(solve_one, boards, options=options, pure=False)
        return client.gather(futures)
    import dask
    tasks = [dask.delayed(solve_one, pure=False)(board, options) for board in boards]
    return list(dask.compute(*tasks, scheduler="processes"))
