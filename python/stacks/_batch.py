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


def _progress_bar(total: int, wanted: bool):
    """A bar of tqdm on standard error when it is a terminal; None when none is wanted."""
    if not wanted:
        return None
    from tqdm import tqdm
    return tqdm(total=total, unit="board", disable=None)  # disable=None: off unless a terminal


def _on_processes(boards: list, options: dict, bar) -> List[Result]:
    import dask
    from dask.callbacks import Callback

    tasks = [dask.delayed(solve_one, pure=False)(board, options) for board in boards]

    class Ticks(Callback):
        def _posttask(self, key, result, dsk, state, worker_id):
            if bar is not None and str(key).startswith("solve_one"):
                bar.update(1)

    with Ticks():
        return list(dask.compute(*tasks, scheduler="processes"))


def _on_cluster(boards: list, options: dict, bar, client) -> List[Result]:
    futures = client.map(solve_one, boards, options=options, pure=False)
    if bar is not None:
        from distributed import as_completed
        for _ in as_completed(futures):
            bar.update(1)
    return client.gather(futures)


def solve_many(boards: Iterable, client=None, progress: bool = False, **options) -> List[Result]:
    """Solves every board (as solve() takes them, with the same keyword options) and gives the
    results in input order. A board that cannot be solved gives a result with value None and
    the message in error (status "memory_limit" for the memory limit), never a lost entry.

    client: a dask.distributed Client; the boards are then spread over its cluster's workers,
    which must be able to import stacks. Without one they are spread over local processes, one
    a core, which start by importing the script that called: a script must call solve_many
    under `if __name__ == "__main__":`.
    progress: a bar of the boards solved, on standard error when that is a terminal."""
    boards = list(boards)
    bar = _progress_bar(len(boards), progress)
    try:
        if client is not None:
            return _on_cluster(boards, options, bar, client)
        return _on_processes(boards, options, bar)
    finally:
        if bar is not None:
            bar.close()
