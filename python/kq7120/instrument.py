"""Kq7120: one open KQ7120 or KQ7110 module, with a method per driver function."""
import ctypes
import math
from ctypes import c_double, c_float, c_int16, c_int32, c_uint16, byref
from typing import Any, Optional, Type, TypeVar, Union

from . import _arrays, _driver
from ._arrays import Integers, Numbers
from ._driver import ViSession
from .constants import (CAL_DATA_SIZE, MAX_CHANNEL, MAX_WAVEFORM_READ_POINTS, ClockSource, DataFormat,
                        FifoStatus, MarkerState,
                        OutputTrigger, Range, ScanMode, SecurityState, SequenceAdvance, SequenceMarker,
                        SequenceStart, Slope, TriggerSource)
from .errors import ErrorQueueEntry
from .results import (Calibration, ClockParams, MarkerParams, MemoryUsage, OutputParams, Revision,
                      SelfTest, SequenceStep, TriggerParams)

E = TypeVar("E")


def _enum(kind: Type[E], value: int) -> Union[E, int]:
    """The enum member of a read-back value, or the plain number when the enum has none."""
    try:
        return kind(value)
    except ValueError:
        return value


class Kq7120:
    """An open module. Use it as a context manager to close its session on leaving the block::

        with kq7120.Kq7120("VXI0::24::INSTR") as dac:
            dac.setup_voltage(2.5, [1, 2, 3])

    Every method raises Kq7120Error on a negative status. Methods without a result return the
    status, 0 or a positive warning; the others return their values, and the status of the last call
    is kept in ``last_status``.
    """

    def __init__(self, descriptor: str, id_query: bool = True, reset: bool = True) -> None:
        """Opens the module named by its VISA descriptor (kq7120_init): id_query checks the VXI
        manufacturer and model code, reset sends "*RST"."""
        handle = ViSession(0)
        self.last_status = _driver.call("kq7120_init", descriptor, int(id_query), int(reset), byref(handle))
        self._handle = handle.value

    @classmethod
    def _adopt(cls, handle: int) -> "Kq7120":
        instrument = cls.__new__(cls)
        instrument._handle = handle
        instrument.last_status = 0
        return instrument

    @property
    def handle(self) -> int:
        """The VISA session of the module; 0 once closed."""
        return self._handle

    def __enter__(self) -> "Kq7120":
        return self

    def __exit__(self, *exception: Any) -> None:
        self.close()

    def __repr__(self) -> str:
        return f"<Kq7120 session {self._handle}>" if self._handle else "<Kq7120 closed>"

    def _call(self, name: str, *arguments: Any) -> int:
        self.last_status = _driver.call(name, self._handle, *arguments, session=self._handle)
        return self.last_status

    # ---- Session, status and error queue ---------------------------------------------------------

    def close(self) -> int:
        """Closes the session (kq7120_close); the object cannot be used afterwards, and closing it
        again does nothing."""
        if not self._handle:
            return 0
        status = self._call("kq7120_close")
        self._handle = 0
        return status

    def reset(self) -> int:
        """Sends "*RST" (kq7120_reset)."""
        return self._call("kq7120_reset")

    def error_message(self, code: int) -> str:
        """The text of any status code, VISA statuses asked of this session (kq7120_error_message)."""
        return _driver.error_message(code, self._handle)

    def self_test(self) -> SelfTest:
        """Runs "*TST?" (about 5 s): result 0 and "No Error", or the names of the failed tests."""
        result = c_int16(0)
        message = ctypes.create_string_buffer(_driver.MESSAGE_SIZE)
        self._call("kq7120_self_test", byref(result), message)
        return SelfTest(result.value, _driver.text(message))

    def revision_query(self) -> Revision:
        """The driver's revision and the module's firmware revision."""
        driver = ctypes.create_string_buffer(_driver.MESSAGE_SIZE)
        instrument = ctypes.create_string_buffer(_driver.MESSAGE_SIZE)
        self._call("kq7120_revision_query", driver, instrument)
        return Revision(_driver.text(driver), _driver.text(instrument))

    def error_query(self) -> ErrorQueueEntry:
        """The oldest entry of the module's error queue; 0 and "No error" when it is empty."""
        number = c_int32(0)
        text = ctypes.create_string_buffer(_driver.MESSAGE_SIZE)
        self._call("kq7120_error_query", byref(number), text)
        return _driver.queue_entry(number.value, _driver.text(text))

    def direct_io(self, command: str) -> str:
        """Sends any SCPI text; returns the reply (with its newline) of a query, else ""."""
        reply = ctypes.create_string_buffer(_driver.REPLY_SIZE)
        self._call("kq7120_directIO", command, reply)
        return _driver.text(reply)

    def set_oper_complete(self) -> int:
        """Sends "*OPC"."""
        return self._call("kq7120_setOperComplete")

    def get_oper_complete(self) -> int:
        """Asks "*OPC?"."""
        value = c_int16(0)
        self._call("kq7120_getOperComplete", byref(value))
        return value.value

    def clear_status_register(self) -> int:
        """Sends "*CLS"."""
        return self._call("kq7120_clearStatusRegister")

    def set_status_mask(self, service_request_enable: int, event_status_enable: int,
                        operation_status_enable: int) -> int:
        """Sets the three enable masks (0 to 255)."""
        return self._call("kq7120_setStatusMask", service_request_enable, event_status_enable,
                          operation_status_enable)

    def query_device_status_reg(self, which: int) -> int:
        """Reads one status register (StatusRegister)."""
        value = c_int32(0)
        self._call("kq7120_queryDeviceStatusReg", which, byref(value))
        return value.value

    # ---- Channel voltage, output range and trigger -----------------------------------------------

    def setup_voltage(self, volts: float, channels: Integers) -> int:
        """Sets one voltage (-20.0 to 19.99969 V) on the listed channels."""
        return self._call("kq7120_setupVoltage", volts, channels, len(channels))

    def query_voltage(self, channel: int) -> float:
        """The voltage of one channel."""
        value = c_float(0.0)
        self._call("kq7120_queryVoltage", channel, byref(value))
        return value.value

    def setup_voltage_range(self, output_range: int, channels: Integers) -> int:
        """Selects the output range (Range) of the listed channels."""
        return self._call("kq7120_setupVoltageRange", output_range, channels, len(channels))

    def query_voltage_range(self, channel: int) -> Union[Range, int]:
        """The output range of one channel."""
        value = c_int16(0)
        self._call("kq7120_queryVoltageRange", channel, byref(value))
        return _enum(Range, value.value)

    def trigger_event(self) -> int:
        """Software trigger "*TRG"."""
        return self._call("kq7120_triggerEvent")

    def setup_and_write_to_dac(self, source: int, slope: int, volts: float, channels: Integers) -> int:
        """Sets the trigger source and slope, then one voltage on the listed channels."""
        return self._call("kq7120_setupAndWriteToDAC", source, slope, volts, channels, len(channels))

    def config_trigger_params(self, source: int, slope: int) -> int:
        """Sets the trigger source (TriggerSource) and slope (Slope)."""
        return self._call("kq7120_configTriggerParams", source, slope)

    def query_trigger_params(self) -> TriggerParams:
        """The trigger source and slope."""
        source = c_int16(0)
        slope = c_uint16(0)
        self._call("kq7120_queryTriggerParams", byref(source), byref(slope))
        return TriggerParams(_enum(TriggerSource, source.value), _enum(Slope, slope.value))

    # ---- DAC memory arrays -----------------------------------------------------------------------

    def memory_setup(self, index: int, volts: Numbers) -> int:
        """Stores one voltage per channel as memory array index (1 to 512). Give 16 values for a
        KQ7120, 8 for a KQ7110; channels without a value get 0 V."""
        if not 1 <= len(volts) <= MAX_CHANNEL:
            raise ValueError(f"one voltage per channel: 1 to {MAX_CHANNEL} values")
        padded = [float(v) for v in volts] + [0.0] * (MAX_CHANNEL - len(volts))
        return self._call("kq7120_memorySetup", index, padded)

    def query_dac_memory_array(self, index: int) -> Any:
        """Memory array index: one voltage per channel of the module."""
        values = (c_float * MAX_CHANNEL)(*([math.nan] * MAX_CHANNEL))
        self._call("kq7120_queryDACMemoryArray", index, values)
        count = MAX_CHANNEL if any(not math.isnan(v) for v in values[8:]) else 8
        return _arrays.result(values, count, as_int=False)

    def source_voltage_setup(self, index: int) -> int:
        """Sets every channel from memory array index."""
        return self._call("kq7120_sourceVoltageSetup", index)

    # ---- Scan mode, limit and lists --------------------------------------------------------------

    def setup_scan_mode(self, mode: int, channels: Integers = ()) -> int:
        """Sets the mode (ScanMode) of the listed channels; ScanMode.ALL_OFF needs no list."""
        return self._call("kq7120_setupScanMode", mode, channels, len(channels))

    def setup_scan_limit(self, channel: int, count: int) -> int:
        """Sets the last scan table entry used (1 to 512) of one channel."""
        return self._call("kq7120_setupScanLimit", channel, count)

    def setup_scan_list(self, channel: int, volts: Numbers) -> int:
        """Writes 1 to 512 scan table entries of one channel from entry 1."""
        return self._call("kq7120_setupScanList", channel, volts, len(volts))

    def setup_scan_list_at_index(self, channel: int, index: int, volts: float) -> int:
        """Writes one scan table entry."""
        return self._call("kq7120_setupScanListAtIndex", channel, index, volts)

    def setup_scan_list_params(self, channel: int, mode: int, count: int, volts: Numbers) -> int:
        """Resets the module, triggers on TTL line 0, then sets the channel's mode, limit and table."""
        return self._call("kq7120_setupScanListParams", channel, mode, count, volts, len(volts))

    def query_scan_mode(self, channel: int) -> Union[ScanMode, int]:
        """The mode of one channel."""
        value = c_int16(0)
        self._call("kq7120_queryScanMode", channel, byref(value))
        return _enum(ScanMode, value.value)

    def query_scan_limit(self, channel: int) -> int:
        """The scan limit of one channel."""
        value = c_int16(0)
        self._call("kq7120_queryScanLimit", channel, byref(value))
        return value.value

    def query_scan_list(self, channel: int, count: int, start: int) -> Any:
        """count scan table entries of one channel from entry start."""
        if not 0 <= count <= 512:
            raise ValueError("count: 0 to 512 entries")
        values = (c_float * max(count, 1))()
        self._call("kq7120_queryScanList", channel, count, start, values)
        return _arrays.result(values, count, as_int=False)

    def query_scan_list_at_index(self, channel: int, index: int) -> float:
        """One scan table entry."""
        value = c_float(0.0)
        self._call("kq7120_queryScanListAtIndex", channel, index, byref(value))
        return value.value

    # ---- Calibration -----------------------------------------------------------------------------

    def enable_disable_sec_state(self, password: str, mode: int) -> int:
        """SecurityMode.ENABLE switches calibration security on; DISABLE switches it off with the code."""
        return self._call("kq7120_enableDisableSecState", password, mode)

    def calibrate_offset_gain(self, password: str, channel: int, gain: int, offset: int) -> int:
        """Sets the gain and zero adjustment (-128 to 127) of one channel."""
        return self._call("kq7120_calibrateOffsetGain", password, channel, gain, offset)

    def calibration_data_block(self, password: str, values: Integers) -> int:
        """Writes the 64 calibration values (32 gains, then 32 zero adjustments) as one block."""
        if len(values) != CAL_DATA_SIZE:
            raise ValueError(f"exactly {CAL_DATA_SIZE} calibration values")
        return self._call("kq7120_calibrationDataBlock", password, values)

    def enable_disable_auto_store(self, password: str, mode: int) -> int:
        """Switches automatic storing of calibration data on or off (AutoStore)."""
        return self._call("kq7120_enableDisableAutoStore", password, mode)

    def store_calibration_data(self, password: str) -> int:
        """Stores the calibration data; returns the calibration count."""
        count = c_int32(0)
        self._call("kq7120_storeCalibrationData", password, byref(count))
        return count.value

    def change_security_code(self, old_password: str, new_password: str) -> int:
        """Replaces the security code (1 to 12 characters); security is on afterwards."""
        return self._call("kq7120_changeSecurityCode", old_password, new_password)

    def calibration_query(self) -> Calibration:
        """Security state, calibration count and the 64 calibration values."""
        state = c_int16(0)
        count = c_int32(0)
        data = (c_int16 * (CAL_DATA_SIZE + 1))()
        self._call("kq7120_calibrationQuery", byref(state), byref(count), data)
        return Calibration(_enum(SecurityState, state.value), count.value,
                           _arrays.result(data, CAL_DATA_SIZE, as_int=True))

    def calibrate_instrument(self, channel: int, gain: int, offset: int, password: str, save: int) -> int:
        """Calibrates one channel and, with SaveFlag.STORE, stores the data; returns the count."""
        count = c_int32(0)
        self._call("kq7120_calibrateInstrument", channel, gain, offset, password, save, byref(count))
        return count.value

    # ---- Sample clock, timer, marker, output trigger and data format -----------------------------

    def setup_clock(self, source: int, slope: int) -> int:
        """Sets the sample clock (ClockSource) of ARB and FIFO output and its edge."""
        return self._call("kq7120_setupClock", source, slope)

    def setup_marker(self, state: int, slope: int) -> int:
        """Switches the marker output on or off (MarkerState) with its polarity."""
        return self._call("kq7120_setupMarker", state, slope)

    def setup_timer(self, period: float) -> int:
        """Sets the timer period in seconds."""
        return self._call("kq7120_setupTimer", period)

    def setup_data_format(self, data_format: int) -> int:
        """Sets the data format of DAC codes (DataFormat)."""
        return self._call("kq7120_setupDataFormat", data_format)

    def setup_output(self, source: int, line: int, marker_slope: int) -> int:
        """Drives TTL trigger line 0 to 7 from the trigger or the marker (OutputTrigger)."""
        return self._call("kq7120_setupOutput", source, line, marker_slope)

    def query_clock_parms(self) -> ClockParams:
        """The sample clock source and edge."""
        source = c_int16(0)
        slope = c_uint16(0)
        self._call("kq7120_queryClockParms", byref(source), byref(slope))
        return ClockParams(_enum(ClockSource, source.value), _enum(Slope, slope.value))

    def query_marker_parms(self) -> MarkerParams:
        """The marker state and polarity."""
        state = c_int16(0)
        slope = c_uint16(0)
        self._call("kq7120_queryMarkerParms", byref(state), byref(slope))
        return MarkerParams(_enum(MarkerState, state.value), _enum(Slope, slope.value))

    def query_timer(self) -> float:
        """The timer period in seconds."""
        value = c_double(0.0)
        self._call("kq7120_queryTimer", byref(value))
        return value.value

    def query_data_format(self) -> Union[DataFormat, int]:
        """The data format of DAC codes."""
        value = c_int16(0)
        self._call("kq7120_queryDataFormat", byref(value))
        return _enum(DataFormat, value.value)

    def query_output(self) -> OutputParams:
        """The output trigger source, line and marker polarity."""
        source = c_int16(0)
        line = c_int16(0)
        slope = c_uint16(0)
        self._call("kq7120_queryOutput", byref(source), byref(line), byref(slope))
        return OutputParams(_enum(OutputTrigger, source.value), line.value, _enum(Slope, slope.value))

    # ---- ARB segments and sequences --------------------------------------------------------------

    def arb_define_segment(self, segment: int, size: int) -> int:
        """Creates segment 0 to 4095 of size points."""
        return self._call("kq7120_arbDefineSegment", segment, size)

    def arb_resize_segment(self, segment: int, size: int) -> int:
        """Changes the size of a segment."""
        return self._call("kq7120_arbResizeSegment", segment, size)

    def arb_delete_all_segments(self) -> int:
        """Deletes every segment."""
        return self._call("kq7120_arbDeleteAllSegments")

    def arb_copy_waveform(self, source_segment: int, source_channel: int, destination_segment: int,
                          destination_channel: int) -> int:
        """Copies one segment's channel to another."""
        return self._call("kq7120_arbCopyWaveform", source_segment, source_channel, destination_segment,
                          destination_channel)

    def arb_set_data_point(self, segment: int, channel: int, offset: int, sample: int) -> int:
        """Writes one DAC code (signed or unsigned word) at a point of a segment's channel."""
        return self._call("kq7120_arbSetDataPoint", segment, channel, offset, _arrays.code(sample, True))

    def arb_resize_sequence(self, size: int) -> int:
        """Sets the number of sequence steps."""
        return self._call("kq7120_arbResizeSequence", size)

    def arb_define_sequence(self, segments: Integers) -> int:
        """Sets the sequence: step i plays segments[i] (1 to 4096 steps)."""
        return self._call("kq7120_arbDefineSequence", segments, len(segments))

    def arb_set_seq_parms(self, index: int, start: int, advance: int, repeat: int, marker: int) -> int:
        """Start (SequenceStart), advance (SequenceAdvance), repeat count (16 bits) and marker of one step."""
        return self._call("kq7120_arbSetSeqParms", index, start, advance, repeat, marker)

    def arb_set_seq_parms_ex(self, index: int, start: int, advance: int, repeat: int, marker: int) -> int:
        """arb_set_seq_parms with a repeat count of 0 to 1048575 (0 for ever) and every value checked."""
        return self._call("kq7120_arbSetSeqParmsEx", index, start, advance, repeat, marker)

    def arb_load_text(self, segment: int, channel: int, codes: Integers) -> int:
        """Loads DAC codes into a segment's channel as one SCPI block (at most 16373 codes)."""
        return self._call("kq7120_arbLoadText", segment, channel, _arrays.codes(codes, True), len(codes))

    def memory_size(self) -> int:
        """The module's waveform memory in points."""
        value = c_int32(0)
        self._call("kq7120_memorySize", byref(value))
        return value.value

    def query_arb_memory_usage(self) -> MemoryUsage:
        """Waveform memory points free and in use."""
        available = c_int32(0)
        used = c_int32(0)
        self._call("kq7120_queryArbMemoryUsage", byref(available), byref(used))
        return MemoryUsage(available.value, used.value)

    def arb_query_segment_size(self, segment: int) -> int:
        """The size of a segment in points."""
        value = c_int32(0)
        self._call("kq7120_arbQuerySegmentSize", segment, byref(value))
        return value.value

    def arb_query_data_point(self, segment: int, channel: int, offset: int) -> int:
        """One DAC code of a segment's channel, as a signed word."""
        value = c_int16(0)
        self._call("kq7120_arbQueryDataPoint", segment, channel, offset, byref(value))
        return value.value

    def arb_query_seq_parms(self, index: int) -> SequenceStep:
        """The settings of one sequence step."""
        segment = c_int16(0)
        repeat = c_int32(0)
        start = c_int16(0)
        advance = c_int16(0)
        marker = c_int16(0)
        self._call("kq7120_arbQuerySeqParms", index, byref(segment), byref(repeat), byref(start),
                   byref(advance), byref(marker))
        return SequenceStep(segment.value, repeat.value, _enum(SequenceStart, start.value),
                            _enum(SequenceAdvance, advance.value), _enum(SequenceMarker, marker.value))

    def _read_waveform(self, name: str, element, segment: int, channel: int, points: Optional[int]) -> Any:
        if points is None:
            points = self.arb_query_segment_size(segment)
        if not 0 <= points <= MAX_WAVEFORM_READ_POINTS:
            raise ValueError(f"points: 0 to {MAX_WAVEFORM_READ_POINTS}")
        stream = ctypes.create_string_buffer(2 * points + 8)
        data = (element * max(points, 1))()
        count = c_int32(points)
        self._call(name, segment, channel, stream, data, byref(count))
        return _arrays.result(data, count.value, as_int=element is c_uint16)

    def arb_query_waveform_data(self, segment: int, channel: int, points: Optional[int] = None) -> Any:
        """Up to points (0 to 16380; default the segment's size) DAC codes of a segment's channel, as
        unsigned words. The module sends the whole segment: fewer points than that fail with
        Status.READ_BUFFER_FULL."""
        return self._read_waveform("kq7120_arbQueryWaveformData", c_uint16, segment, channel, points)

    def arb_query_waveform_voltage(self, segment: int, channel: int, points: Optional[int] = None) -> Any:
        """arb_query_waveform_data converted to volts in the channel's range and the data format."""
        return self._read_waveform("kq7120_arbQueryWaveformVoltage", c_double, segment, channel, points)

    # ---- Register-level waveform transfer and run control ----------------------------------------

    def arb_load_voltage(self, segment: int, channel: int, output_range: int, volts: Numbers) -> int:
        """Converts volts to DAC codes in the range (Range) and loads them into a segment's channel."""
        return self._call("kq7120_arbLoadVoltage", segment, channel, output_range, volts, len(volts))

    def arb_load_data(self, segment: int, channel: int, codes: Integers) -> int:
        """Loads DAC codes already in the module's data format (signed or unsigned words)."""
        return self._call("kq7120_arbLoadData", segment, channel, _arrays.codes(codes, False), len(codes))

    def load_fifo_voltage(self, channel: int, output_range: int, volts: Numbers) -> int:
        """Converts volts to DAC codes and appends them to the FIFO (channel is not used)."""
        return self._call("kq7120_loadFIFOVoltage", channel, output_range, volts, len(volts))

    def load_fifo_data(self, codes: Integers) -> int:
        """Appends DAC codes (signed or unsigned words) to the FIFO."""
        return self._call("kq7120_loadFIFO_Data", _arrays.codes(codes, False), len(codes))

    def get_fifo_status(self) -> FifoStatus:
        """The FIFO status word (FifoStatus bits)."""
        value = c_uint16(0)
        self._call("kq7120_GetFifoStatus", byref(value))
        return FifoStatus(value.value)

    def command_arb(self, command: int) -> int:
        """Starts (RunCommand.INITIATE) or stops (RunCommand.ABORT) the waveform generator."""
        return self._call("kq7120_commandArb", command)

    def command_fifo(self, command: int) -> int:
        """Starts or stops the waveform generator, as command_arb."""
        return self._call("kq7120_commandFifo", command)

    def arb_scpi(self, codes: Integers, sample_time: float) -> int:
        """Resets the module and plays signed DAC codes on channel 1, one every sample_time seconds."""
        return self._call("kq7120_arbScpi", len(codes), _arrays.codes(codes, True), sample_time)

    def reg_mode_dac_wrt(self, channels: Integers, codes: Integers, delay: float) -> int:
        """Writes codes[i] straight into DAC channel channels[i], waiting delay seconds after each."""
        if len(channels) != len(codes):
            raise ValueError("one code per channel")
        return self._call("kq7120_regModeDacWrt", len(channels), channels, _arrays.codes(codes, True), delay)

    def reg_mode_arm_arb(self) -> int:
        """Arms the ARB through its register: a running sequence starts over at step 0."""
        return self._call("kq7120_regModeArmArb")
