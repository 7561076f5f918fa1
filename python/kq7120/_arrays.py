"""Sample and list arguments in, read-backs out: any sequence of numbers or a numpy array."""
import ctypes
from typing import Any, List, Sequence, Union

try:
    import numpy
except ImportError:  # numpy is optional: lists in and out then
    numpy = None

Numbers = Union[Sequence[float], Any]
Integers = Union[Sequence[int], Any]

# The integer types' ranges, for arguments checked before ctypes would wrap them silently.
INTEGER_RANGES = {
    ctypes.c_int16: (-0x8000, 0x7FFF),
    ctypes.c_uint16: (0, 0xFFFF),
    ctypes.c_int32: (-0x80000000, 0x7FFFFFFF),
    ctypes.c_uint32: (0, 0xFFFFFFFF),
}

_NUMPY_TYPES = {
    ctypes.c_int16: "int16",
    ctypes.c_uint16: "uint16",
    ctypes.c_int32: "int32",
    ctypes.c_float: "float32",
    ctypes.c_double: "float64",
}


def is_array_argument(value: Any) -> bool:
    """A Python-level sequence of numbers or a numpy array, as opposed to a ctypes object."""
    if isinstance(value, (ctypes.Array, ctypes._Pointer, ctypes._SimpleCData, str, bytes)):
        return False
    if numpy is not None and isinstance(value, numpy.ndarray):
        return True
    return hasattr(value, "__len__") and hasattr(value, "__getitem__")


def in_range(values: Any, element) -> bool:
    """Whether every value fits the integer element type (floats always fit)."""
    bounds = INTEGER_RANGES.get(element)
    if bounds is None:
        return True
    if numpy is not None and isinstance(values, numpy.ndarray):
        return values.size == 0 or (bool(numpy.all(values == numpy.floor(values))) and
                                    bounds[0] <= values.min() and values.max() <= bounds[1])
    return all(isinstance(v, int) or float(v).is_integer() for v in values) and \
        all(bounds[0] <= int(v) <= bounds[1] for v in values)


class CArray:
    """A converted array argument: the pointer the driver gets and what keeps its memory alive."""

    def __init__(self, values: Any, element) -> None:
        if numpy is not None and isinstance(values, numpy.ndarray):
            self.keep = numpy.ascontiguousarray(values, dtype=_NUMPY_TYPES[element])
            self.pointer = self.keep.ctypes.data_as(ctypes.POINTER(element))
        else:
            converter = float if element in (ctypes.c_float, ctypes.c_double) else int
            self.keep = (element * len(values))(*(converter(v) for v in values))
            self.pointer = ctypes.cast(self.keep, ctypes.POINTER(element))


def codes(values: Integers, signed: bool) -> Integers:
    """DAC codes given as signed (-32768..32767) or unsigned (0..65535) words, as the C type wants
    them; values outside both stay as they are, for the range check to report."""
    if numpy is not None and isinstance(values, numpy.ndarray):
        words = numpy.asarray(values, dtype=numpy.int64)
        fits = (words >= -0x8000) & (words <= 0xFFFF)
        if signed:
            return numpy.where(fits & (words > 0x7FFF), words - 0x10000, words)
        return numpy.where(fits & (words < 0), words + 0x10000, words)
    return [code(v, signed) for v in values]


def code(value: int, signed: bool) -> int:
    """One DAC code, as codes() converts each."""
    value = int(value)
    if not -0x8000 <= value <= 0xFFFF:
        return value
    if signed:
        return value - 0x10000 if value > 0x7FFF else value
    return value + 0x10000 if value < 0 else value


def result(buffer, count: int, as_int: bool) -> Union[List, Any]:
    """The first count values of a ctypes array: a numpy array when numpy is present, else a list."""
    values = buffer[:count]
    if numpy is not None:
        return numpy.array(values, dtype=numpy.int64 if as_int else numpy.float64)
    return values
