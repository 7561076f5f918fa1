"""Functions without an instrument: the chassis scan, opening the first module, the SCPI log."""
from ctypes import byref, c_int16

from . import _driver
from ._driver import ViSession
from .constants import MAX_SLOTS_IN_CHASSIS, Connection
from .instrument import Kq7120, _enum
from .results import ChassisScan, FoundModule


def scan_chassis() -> ChassisScan:
    """Every KQ7120/KQ7110 VISA reaches: logical address, slot, model and interface of each."""
    lists = [(c_int16 * MAX_SLOTS_IN_CHASSIS)() for _ in range(4)]
    found = c_int16(0)
    connection = c_int16(0)
    _driver.call("kq7120_scanChassis", *lists, byref(found), byref(connection))
    count = max(0, min(found.value, MAX_SLOTS_IN_CHASSIS))
    modules = [FoundModule(*(values[i] for values in lists)) for i in range(count)]
    return ChassisScan(modules, _enum(Connection, connection.value))


def open_first() -> Kq7120:
    """Scans the chassis and opens the first module found, with identity check and reset."""
    handle = ViSession(0)
    status = _driver.call("kq7120_autoConnectToFirst", byref(handle))
    instrument = Kq7120._adopt(handle.value)
    instrument.last_status = status
    return instrument


def enable_disable_scpi_log(mode: int, file_name: str = "") -> int:
    """ScpiLog.ON logs every command the driver sends to file_name (emptied first); ScpiLog.OFF stops."""
    return _driver.call("kq7120_enableDisableSCPILog", mode, file_name)


def error_message(code: int) -> str:
    """The driver's text of a status code (VISA statuses asked of VISA without a session)."""
    return _driver.error_message(code)
