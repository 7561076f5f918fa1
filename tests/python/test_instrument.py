"""The Kq7120 class on the simulated chassis: every method's main path, errors with their texts,
waveforms in volts and codes, and the session's life."""
import math
import os
import subprocess
import sys

import pytest

import kq7120
from kq7120 import (ClockSource, DataFormat, FifoStatus, Kq7120Error, MarkerState, OutputTrigger, Range,
                    RunCommand, ScanMode, ScpiLog, SecurityMode, SecurityState, SequenceAdvance,
                    SequenceMarker, SequenceStart, Slope, Status, StatusRegister, TriggerSource)

from conftest import KQ7110, KQ7120

SECURITY_CODE = "KQ7120"


def listed(values):
    return [float(v) for v in values]


def test_scan_and_open_first():
    scan = kq7120.scan_chassis()
    assert [(m.logical_address, m.slot, m.model, m.interface) for m in scan.modules] == [
        (24, 2, 7120, 0), (40, 4, 7110, 0)]
    assert scan.connection == kq7120.Connection.VXI
    assert scan.modules[0].descriptor == KQ7120
    with kq7120.open_first() as dac:
        assert dac.revision_query() == ("2.78.00", "A.02.05")


def test_context_manager_closes_the_session():
    with kq7120.Kq7120(KQ7110, id_query=False, reset=False) as dac:
        handle = dac.handle
        assert handle != 0
        assert dac.query_scan_mode(1) == ScanMode.OFF
    assert dac.handle == 0
    assert repr(dac) == "<Kq7120 closed>"
    with pytest.raises(Kq7120Error) as closed:
        kq7120._driver.call("kq7120_reset", handle, session=handle)
    assert closed.value.code == Status.INV_OBJECT
    dac.close()
    assert dac.handle == 0


def test_use_simulator_after_the_first_call_is_refused():
    kq7120.scan_chassis()
    with pytest.raises(RuntimeError):
        kq7120.use_simulator()


def test_session_status_and_error_queue(dac):
    assert dac.self_test() == (0, "No Error")
    assert dac.error_query() == (0, "No error")
    assert dac.direct_io("*IDN?").startswith("Harlowfen Instruments,KQ7120,")
    assert dac.direct_io("*CLS") == ""
    assert dac.set_oper_complete() == 0
    assert dac.get_oper_complete() == 1
    assert dac.clear_status_register() == 0
    assert dac.set_status_mask(16, 60, 8) == 0
    assert dac.query_device_status_reg(StatusRegister.SERVICE_REQUEST_ENABLE) == 16
    assert dac.query_device_status_reg(StatusRegister.EVENT_STATUS_ENABLE) == 60
    assert dac.query_device_status_reg(StatusRegister.OPERATION_ENABLE) == 8
    assert dac.reset() == 0
    assert dac.error_message(Status.INSTRUMENT_ERROR) == "Instrument Error. Use Error Query Panel"
    assert dac.error_message(-1073807339).startswith("VI_ERROR_TMO")


def test_dc_output_trigger_and_memory_arrays(dac):
    dac.setup_voltage(2.5, [1, 2, 3])
    assert [dac.query_voltage(c) for c in (1, 3, 4)] == [2.5, 2.5, 0.0]
    dac.setup_voltage_range(Range.VOLT10, [5])
    assert dac.query_voltage_range(5) is Range.VOLT10
    dac.config_trigger_params(TriggerSource.EXT, Slope.NEGATIVE)
    assert dac.query_trigger_params() == (TriggerSource.EXT, Slope.NEGATIVE)
    dac.setup_and_write_to_dac(TriggerSource.AUTO, Slope.POSITIVE, -1.25, (6,))
    assert dac.query_voltage(6) == -1.25
    assert dac.trigger_event() == 0
    volts = [0.5 * c for c in range(16)]
    dac.memory_setup(7, volts)
    assert listed(dac.query_dac_memory_array(7)) == volts
    dac.source_voltage_setup(7)
    assert dac.query_voltage(16) == 7.5


def test_scanning(dac, arrays):
    table = [0.25, -0.5, 1.0]
    dac.setup_scan_list(2, table)
    assert listed(dac.query_scan_list(2, 3, 1)) == table
    dac.setup_scan_list_at_index(2, 2, 4.0)
    assert dac.query_scan_list_at_index(2, 2) == 4.0
    dac.setup_scan_limit(2, 3)
    assert dac.query_scan_limit(2) == 3
    dac.config_trigger_params(TriggerSource.TTLTRG1, Slope.POSITIVE)
    dac.setup_scan_mode(ScanMode.LOOP, [2])
    assert dac.query_scan_mode(2) is ScanMode.LOOP
    dac.setup_scan_mode(ScanMode.ALL_OFF)
    assert dac.query_scan_mode(2) is ScanMode.OFF
    dac.setup_scan_list_params(3, ScanMode.ON, 2, arrays.array([1.5, 2.5]) if arrays else [1.5, 2.5])
    assert (dac.query_scan_mode(3), dac.query_scan_limit(3)) == (ScanMode.ON, 2)
    assert listed(dac.query_scan_list(3, 2, 1)) == [1.5, 2.5]


def test_calibration(dac):
    dac.enable_disable_sec_state(SECURITY_CODE, SecurityMode.DISABLE)
    dac.enable_disable_sec_state("", SecurityMode.ENABLE)
    dac.calibrate_offset_gain(SECURITY_CODE, 1, 5, -3)
    block = [(i % 7) - 3 for i in range(64)]
    dac.calibration_data_block(SECURITY_CODE, block)
    dac.enable_disable_auto_store(SECURITY_CODE, kq7120.AutoStore.OFF)
    count = dac.store_calibration_data(SECURITY_CODE)
    state = dac.calibration_query()
    assert state.security_state is SecurityState.ON
    assert state.count == count
    assert [int(v) for v in state.data] == block
    assert dac.calibrate_instrument(2, 1, 1, SECURITY_CODE, kq7120.SaveFlag.STORE) == count + 1
    dac.change_security_code(SECURITY_CODE, "NEWCODE")
    with pytest.raises(Kq7120Error):
        dac.enable_disable_sec_state(SECURITY_CODE, SecurityMode.DISABLE)
    dac.change_security_code("NEWCODE", SECURITY_CODE)
    with pytest.raises(ValueError):
        dac.calibration_data_block(SECURITY_CODE, block[:10])


def test_clock_marker_output_and_format(dac):
    settings = [
        (dac.setup_clock, (ClockSource.TIMER, Slope.NEGATIVE), dac.query_clock_parms),
        (dac.setup_marker, (MarkerState.ON, Slope.NEGATIVE), dac.query_marker_parms),
        (dac.setup_output, (OutputTrigger.MARKER, 5, Slope.NEGATIVE), dac.query_output),
        (dac.setup_data_format, (DataFormat.SIGNED,), lambda: (dac.query_data_format(),)),
        (dac.setup_timer, (0.25,), lambda: (dac.query_timer(),)),
    ]
    for setup, values, query in settings:
        setup(*values)
        assert tuple(query()) == values, setup.__name__


def test_arb_segments_sequence_and_waveforms_in_volts_and_codes(dac, arrays):
    dac.arb_delete_all_segments()
    total = dac.memory_size()
    assert dac.query_arb_memory_usage() == (total, 0)
    dac.arb_define_segment(1, 8)
    dac.arb_define_segment(2, 4)
    dac.arb_resize_segment(2, 8)
    assert dac.arb_query_segment_size(2) == 8
    dac.setup_data_format(DataFormat.SIGNED)
    dac.setup_voltage_range(Range.VOLT20, [1, 2])

    volts = [-20.0, -1.0, 0.0, 0.5, 1.0, 10.0, 19.99969, 2.0]
    dac.arb_load_voltage(1, 1, Range.VOLT20, arrays.array(volts) if arrays else volts)
    read = dac.arb_query_waveform_voltage(1, 1)
    assert all(math.isclose(a, b, abs_tol=1 / 1638.4) for a, b in zip(read, volts)) and len(read) == 8
    assert [int(c) for c in dac.arb_query_waveform_data(1, 1, 8)][:3] == [0x8000, 0x10000 - 1638, 0]
    if arrays is not None:
        assert isinstance(read, arrays.ndarray)

    codes = [-32768, -1, 0, 1, 1000, 32767, 0xFFFE, 5]
    dac.arb_load_data(1, 2, arrays.array(codes) if arrays else codes)
    assert [int(c) for c in dac.arb_query_waveform_data(1, 2, 8)] == [c & 0xFFFF for c in codes]
    dac.arb_set_data_point(1, 2, 7, -2)
    assert dac.arb_query_data_point(1, 2, 7) == -2
    dac.arb_copy_waveform(1, 2, 2, 3)
    assert [int(c) for c in dac.arb_query_waveform_data(2, 3, 8)][:6] == [c & 0xFFFF for c in codes][:6]
    dac.arb_load_text(2, 4, [10, -10, 0xFFFF, 3])
    assert [dac.arb_query_data_point(2, 4, i) for i in range(4)] == [10, -10, -1, 3]
    assert dac.query_arb_memory_usage().used > 0

    dac.arb_resize_sequence(2)
    dac.arb_define_sequence([1, 2])
    dac.arb_set_seq_parms(0, SequenceStart.AUTO, SequenceAdvance.SYNC, 3, SequenceMarker.ON)
    dac.arb_set_seq_parms_ex(1, SequenceStart.TRIG, SequenceAdvance.ASYNC, 100000, SequenceMarker.OFF)
    assert dac.arb_query_seq_parms(0) == (1, 3, SequenceStart.AUTO, SequenceAdvance.SYNC, SequenceMarker.ON)
    assert dac.arb_query_seq_parms(1) == (2, 100000, SequenceStart.TRIG, SequenceAdvance.ASYNC,
                                          SequenceMarker.OFF)
    dac.setup_scan_mode(ScanMode.ARB, [1, 2])
    dac.command_arb(RunCommand.INITIATE)
    dac.reg_mode_arm_arb()
    dac.command_arb(RunCommand.ABORT)


def test_fifo_register_writes_and_the_arb_demonstration(dac):
    dac.setup_scan_mode(ScanMode.FIFO, [1])
    assert dac.get_fifo_status() & FifoStatus.EMPTY
    dac.load_fifo_voltage(1, Range.VOLT20, [1.0, -1.0])
    dac.load_fifo_data([0, 100, -100])
    assert not dac.get_fifo_status() & FifoStatus.EMPTY
    dac.command_fifo(RunCommand.INITIATE)
    dac.command_fifo(RunCommand.ABORT)
    dac.reg_mode_dac_wrt([1, 2], [1638, -1638], 0.001)
    with pytest.raises(ValueError):
        dac.reg_mode_dac_wrt([1, 2], [1], 0.001)
    dac.arb_scpi([0, 1000, 0, -1000], 0.001)


def test_errors_carry_code_text_and_the_module_error(dac):
    with pytest.raises(Kq7120Error) as parameter:
        dac.setup_voltage(30.0, [1])
    assert (parameter.value.code, parameter.value.message) == (Status.PARAMETER2, "Error in Parameter 2")
    assert parameter.value.function == "kq7120_setupVoltage"
    assert parameter.value.instrument_error is None
    with pytest.raises(Kq7120Error) as instrument:
        dac.direct_io("NO:SUCH:COMMAND 1")
    assert instrument.value.code == Status.INSTRUMENT_ERROR
    assert instrument.value.message == "Instrument Error. Use Error Query Panel"
    assert instrument.value.instrument_error == (-113, "Undefined header")
    assert "module error -113" in str(instrument.value)


@pytest.mark.parametrize("call, position", [
    (lambda d: d.setup_voltage(1.0, [70000]), 3),        # would wrap to channel 4464
    (lambda d: d.query_voltage(65537), 2),                # would wrap to channel 1
    (lambda d: d.arb_define_segment(1, 2 ** 31), 3),
    (lambda d: d.load_fifo_data([70000]), 2),
    (lambda d: d.enable_disable_sec_state("\u20ac", SecurityMode.DISABLE), 2),
])
def test_values_ctypes_would_wrap_are_parameter_errors(dac, call, position):
    with pytest.raises(Kq7120Error) as error:
        call(dac)
    assert error.value.code == Status.PARAMETER1 + position - 1


def test_scpi_log(dac, tmp_path):
    log = tmp_path / "scpi.log"
    kq7120.enable_disable_scpi_log(ScpiLog.ON, str(log))
    dac.setup_voltage(1.5, [2])
    kq7120.enable_disable_scpi_log(ScpiLog.OFF)
    assert "SOUR:VOLT:LEV 1.5,(@2)" in log.read_text().splitlines()
    with pytest.raises(Kq7120Error) as error:
        kq7120.enable_disable_scpi_log(ScpiLog.ON, "")
    assert error.value.code == Status.PARAMETER2
    assert kq7120.error_message(Status.WRITE_ERROR) == "Unknown Error Code"


def test_without_a_visa_library_the_error_says_what_to_do(tmp_path):
    program = "import kq7120\ntry:\n    kq7120.scan_chassis()\nexcept kq7120.Kq7120Error as e:\n" \
              "    print(e.code, e.message)\n"
    environment = dict(os.environ, KQ7120_VISA_LIBRARY=str(tmp_path / "libvisa.so"))
    run = subprocess.run([sys.executable, "-c", program], env=environment, capture_output=True, text=True,
                         timeout=60)
    assert run.stdout.startswith(f"{Status.LIBRARY_NFOUND} VI_ERROR_LIBRARY_NFOUND: the VISA library could "
                                 "not be loaded. Set KQ7120_VISA_LIBRARY")
    assert run.stderr.count("cannot use the VISA library") == 1
