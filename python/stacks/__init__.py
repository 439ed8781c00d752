"""The fewest relocations that are always enough to retrieve the items of a yard of stacks, and
best play for both sides.

    >>> import stacks
    >>> stacks.solve("12221000/12120000/11100000/12100000/12200000").value
    20

solve() answers one board or yard, read_instance() reads the literature's instance files,
solve_many() answers many, spread over local processes or a dask.distributed cluster, and
to_frame() and line_frame() turn results into pandas frames.
"""
from ._core import __version__
from ._results import Estimate, Request, Result, Step, Yard
from ._solve import read_instance, solve
from ._batch import solve_many
from ._frame import line_frame, to_frame

__all__ = ["Estimate", "Request", "Result", "Step", "Yard", "__version__", "line_frame", "read_instance",
           "solve", "solve_many", "to_frame"]
