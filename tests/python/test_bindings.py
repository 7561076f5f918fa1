"""The package against the driver's header: every export bound with the header's arity, every
binding reachable from the package's API, every enumerated constant equal to the header's."""
import os
import pathlib
import re

import pytest

import kq7120
from kq7120 import _driver, constants

SOURCE = pathlib.Path(os.environ.get("KQ_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
HEADER = (SOURCE / "driver/include/kq7120.h").read_text()
OLDER_NAMES = {"kq7120_errorMessage", "kq7120_selfTest", "kq7120_errorQuery", "kq7120_revisionQuery"}


def header_exports():
    exports = {}
    for match in re.finditer(r"KQ7120_API ViStatus (\w+)\(([^)]*)\);", HEADER):
        exports[match.group(1)] = len(match.group(2).split(","))
    return exports


def header_constants():
    values = {}
    for match in re.finditer(r"^#define (kq7120_\w+|VI_ERROR_\w+)\s+([^/\n]+)", HEADER, re.MULTILINE):
        values[match.group(1)] = eval(match.group(2).replace("_VI_ERROR", "(-0x80000000)"))
    return values


def test_every_export_but_the_older_names_is_bound_with_its_arity():
    exports = header_exports()
    assert len(exports) == 85
    bound = {name: len(argtypes) for name, argtypes in _driver.PROTOTYPES.items()}
    assert bound == {name: count for name, count in exports.items() if name not in OLDER_NAMES}


def test_every_binding_is_called_by_the_package():
    package = pathlib.Path(kq7120.__file__).parent
    api = (package / "instrument.py").read_text() + (package / "chassis.py").read_text()
    called = set(re.findall(r'"(kq7120_\w+)"', api))
    called |= set(re.findall(r"library\(\)\.(kq7120_\w+)", (package / "_driver.py").read_text()))
    assert called == set(_driver.PROTOTYPES)


# (enum, prefix in the header, members whose header name differs)
ENUMS = [
    (constants.TriggerSource, "kq7120_TRIG_SRC_", {}),
    (constants.ClockSource, "kq7120_ROSC_", {"INTERNAL": "kq7120_ROSC_INTERNAL"}),
    (constants.ScanMode, "kq7120_SCAN_MODE_", {}),
    (constants.StatusRegister, "kq7120_", {}),
    (constants.Range, "", {"VOLT20": "kq7120_20VOLT_RANGE", "VOLT10": "kq7120_10VOLT_RANGE"}),
    (constants.DataFormat, "kq7120_FORMAT_", {}),
    (constants.OutputTrigger, "kq7120_OUT_TRIG_", {}),
    (constants.Slope, "kq7120_SLOPE_", {}),
    (constants.MarkerState, "kq7120_", {}),
    (constants.SecurityMode, "kq7120_SEC_STATE_", {}),
    (constants.SecurityState, "kq7120_CALIB_SEC_STATE_", {}),
    (constants.AutoStore, "kq7120_AUTO_SAVE_MODE_", {}),
    (constants.SaveFlag, "kq7120_", {}),
    (constants.SequenceStart, "", {"TRIG": "kq7120_SEQ_TRIG_START", "AUTO": "kq7120_SEQ_AUTO_START"}),
    (constants.SequenceAdvance, "", {"SYNC": "kq7120_SEQ_SYNC_ADVANCE", "ASYNC": "kq7120_SEQ_ASYNC_ADVANCE"}),
    (constants.SequenceMarker, "kq7120_SEQ_MARKER_", {}),
    (constants.RunCommand, "kq7120_", {}),
    (constants.FifoStatus, "kq7120_FIFO_", {}),
    (constants.ScpiLog, "", {"ON": "kq7120_SCPI_LOG", "OFF": "kq7120_NO_SCPI_LOG"}),
    (constants.Connection, "", {"VXI": "kq7120_VXI_CONNECTION", "GPIB_VXI": "kq7120_GPIB_VXI_CONNECTION"}),
    (constants.Model, "kq7120_", {}),
]


@pytest.mark.parametrize("enum, prefix, renamed", ENUMS, ids=[e[0].__name__ for e in ENUMS])
def test_enums_equal_the_header(enum, prefix, renamed):
    values = header_constants()
    for member in enum:
        assert values[renamed.get(member.name, prefix + member.name)] == member.value, member


@pytest.mark.parametrize("prefix, enum", [("kq7120_TRIG_SRC_", constants.TriggerSource),
                                          ("kq7120_ROSC_", constants.ClockSource),
                                          ("kq7120_SCAN_MODE_", constants.ScanMode),
                                          ("kq7120_OUT_TRIG_", constants.OutputTrigger)])
def test_no_header_choice_is_missing_from_its_enum(prefix, enum):
    in_header = {name[len(prefix):] for name, value in header_constants().items()
                 if name.startswith(prefix) and value >= 0}
    assert in_header == {member.name for member in enum}


def test_every_status_code_of_the_header_is_a_status():
    codes = {name: value for name, value in header_constants().items()
             if isinstance(value, int) and value < 0 and
             (name.startswith("VI_ERROR_") or name.replace("kq7120_", "") in constants.Status.__members__)}
    for name, value in codes.items():
        assert constants.Status[name.replace("kq7120_", "").replace("VI_ERROR_", "")] == value, name


def test_limits_equal_the_header():
    values = header_constants()
    for name in ("MAX_SEGMENT", "MAX_SEQUENCE", "SEQ_REPEAT_MAX", "INDEX_MAX", "CAL_DATA_SIZE",
                 "MAX_SLOTS_IN_CHASSIS", "VOLT_LEVEL_VALUE_MAX", "MIN_TIMER_VALUE", "MAX_TIMER_VALUE",
                 "PASSWORD_LEN_MAX", "ZERO_OFFSET_INDEX"):
        assert getattr(constants, name) == values["kq7120_" + name], name
    assert constants.VOLT10_LEVEL_VALUE_MAX == values["kq7120_10VOLT_LEVEL_VALUE_MAX"]
