"""The package's arguments, checked as they come: each refusal names the
argument, and nothing is converted (a string is not read as a number, an
integer is not taken for a file descriptor)."""
import math
import numbers
import operator
import os
import struct
import sys

LAST_FRAME = 2**31 - 1  # frames are counted in a C int


def _integer(value, name, expected):
    """An integer (a numpy one too), never a truth value."""
    if not isinstance(value, bool):
        try:
            return operator.index(value)
        except TypeError:
            pass
    raise TypeError(f"{name}: expected {expected}, got {type(value).__name__}")


def whole(value, name, least):
    """A frame number or count from `least` to LAST_FRAME."""
    value = _integer(value, name, "a whole number")
    if not least <= value <= LAST_FRAME:
        raise ValueError(f"{name}: {value} is not {'0 (before the start) or ' if least == 0 else ''}"
                         f"a frame from 1 to {LAST_FRAME}")
    return value


def effect_index(value, name):
    """An effect's index, from 0; the stack checks the top."""
    value = _integer(value, name, "an index or a name")
    if value < 0:
        raise IndexError(f"{name} {value}: effects are counted from 0")
    return value


def number(value, name):
    """A real number (a numpy one too), not a truth value; the range is the caller's to check."""
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name}: expected a number, got {type(value).__name__}")
    return float(value)


def float_number(value, name):
    """A finite number that rounds to a finite float, as a PC2 header stores it."""
    value = number(value, name)
    try:
        struct.pack("<f", value)  # as the header packs it: refuses a value past the largest float
        finite = math.isfinite(value)
    except OverflowError:
        finite = False
    if not finite:
        raise ValueError(f"{name}: {value} is not a finite float")
    return value


def truth(value, name):
    """True or False (a numpy bool too)."""
    np = sys.modules.get("numpy")
    if isinstance(value, bool) or (np is not None and isinstance(value, np.bool_)):
        return bool(value)
    raise TypeError(f"{name}: expected True or False, got {type(value).__name__}")


def text(value, name, what):
    if not isinstance(value, str):
        raise TypeError(f"{name}: expected {what}, got {type(value).__name__}")
    return value


def path(value, name):
    """A file's path: a string, bytes or a path object."""
    if not isinstance(value, (str, bytes, os.PathLike)):
        raise TypeError(f"{name}: expected a file's path, got {type(value).__name__}")
    return os.fspath(value)
