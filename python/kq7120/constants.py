"""The driver header's constants: enumerated arguments as IntEnums, limits as plain integers."""
from enum import IntEnum, IntFlag

_VI_ERROR = -0x80000000


class Status(IntEnum):
    """Status codes the driver returns (VISA statuses other than these are passed through as ints)."""

    SUCCESS = 0
    PARAMETER1 = _VI_ERROR + 0x3FFC0001
    PARAMETER2 = _VI_ERROR + 0x3FFC0002
    PARAMETER3 = _VI_ERROR + 0x3FFC0003
    PARAMETER4 = _VI_ERROR + 0x3FFC0004
    PARAMETER5 = _VI_ERROR + 0x3FFC0005
    PARAMETER6 = _VI_ERROR + 0x3FFC0006
    PARAMETER7 = _VI_ERROR + 0x3FFC0007
    PARAMETER8 = _VI_ERROR + 0x3FFC0008
    INV_RESPONSE = _VI_ERROR + 0x3FFC0012
    INV_OBJECT = _VI_ERROR + 0x3FFF000E
    RSRC_NFOUND = _VI_ERROR + 0x3FFF0011
    LIBRARY_NFOUND = _VI_ERROR + 0x3FFF009E
    INV_MANF_ID = _VI_ERROR + 0x3FFC0800
    INV_MODEL_CODE = _VI_ERROR + 0x3FFC0801
    WRONG_PASSWORD = _VI_ERROR + 0x3FFC0803
    ERROR_LEN_OVER_FLOW = _VI_ERROR + 0x3FFC0804
    INVALID_ID_RESPONSE = _VI_ERROR + 0x3FFC0805
    LOG_FILE_WRITE_ERROR = _VI_ERROR + 0x3FFC0806
    LOG_FILE_OPEN_ERROR = _VI_ERROR + 0x3FFC0807
    LOG_FILE_CLOSE_ERROR = _VI_ERROR + 0x3FFC0808
    DEVICE_NOT_READY = _VI_ERROR + 0x3FFC0809
    READ_BUFFER_FULL = _VI_ERROR + 0x3FFC080A
    ERROR_IDN_QUERY_RESPONSE = _VI_ERROR + 0x3FFC080B
    INSTRUMENT_ERROR = _VI_ERROR + 0x3FFC080C
    ERROR_CALIBRATE_OFFSET_GAIN = _VI_ERROR + 0x3FFC080D
    ERROR_STORING_CAL_DATA = _VI_ERROR + 0x3FFC080E
    ERROR_SETTING_OUTPUT_VOLTAGE = _VI_ERROR + 0x3FFC080F
    ERROR_SETTING_TRIGGER_PARAMS = _VI_ERROR + 0x3FFC0810
    MALLOC_ERROR = _VI_ERROR + 0x3FFC0811
    ERROR_SETTING_SCAN_MODE = _VI_ERROR + 0x3FFC0812
    ERROR_SETTING_SCAN_LIMIT = _VI_ERROR + 0x3FFC0813
    ERROR_SETTING_SCAN_LIST = _VI_ERROR + 0x3FFC0814
    TRIG_SRC_NOT_TTLT_OR_EXT = _VI_ERROR + 0x3FFC0815
    INVALID_SCAN_MODE_TRANSITION = _VI_ERROR + 0x3FFC0816
    WRITE_ERROR = _VI_ERROR + 0x3FFC0817


class Model(IntEnum):
    """Model numbers of the module family."""

    KQ7120 = 7120
    KQ7110 = 7110


class Connection(IntEnum):
    """How the chassis is reached (second result of scan_chassis)."""

    VXI = 0
    GPIB_VXI = 1


class ScpiLog(IntEnum):
    """Switch of enable_disable_scpi_log."""

    ON = 1047
    OFF = 1048


class StatusRegister(IntEnum):
    """Register selectors of Kq7120.query_device_status_reg."""

    STATUS_BYTE = 1007
    EVENT_REG = 1008
    SERVICE_REQUEST_ENABLE = 1009
    EVENT_STATUS_ENABLE = 1010
    OPERATION_ENABLE = 1011
    OPERATION_CONDITION = 1012


class Range(IntEnum):
    """Output ranges: +-20 V and +-10 V."""

    VOLT20 = 0
    VOLT10 = 1


class TriggerSource(IntEnum):
    """Trigger sources of the DC outputs and scans."""

    AUTO = 1018
    EXT = 1019
    TTLTRG0 = 1020
    TTLTRG1 = 1021
    TTLTRG2 = 1022
    TTLTRG3 = 1023
    TTLTRG4 = 1024
    TTLTRG5 = 1025
    TTLTRG6 = 1026
    TTLTRG7 = 1027
    INT_CH1 = 1028
    INT_CH2 = 1029
    INT_CH3 = 1030
    INT_CH4 = 1031
    INT_CH5 = 1032
    INT_CH6 = 1033
    INT_CH7 = 1034
    INT_CH8 = 1035
    INT_CH9 = 1036
    INT_CH10 = 1037
    INT_CH11 = 1038
    INT_CH12 = 1039
    INT_CH13 = 1040
    INT_CH14 = 1041
    INT_CH15 = 1042
    INT_CH16 = 1043
    TIMER = 1044
    EXTCLK = 1045
    NONE = 1046


class Slope(IntEnum):
    """Active edge of a trigger or clock, polarity of the marker."""

    NEGATIVE = 0
    POSITIVE = 1


class ScanMode(IntEnum):
    """Channel modes; ALL_OFF switches every channel off without a list."""

    OFF = 0
    ON = 1
    LOOP = 2
    ARB = 3
    FIFO = 4
    ALL_OFF = 5


class SecurityMode(IntEnum):
    """Calibration security switch of Kq7120.enable_disable_sec_state."""

    ENABLE = 1014
    DISABLE = 1015


class SecurityState(IntEnum):
    """Calibration security state as Kq7120.calibration_query reads it."""

    OFF = 0
    ON = 1


class AutoStore(IntEnum):
    """Automatic storing of calibration data."""

    OFF = 0
    ON = 1


class SaveFlag(IntEnum):
    """Whether Kq7120.calibrate_instrument stores the data."""

    DONT_STORE = 0
    STORE = 1


class ClockSource(IntEnum):
    """Sample clock sources of ARB and FIFO output."""

    TTLTRG0 = 0
    TTLTRG1 = 1
    TTLTRG2 = 2
    TTLTRG3 = 3
    TTLTRG4 = 4
    TTLTRG5 = 5
    TTLTRG6 = 6
    TTLTRG7 = 7
    INTERNAL = 8
    EXT = 9
    EXTCLK = 10
    TIMER = 11


class MarkerState(IntEnum):
    """Marker output on or off."""

    OFF = 0
    ON = 1


class OutputTrigger(IntEnum):
    """What drives the output trigger line."""

    NONE = 0
    TRIGGER = 1
    MARKER = 2


class DataFormat(IntEnum):
    """DAC code format: two's complement or offset binary."""

    SIGNED = 0
    UNSIGNED = 1


class SequenceStart(IntEnum):
    """How a sequence step starts."""

    TRIG = 0
    AUTO = 1


class SequenceAdvance(IntEnum):
    """How a sequence step advances."""

    SYNC = 0
    ASYNC = 1


class SequenceMarker(IntEnum):
    """Marker of a sequence step."""

    OFF = 0
    ON = 1


class RunCommand(IntEnum):
    """Start or stop the waveform generator."""

    INITIATE = 0
    ABORT = 1


class FifoStatus(IntFlag):
    """Bits of the FIFO status word."""

    FULL = 32768
    EMPTY = 16384
    UNDERRUN = 8192


# Limits, as the header names them without the kq7120_ prefix.
MANF_ID = 0xA5D
MODEL_CODE = 0x103
MAX_LOG_ADDR = 255
MAX_SLOTS_IN_CHASSIS = 255
MAX_FILE_NAME_LEN = 120
READ_BUFF_SIZE = 1024
MIN_CHANNEL = 1
MAX_CHANNEL = 16
CHANNEL_LIST_KQ7120_MAX = 16
CHANNEL_LIST_KQ7110_MAX = 8
VOLT_LEVEL_VALUE_MIN = -20.0
VOLT_LEVEL_VALUE_MAX = 19.99969
VOLT10_LEVEL_VALUE_MIN = -10.0
VOLT10_LEVEL_VALUE_MAX = 9.99984
INDEX_MIN = 1
INDEX_MAX = 512
VOLTAGE_LIST_MIN = 1
VOLTAGE_LIST_MAX = 512
PASSWORD_LEN_MIN = 1
PASSWORD_LEN_MAX = 12
CALIBRATION_DATA_MIN = -128
CALIBRATION_DATA_MAX = 127
CAL_DATA_SIZE = 64
ZERO_OFFSET_INDEX = 32
MIN_TIMER_VALUE = 0.00001
MAX_TIMER_VALUE = 429.49
MIN_SEGMENT = 0
MAX_SEGMENT = 4095
MIN_SEQUENCE = 0
MAX_SEQUENCE = 4095
SEQ_REPEAT_MIN = 0
SEQ_REPEAT_MAX = 1048575
SEQ_CONTINUOUS = 0
MAX_TRIGOUT_LINES = 8
VOLT_DATA_VALUE_MIN = -32768
VOLT_DATA_VALUE_MAX = 32767
# Read-back bounds of Kq7120.arb_query_waveform_data and _voltage.
MAX_WAVEFORM_READ_POINTS = 16380
