"""What a solve gives: plain dataclasses, so that results compare, print and pickle (to send them
between the processes of a batch) like any Python value."""
from dataclasses import dataclass
from fractions import Fraction
from typing import List, Optional, Union

# Whole moves in the worst and best orders, an exact expectation in the random order.
Number = Union[int, Fraction]


@dataclass
class Yard:
    """A yard of retrieval groups, as the literature's instance files write it: each stack its
    items bottom first, an item as its group (1 leaves first), 0 for an item that stays."""
    height: int
    stacks: List[List[int]]


@dataclass
class Request:
    """A request that may be asked now, on Result.board: stack and slot counted from 0 (slot 0
    at the bottom), the item's group (1 for a target) and its cost from there to the end."""
    stack: int
    slot: int
    group: int
    cost: Optional[Number]  # None: the lifted items of some later request fit nowhere


@dataclass
class Step:
    """A turn of best play: the request (on the board before it), its cost, the items the
    answer relocated, and the board after the answer (canonical, written as Result.board).
    placed is False, and after None, when the lifted items fit nowhere, which ends the line."""
    stack: int
    slot: int
    group: int
    cost: Optional[Number]
    moved: int
    placed: bool
    after: Optional[str]


@dataclass
class Result:
    """board: the board solved, in canonical order, to which every stack and slot refers (the
    compact form, or for a yard of groups "2,0/1,3/", 0 an item that stays).
    status: "optimal", "time_limit", "memory_limit" or "interrupted".
    value: the fewest moves (None when the search stopped short, or when the requesting side can
    force a request whose lifted items fit nowhere); lower and upper: the proven bounds.
    line: best play (empty when not asked for or not solved); requests: the cost of every
    request on the board (None unless asked for). states: boards in the search's table;
    seconds: the solve's wall-clock time; error: why there is no value, None when solved."""
    board: Optional[str]
    within: str
    status: Optional[str]
    value: Optional[Number]
    lower: Optional[Number]
    upper: Optional[Number]
    line: List[Step]
    requests: Optional[List[Request]]
    states: int
    seconds: float
    error: Optional[str]


def number(fraction: Optional[str]) -> Optional[Number]:
    """The number of moves written "p/q", None for none."""
    if fraction is None:
        return None
    value = Fraction(fraction)
    return value.numerator if value.denominator == 1 else value


def result_of(fields: dict) -> Result:
    """The Result of what the engine module returns."""
    for key in ("value", "lower", "upper"):
        fields[key] = number(fields[key])
    fields["line"] = [Step(s, k, g, number(c), m, p, a) for s, k, g, c, m, p, a in fields["line"]]
    if fields["requests"] is not None:
        fields["requests"] = [Request(s, k, g, number(c)) for s, k, g, c in fields["requests"]]
    return Result(**fields)


def failure(error: str, status: Optional[str] = None, within: str = "worst") -> Result:
    """The result of a board that gave no value: why, in error."""
    return Result(board=None, within=within, status=status, value=None, lower=None, upper=None,
                  line=[], requests=None, states=0, seconds=0.0, error=error)
