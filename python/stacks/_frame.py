"""Results as pandas frames, for the tables of a paper: every column of a plain dtype, numbers
of moves as decimals (float64, NaN where there is none) with the exact fraction beside them as
text, so that nothing is left as Python objects."""
from fractions import Fraction
from typing import Iterable, List, Optional

from ._results import Number, Result


def _pandas():
    try:
        import pandas
    except ImportError:
        raise ImportError("stacks' frames need pandas (Debian: python3-pandas)") from None
    return pandas


def _decimal(number: Optional[Number]) -> float:
    return float("nan") if number is None else float(number)


def _fraction(number: Optional[Number]) -> Optional[str]:
    if number is None:
        return None
    exact = Fraction(number)
    return f"{exact.numerator}/{exact.denominator}"


def _moves_columns(row: dict, name: str, number: Optional[Number]) -> None:
    row[name] = _decimal(number)
    row[name + "_fraction"] = _fraction(number)


def _frame(rows: List[dict], columns: List[str], dtypes: dict):
    pandas = _pandas()
    frame = pandas.DataFrame(rows, columns=columns)
    return frame.astype({column: dtypes.get(column, "float64") for column in columns})


_RESULT_TEXT = ("board", "within", "status", "error")
_RESULT_COLUMNS = ["board", "within", "status", "value", "value_fraction", "lower",
                   "lower_fraction", "upper", "upper_fraction", "gap", "states", "seconds",
                   "error"]


def to_frame(results: Iterable[Result]):
    """A pandas DataFrame with a row for each result, in order: board, within, status (text),
    value, lower and upper (float64, NaN where there is none; each with its exact "p/q" as text
    in a _fraction column), gap (float64), states (int64), seconds (float64) and error (text,
    <NA> where there is none)."""
    rows = []
    for result in results:
        row = {"board": result.board, "within": result.within, "status": result.status}
        for name in ("value", "lower", "upper"):
            _moves_columns(row, name, getattr(result, name))
        row.update(gap=_decimal(result.gap), states=result.states, seconds=result.seconds,
                   error=result.error)
        rows.append(row)
    dtypes = {column: "string" for column in _RESULT_COLUMNS if column.endswith("_fraction")}
    dtypes.update({column: "string" for column in _RESULT_TEXT}, states="int64")
    return _frame(rows, _RESULT_COLUMNS, dtypes)


_STEP_COLUMNS = ["stack", "slot", "group", "cost", "cost_fraction", "lower", "lower_fraction",
                 "upper", "upper_fraction", "moved", "placed", "after", "target_stack",
                 "target_slot", "moves"]


def line_frame(result: Result):
    """A pandas DataFrame with a row for each step of the result's line: the request (stack,
    slot, group), cost, lower and upper as in to_frame, moved, placed (bool), after (text), and
    in the columns as given target_stack, target_slot and moves (text, "2->0 2->1", the lifted
    items' moves in the order lifted)."""
    rows = []
    for step in result.line:
        row = {"stack": step.stack, "slot": step.slot, "group": step.group}
        for name in ("cost", "lower", "upper"):
            _moves_columns(row, name, getattr(step, name))
        row.update(moved=step.moved, placed=step.placed, after=step.after,
                   target_stack=step.target[0], target_slot=step.target[1],
                   moves=" ".join(f"{a}->{b}" for a, b in step.moves))
        rows.append(row)
    dtypes = {column: "int64" for column in ("stack", "slot", "group", "moved", "target_stack",
                                             "target_slot")}
    dtypes.update({column: "string" for column in _STEP_COLUMNS
                   if column.endswith("_fraction") or column in ("after", "moves")},
                  placed="bool")
    return _frame(rows, _STEP_COLUMNS, dtypes)
