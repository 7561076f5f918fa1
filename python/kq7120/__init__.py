"""KQ7120 / KQ7110 VXIbus DAC modules from Python, over the Kq7120_32 driver.

    import kq7120
    kq7120.use_simulator()          # only to run on the simulated chassis
    with kq7120.open_first() as dac:
        dac.setup_voltage(2.5, [1, 2, 3])
        print(dac.query_voltage(3))

A failed call raises Kq7120Error with the driver's status code and text.
"""
from ._installation import VERSION as __version__
from ._driver import DRIVER_PATH, SIMULATOR_VISA_PATH, use_simulator
from .chassis import enable_disable_scpi_log, error_message, open_first, scan_chassis
from .constants import *  # noqa: F401,F403 - the header's constants belong to the package's API
from .errors import ErrorQueueEntry, Kq7120Error
from .instrument import Kq7120
from .results import (Calibration, ChassisScan, ClockParams, FoundModule, MarkerParams, MemoryUsage,
                      OutputParams, Revision, SelfTest, SequenceStep, TriggerParams)
