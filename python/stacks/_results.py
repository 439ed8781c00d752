"""What a solve gives: plain dataclasses, so that results compare, print and pickle (to send them
between the processes of a batch) like any Python value."""
from dataclasses import dataclass
from fractions import Fraction
from typing import List, Optional, Tuple, Union

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
    """A turn of play: the request (on the board before it), its cost from there to the end, the
    items the answer relocated, and the board after the answer (canonical, written as
    Result.board). placed is False, and after None, when the lifted items fit nowhere, which
    ends the line. On the line of best play lower and upper equal cost; on the line of a
    stopped search cost is None and lower and upper bound it.
    target and moves are the same turn in the columns of the board as given, which keep their
    place for the whole line: target the (stack, slot) asked for, moves each lifted item's
    (from, to), in the order lifted, top first."""
    stack: int
    slot: int
    group: int
    cost: Optional[Number]
    lower: Optional[Number]
    upper: Optional[Number]
    moved: int
    placed: bool
    after: Optional[str]
    target: Tuple[int, int]
    moves: List[Tuple[int, int]]


@dataclass
class Estimate:
    """An estimate, never a bound: the placement rule's mean cost in the random order over
    `orders` orders drawn at random (the same draws every time), with its 95% confidence
    interval [low, high]."""
    mean: float
    low: float
    high: float
    orders: int


@dataclass
class Result:
    """board: the board solved, in canonical order, to which every stack and slot refers (the
    compact form, or for a yard of groups "2,0/1,3/", 0 an item that stays).
    status: "optimal", "time_limit" or "memory_limit" (None for a board solve_many could not
    read).
    value: the fewest moves when optimal (None when the search stopped, or when the requesting
    side can force a request whose lifted items fit nowhere); lower and upper: the proven
    bounds, equal to value when optimal (upper None when no finite bound is known); gap:
    (upper - lower) / upper, 0.0 when optimal, None when upper is.
    line: best play, or when the search stopped the line of a fixed placement rule (empty when
    not asked for); requests: the cost of every request on the board (None unless asked for
    and solved). states: boards in the search's table; seconds: the solve's wall-clock time;
    error: the message for the memory limit, or for a board solve_many could not solve.
    estimate: in the random order, when a stopped search knows no upper bound, the placement
    rule's mean cost estimated from orders drawn at random, with its 95% interval (an Estimate;
    never a bound); None otherwise."""
    board: Optional[str]
    within: str
    status: Optional[str]
    value: Optional[Number]
    lower: Optional[Number]
    upper: Optional[Number]
    gap: Optional[float]
    line: List[Step]
    requests: Optional[List[Request]]
    states: int
    seconds: float
    error: Optional[str]
    estimate: Optional[Estimate] = None


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
    fields["line"] = [Step(s, k, g, number(c), number(lo), number(up), m, p, a, tuple(t),
                           [tuple(move) for move in moves])
                      for s, k, g, c, lo, up, m, p, a, t, moves in fields["line"]]
    if fields["requests"] is not None:
        fields["requests"] = [Request(s, k, g, number(c)) for s, k, g, c in fields["requests"]]
    if fields.get("estimate") is not None:
        fields["estimate"] = Estimate(*fields["estimate"])
    return Result(**fields)


def failure(error: str, status: Optional[str] = None, within: str = "worst") -> Result:
    """The result of a board that gave no value: why, in error."""
    return Result(board=None, within=within, status=status, value=None, lower=None, upper=None,
                  gap=None, line=[], requests=None, states=0, seconds=0.0, error=error)
