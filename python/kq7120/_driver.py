"""The driver library through ctypes: loading it, the exports' prototypes and the status check."""
import ctypes
import os
from ctypes import POINTER, c_char, c_char_p, c_double, c_float, c_int16, c_int32, c_uint16, c_uint32
from typing import Dict, Optional, Tuple

from . import _arrays, _installation
from .constants import Status
from .errors import ErrorQueueEntry, Kq7120Error

ViSession = c_uint32
_TEXT = POINTER(c_char)

# Every export the package calls, with its argument types in the header's order. The four older
# names are left out: they repeat functions listed here.
PROTOTYPES: Dict[str, Tuple] = {
    "kq7120_error_message": (ViSession, c_int32, _TEXT),
    "kq7120_init": (c_char_p, c_uint16, c_uint16, POINTER(ViSession)),
    "kq7120_reset": (ViSession,),
    "kq7120_close": (ViSession,),
    "kq7120_scanChassis": (POINTER(c_int16),) * 4 + (POINTER(c_int16), POINTER(c_int16)),
    "kq7120_autoConnectToFirst": (POINTER(ViSession),),
    "kq7120_enableDisableSCPILog": (c_int16, c_char_p),
    "kq7120_directIO": (ViSession, c_char_p, _TEXT),
    "kq7120_self_test": (ViSession, POINTER(c_int16), _TEXT),
    "kq7120_revision_query": (ViSession, _TEXT, _TEXT),
    "kq7120_error_query": (ViSession, POINTER(c_int32), _TEXT),
    "kq7120_setOperComplete": (ViSession,),
    "kq7120_getOperComplete": (ViSession, POINTER(c_int16)),
    "kq7120_clearStatusRegister": (ViSession,),
    "kq7120_setStatusMask": (ViSession, c_int16, c_int16, c_int16),
    "kq7120_queryDeviceStatusReg": (ViSession, c_int16, POINTER(c_int32)),
    "kq7120_setupVoltage": (ViSession, c_float, POINTER(c_int16), c_int16),
    "kq7120_queryVoltage": (ViSession, c_int16, POINTER(c_float)),
    "kq7120_setupVoltageRange": (ViSession, c_int16, POINTER(c_int16), c_int16),
    "kq7120_queryVoltageRange": (ViSession, c_int16, POINTER(c_int16)),
    "kq7120_triggerEvent": (ViSession,),
    "kq7120_setupAndWriteToDAC": (ViSession, c_int16, c_uint16, c_float, POINTER(c_int16), c_int16),
    "kq7120_configTriggerParams": (ViSession, c_int16, c_uint16),
    "kq7120_queryTriggerParams": (ViSession, POINTER(c_int16), POINTER(c_uint16)),
    "kq7120_memorySetup": (ViSession, c_int16, POINTER(c_float)),
    "kq7120_queryDACMemoryArray": (ViSession, c_int16, POINTER(c_float)),
    "kq7120_sourceVoltageSetup": (ViSession, c_int16),
    "kq7120_setupScanMode": (ViSession, c_int16, POINTER(c_int16), c_int16),
    "kq7120_setupScanLimit": (ViSession, c_int16, c_int16),
    "kq7120_setupScanList": (ViSession, c_int16, POINTER(c_float), c_int16),
    "kq7120_setupScanListAtIndex": (ViSession, c_int16, c_int16, c_float),
    "kq7120_setupScanListParams": (ViSession, c_int16, c_int16, c_int16, POINTER(c_float), c_int16),
    "kq7120_queryScanMode": (ViSession, c_int16, POINTER(c_int16)),
    "kq7120_queryScanLimit": (ViSession, c_int16, POINTER(c_int16)),
    "kq7120_queryScanList": (ViSession, c_int16, c_int16, c_int16, POINTER(c_float)),
    "kq7120_queryScanListAtIndex": (ViSession, c_int16, c_int16, POINTER(c_float)),
    "kq7120_enableDisableSecState": (ViSession, c_char_p, c_int16),
    "kq7120_calibrateOffsetGain": (ViSession, c_char_p, c_int16, c_int16, c_int16),
    "kq7120_calibrationDataBlock": (ViSession, c_char_p, POINTER(c_int16)),
    "kq7120_enableDisableAutoStore": (ViSession, c_char_p, c_int16),
    "kq7120_storeCalibrationData": (ViSession, c_char_p, POINTER(c_int32)),
    "kq7120_changeSecurityCode": (ViSession, c_char_p, c_char_p),
    "kq7120_calibrationQuery": (ViSession, POINTER(c_int16), POINTER(c_int32), POINTER(c_int16)),
    "kq7120_calibrateInstrument": (ViSession, c_int16, c_int16, c_int16, c_char_p, c_uint16,
                                   POINTER(c_int32)),
    "kq7120_setupClock": (ViSession, c_int16, c_uint16),
    "kq7120_setupMarker": (ViSession, c_uint16, c_uint16),
    "kq7120_setupTimer": (ViSession, c_double),
    "kq7120_setupDataFormat": (ViSession, c_int16),
    "kq7120_setupOutput": (ViSession, c_int16, c_int16, c_uint16),
    "kq7120_queryClockParms": (ViSession, POINTER(c_int16), POINTER(c_uint16)),
    "kq7120_queryMarkerParms": (ViSession, POINTER(c_int16), POINTER(c_uint16)),
    "kq7120_queryTimer": (ViSession, POINTER(c_double)),
    "kq7120_queryDataFormat": (ViSession, POINTER(c_int16)),
    "kq7120_queryOutput": (ViSession, POINTER(c_int16), POINTER(c_int16), POINTER(c_uint16)),
    "kq7120_arbDefineSegment": (ViSession, c_int16, c_int32),
    "kq7120_arbResizeSegment": (ViSession, c_int16, c_int32),
    "kq7120_arbDeleteAllSegments": (ViSession,),
    "kq7120_arbCopyWaveform": (ViSession, c_int16, c_int16, c_int16, c_int16),
    "kq7120_arbSetDataPoint": (ViSession, c_int16, c_int16, c_int32, c_int16),
    "kq7120_arbResizeSequence": (ViSession, c_int16),
    "kq7120_arbDefineSequence": (ViSession, POINTER(c_int16), c_int16),
    "kq7120_arbSetSeqParms": (ViSession, c_int16, c_int16, c_int16, c_int16, c_int16),
    "kq7120_arbSetSeqParmsEx": (ViSession, c_int16, c_int16, c_int16, c_int32, c_int16),
    "kq7120_arbLoadText": (ViSession, c_int16, c_int16, POINTER(c_int16), c_int32),
    "kq7120_memorySize": (ViSession, POINTER(c_int32)),
    "kq7120_queryArbMemoryUsage": (ViSession, POINTER(c_int32), POINTER(c_int32)),
    "kq7120_arbQuerySegmentSize": (ViSession, c_int16, POINTER(c_int32)),
    "kq7120_arbQueryDataPoint": (ViSession, c_int16, c_int16, c_int32, POINTER(c_int16)),
    "kq7120_arbQuerySeqParms": (ViSession, c_int16, POINTER(c_int16), POINTER(c_int32), POINTER(c_int16),
                                POINTER(c_int16), POINTER(c_int16)),
    "kq7120_arbQueryWaveformData": (ViSession, c_int16, c_int16, _TEXT, POINTER(c_uint16), POINTER(c_int32)),
    "kq7120_arbQueryWaveformVoltage": (ViSession, c_int16, c_int16, _TEXT, POINTER(c_double),
                                       POINTER(c_int32)),
    "kq7120_arbLoadVoltage": (ViSession, c_int16, c_int16, c_int16, POINTER(c_double), c_int32),
    "kq7120_arbLoadData": (ViSession, c_int16, c_int16, POINTER(c_uint16), c_int32),
    "kq7120_loadFIFOVoltage": (ViSession, c_int16, c_int16, POINTER(c_double), c_int32),
    "kq7120_loadFIFO_Data": (ViSession, POINTER(c_uint16), c_int32),
    "kq7120_GetFifoStatus": (ViSession, POINTER(c_uint16)),
    "kq7120_commandArb": (ViSession, c_uint16),
    "kq7120_commandFifo": (ViSession, c_uint16),
    "kq7120_arbScpi": (ViSession, c_int16, POINTER(c_int16), c_double),
    "kq7120_regModeDacWrt": (ViSession, c_int16, POINTER(c_int16), POINTER(c_int16), c_double),
    "kq7120_regModeArmArb": (ViSession,),
}

# Sizes of the driver's text outputs, as its header states them.
MESSAGE_SIZE = 256
REPLY_SIZE = 1025

_SIMULATOR_VARIABLE = "KQ7120_VISA_LIBRARY"


def _beside_package(path: str) -> str:
    return os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), path))


DRIVER_PATH = _beside_package(_installation.DRIVER)
SIMULATOR_VISA_PATH = _beside_package(_installation.SIMULATOR_VISA)

_library: Optional[ctypes.CDLL] = None


def library() -> ctypes.CDLL:
    """The driver, loaded from where the package was installed with it, prototypes set."""
    global _library
    if _library is None:
        loaded = ctypes.CDLL(DRIVER_PATH)
        for name, argtypes in PROTOTYPES.items():
            function = getattr(loaded, name)
            function.argtypes = argtypes
            function.restype = c_int32
        _library = loaded
    return _library


def visa_bound() -> bool:
    """Whether the driver may already have chosen its VISA (any call made)."""
    return _library is not None


def use_simulator() -> None:
    """Selects the simulated VISA installed with the package for this process.

    Call it before the first call to the driver: the driver chooses its VISA library once, on its
    first VISA operation. Raises FileNotFoundError when the simulator is not installed and
    RuntimeError when the driver is already in use.
    """
    if not os.path.exists(SIMULATOR_VISA_PATH):
        raise FileNotFoundError(f"the simulated VISA is not installed: {SIMULATOR_VISA_PATH}")
    if visa_bound():
        raise RuntimeError("use_simulator() must come before the first call to the driver")
    os.environ[_SIMULATOR_VARIABLE] = SIMULATOR_VISA_PATH


def text(buffer) -> str:
    """A NUL-terminated text output, bytes the driver copied from the module kept as latin-1."""
    return buffer.value.decode("latin-1")


def error_message(code: int, session: int = 0) -> str:
    """The driver's text of any status code; VISA is asked (through session) for VISA statuses."""
    buffer = ctypes.create_string_buffer(MESSAGE_SIZE)
    library().kq7120_error_message(session, code, buffer)
    return text(buffer)


def queue_entry(number: int, raw: str) -> ErrorQueueEntry:
    """An error-queue entry with the text as a Python user reads it: the driver keeps the module's
    quotation marks and final newline, the package drops them."""
    stripped = raw.rstrip("\n")
    if len(stripped) >= 2 and stripped[0] == stripped[-1] == '"':
        stripped = stripped[1:-1]
    return ErrorQueueEntry(number, stripped)


def _error_queue_entry(session: int) -> Optional[ErrorQueueEntry]:
    number = c_int32(0)
    buffer = ctypes.create_string_buffer(MESSAGE_SIZE)
    if library().kq7120_error_query(session, ctypes.byref(number), buffer) < 0:
        return None
    return queue_entry(number.value, text(buffer))


def _parameter_error(name: str, position: int) -> Kq7120Error:
    code = Status.PARAMETER1 + position - 1
    return Kq7120Error(code, error_message(code), name)


def _converted(name: str, position: int, value, argtype):
    """The argument as the export takes it. A number ctypes would wrap, or a text outside latin-1,
    is refused as the driver refuses a bad value: with the error of its position."""
    if argtype is c_char_p and isinstance(value, str):
        try:
            return value.encode("latin-1")
        except UnicodeEncodeError:
            raise _parameter_error(name, position) from None
    if argtype in _arrays.INTEGER_RANGES and isinstance(value, int):
        low, high = _arrays.INTEGER_RANGES[argtype]
        if not low <= value <= high:
            raise _parameter_error(name, position)
        return value
    element = getattr(argtype, "_type_", None)
    if isinstance(element, type) and issubclass(element, ctypes._SimpleCData) and \
            _arrays.is_array_argument(value):
        if not _arrays.in_range(value, element):
            raise _parameter_error(name, position)
        return _arrays.CArray(value, element)
    return value


def call(name: str, *arguments, session: int = 0) -> int:
    """Calls one export; a negative status raises Kq7120Error, anything else is returned.

    Sequences and numpy arrays are passed as C arrays of the parameter's type; session is the
    instrument handle used to read the error queue after an instrument error."""
    function = getattr(library(), name)
    converted = [_converted(name, i + 1, value, argtype)
                 for i, (value, argtype) in enumerate(zip(arguments, PROTOTYPES[name]))]
    status = function(*(v.pointer if isinstance(v, _arrays.CArray) else v for v in converted))
    if status >= 0:
        return status
    entry = _error_queue_entry(session) if status == Status.INSTRUMENT_ERROR and session else None
    raise Kq7120Error(status, error_message(status, session), name, entry)
