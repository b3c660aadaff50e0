"""The package's checks of what its Python functions are given, worded as the extension's:
"NAME takes WHAT, not VALUE"."""
import operator
import os

_SHOWN_LENGTH = 60  # of a value's repr in a message


def refuse(name, expected, value, error=TypeError):
    """Raises `error` saying that argument `name` takes `expected`, not `value`."""
    shown = repr(value)
    if len(shown) > _SHOWN_LENGTH:
        shown = shown[:_SHOWN_LENGTH - 3] + "..."
    raise error(f"{name} takes {expected}, not {shown}")


def index(name, value, expected):
    """`value` as an int, an integer of any integral type but bool; TypeError otherwise."""
    if isinstance(value, bool):
        refuse(name, expected, value)
    try:
        return operator.index(value)
    except TypeError:
        refuse(name, expected, value)


def is_path(value):
    """Whether `value` names one file: str, bytes or os.PathLike."""
    return isinstance(value, (str, bytes, os.PathLike))
