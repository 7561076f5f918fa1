#!/usr/bin/env python3
"""An arbitrary waveform: loads one sine period in volts into segment 1 of channel 1 and a ramp of
DAC codes into segment 2, plays them as a two-step sequence on the internal sample clock, and reads
the first points back.

Usage: arb_waveform.py [--simulator]   (--simulator: run on the simulated chassis)
"""
import math
import sys

import kq7120
from kq7120 import (ClockSource, DataFormat, Range, RunCommand, ScanMode, SequenceAdvance, SequenceMarker,
                    SequenceStart, Slope)

POINTS = 64


def main() -> int:
    if "--simulator" in sys.argv[1:]:
        kq7120.use_simulator()
    sine = [5.0 * math.sin(2 * math.pi * i / POINTS) for i in range(POINTS)]
    ramp = [i * 512 - 16384 for i in range(POINTS)]
    with kq7120.open_first() as dac:
        dac.arb_delete_all_segments()
        dac.setup_data_format(DataFormat.SIGNED)
        dac.setup_voltage_range(Range.VOLT20, [1])
        dac.arb_define_segment(1, POINTS)
        dac.arb_define_segment(2, POINTS)
        dac.arb_load_voltage(1, 1, Range.VOLT20, sine)
        dac.arb_load_data(2, 1, ramp)

        dac.arb_resize_sequence(2)
        dac.arb_define_sequence([1, 2])
        dac.arb_set_seq_parms_ex(0, SequenceStart.AUTO, SequenceAdvance.SYNC, 10, SequenceMarker.ON)
        dac.arb_set_seq_parms_ex(1, SequenceStart.AUTO, SequenceAdvance.SYNC, 5, SequenceMarker.OFF)
        dac.setup_clock(ClockSource.INTERNAL, Slope.POSITIVE)
        dac.setup_scan_mode(ScanMode.ARB, [1])
        dac.command_arb(RunCommand.INITIATE)

        volts = dac.arb_query_waveform_voltage(1, 1)
        print("Segment 1 starts " + ", ".join(f"{v:.4f}" for v in volts[:4]) + " V")
        usage = dac.query_arb_memory_usage()
        print(f"Memory: {usage.used} points used, {usage.available} free")
        dac.command_arb(RunCommand.ABORT)
        print(f"Error queue: {dac.error_query()}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except kq7120.Kq7120Error as error:
        print(f"failed: {error}", file=sys.stderr)
        sys.exit(1)
