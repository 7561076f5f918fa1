#!/usr/bin/env python3
"""DC outputs and a voltage scan: opens the first module, sets 2.5 V on channels 1 to 3, reads them
back, then steps channel 4 through a table of voltages on every software trigger.

Usage: dc_scan.py [--simulator]   (--simulator: run on the simulated chassis)
"""
import sys

import kq7120
from kq7120 import ScanMode, Slope, TriggerSource


def main() -> int:
    if "--simulator" in sys.argv[1:]:
        kq7120.use_simulator()
    for module in kq7120.scan_chassis().modules:
        print(f"KQ{module.model} at {module.descriptor}, slot {module.slot}")
    with kq7120.open_first() as dac:
        dac.setup_voltage(2.5, [1, 2, 3])
        for channel in (1, 2, 3):
            print(f"Channel {channel}: {dac.query_voltage(channel)} V")

        table = [-1.0, 0.0, 1.0, 2.0]
        dac.config_trigger_params(TriggerSource.EXT, Slope.POSITIVE)
        dac.setup_scan_list(4, table)
        dac.setup_scan_limit(4, len(table))
        dac.setup_scan_mode(ScanMode.LOOP, [4])
        print(f"Channel 4 scans {list(dac.query_scan_list(4, len(table), 1))}, "
              f"mode {dac.query_scan_mode(4).name}")
        print(f"Error queue: {dac.error_query()}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except kq7120.Kq7120Error as error:
        print(f"failed: {error}", file=sys.stderr)
        sys.exit(1)
