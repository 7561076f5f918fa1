"""Named results of the driver functions that read back more than one value."""
from typing import Any, List, NamedTuple, Union

from .constants import (ClockSource, Connection, MarkerState, OutputTrigger, SecurityState, SequenceAdvance,
                        SequenceMarker, SequenceStart, Slope, TriggerSource)


class FoundModule(NamedTuple):
    """One module of a chassis scan."""

    logical_address: int
    slot: int
    model: int
    interface: int

    @property
    def descriptor(self) -> str:
        """The VISA descriptor for a VXI connection ("VXI0::24::INSTR")."""
        return f"VXI{self.interface}::{self.logical_address}::INSTR"


class ChassisScan(NamedTuple):
    """Every KQ7120/KQ7110 VISA reaches, and how the chassis is connected."""

    modules: List[FoundModule]
    connection: Connection


class SelfTest(NamedTuple):
    result: int
    message: str


class Revision(NamedTuple):
    driver: str
    instrument: str


class TriggerParams(NamedTuple):
    source: Union[TriggerSource, int]
    slope: Union[Slope, int]


class ClockParams(NamedTuple):
    source: Union[ClockSource, int]
    slope: Union[Slope, int]


class MarkerParams(NamedTuple):
    state: Union[MarkerState, int]
    slope: Union[Slope, int]


class OutputParams(NamedTuple):
    source: Union[OutputTrigger, int]
    line: int
    slope: Union[Slope, int]


class MemoryUsage(NamedTuple):
    available: int
    used: int


class SequenceStep(NamedTuple):
    segment: int
    repeat: int
    start: Union[SequenceStart, int]
    advance: Union[SequenceAdvance, int]
    marker: Union[SequenceMarker, int]


class Calibration(NamedTuple):
    """Security state, calibration count and the 64 values (32 gains, then 32 zero adjustments)."""

    security_state: Union[SecurityState, int]
    count: int
    data: Any
