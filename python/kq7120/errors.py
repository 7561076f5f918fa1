"""The exception a failed driver call raises."""
from typing import NamedTuple, Optional


class ErrorQueueEntry(NamedTuple):
    """One entry of the module's error queue ("SYST:ERR?")."""

    number: int
    text: str


class Kq7120Error(Exception):
    """A driver function returned a negative status.

    ``code`` is the status, ``message`` the driver's text for it, ``function`` the driver function
    that failed, and ``instrument_error`` the module's oldest error-queue entry when the status is
    Status.INSTRUMENT_ERROR (None otherwise, or when the queue could not be read).
    """

    def __init__(self, code: int, message: str, function: str,
                 instrument_error: Optional[ErrorQueueEntry] = None) -> None:
        self.code = code
        self.message = message
        self.function = function
        self.instrument_error = instrument_error
        text = f"{function}: {message} ({code})"
        if instrument_error is not None:
            text += f"; module error {instrument_error.number}, {instrument_error.text}"
        super().__init__(text)
