"""A real VISA client on libvisa.so: PyVISA lists the simulated instruments, opens the KQ7120 of the
default chassis, asks its identity, reads its VXI attributes and writes and reads back an A16
register. Run with Debian's /usr/bin/python3 and the library's path as the first argument.

With "GPIB-VXI" as the second argument (and KQ7120_SIM_CHASSIS naming a chassis reached through a
GPIB-VXI bridge) it opens the modules by the names PyVISA lists there instead."""
import sys
import unittest

import pyvisa
from pyvisa import constants
from pyvisa.resources import MessageBasedResource, RegisterBasedResource

LIBRARY = sys.argv[1] if len(sys.argv) > 1 else "libvisa.so"
INTERFACE = sys.argv[2] if len(sys.argv) > 2 else "VXI"
KQ7120 = "VXI0::24::INSTR"
DAC_SELECT_REGISTER = 0x28


class Kq7120(MessageBasedResource, RegisterBasedResource):
    """PyVISA's VXI instrument class is register-based only; the module also talks SCPI."""


@unittest.skipUnless(INTERFACE == "VXI", "the default chassis")
class PyVisaClientTest(unittest.TestCase):
    def setUp(self):
        self.rm = pyvisa.ResourceManager(LIBRARY)

    def tearDown(self):
        self.rm.close()

    def test_lists_the_vxi_instruments(self):
        resources = self.rm.list_resources("?*VXI?*INSTR")
        self.assertIn(KQ7120, resources)
        self.assertEqual(resources, tuple(sorted(resources, key=lambda name: int(name.split("::")[1]))))

    def test_queries_identity_attributes_and_a_register(self):
        instrument = self.rm.open_resource(KQ7120, resource_pyclass=Kq7120, read_termination="\n",
                                           write_termination="\n")
        try:
            identity = instrument.query("*IDN?").split(",")
            self.assertEqual(identity[1], "KQ7120")
            self.assertEqual(instrument.get_visa_attribute(constants.VI_ATTR_MANF_ID), 0xA5D)
            self.assertEqual(instrument.get_visa_attribute(constants.VI_ATTR_SLOT), 2)
            instrument.write_memory(constants.VI_A16_SPACE, DAC_SELECT_REGISTER, 5, 16)
            self.assertEqual(instrument.read_memory(constants.VI_A16_SPACE, DAC_SELECT_REGISTER, 16), 5)
        finally:
            instrument.close()

    def test_opens_with_the_default_resource_class(self):
        instrument = self.rm.open_resource("vxi::24")
        try:
            self.assertEqual(instrument.resource_name, KQ7120)
            self.assertEqual(instrument.model_code, 0x103)
            self.assertEqual(instrument.model_name, "KQ7120")
            instrument.timeout = 500
            self.assertEqual(instrument.timeout, 500)
        finally:
            instrument.close()

    def test_read_with_nothing_to_answer_is_query_unterminated(self):
        instrument = self.open_kq7120()
        try:
            with self.assertRaises(pyvisa.VisaIOError) as raised:
                instrument.read()
            self.assertEqual(raised.exception.error_code, constants.StatusCode.error_timeout)
            self.assertEqual(instrument.query("*ESR?"), "4")
            self.assertEqual(instrument.query("SYST:ERR?"), '-420,"Query UNTERMINATED"')
        finally:
            instrument.close()

    def test_service_request_goes_away_with_its_cause(self):
        instrument = self.open_kq7120()
        try:
            instrument.write("*ESE 32;*SRE 36")
            instrument.write("NOT:A:COMMAND")
            instrument.write("*CLS")
            self.assertEqual(instrument.read_stb(), 0)
            instrument.write("NOT:A:COMMAND")
            self.assertEqual(instrument.read_stb(), 0x04 | 0x20 | 0x40)  # error queue, ESB, RQS
        finally:
            instrument.write("*ESE 0;*SRE 0")
            instrument.close()

    def open_kq7120(self):
        instrument = self.rm.open_resource(KQ7120, resource_pyclass=Kq7120, read_termination="\n",
                                           write_termination="\n")
        instrument.write("*RST;*CLS")
        return instrument

    def test_reports_errors_as_visa_errors(self):
        with self.assertRaises(pyvisa.VisaIOError) as raised:
            self.rm.open_resource("VXI0::99::INSTR")
        self.assertEqual(raised.exception.error_code, constants.StatusCode.error_resource_not_found)


@unittest.skipUnless(INTERFACE == "GPIB-VXI", "a chassis behind a GPIB-VXI bridge")
class PyVisaGpibVxiTest(unittest.TestCase):
    """PyVISA takes "GPIB-VXI0::24::INSTR" for a GPIB name and opens "GPIB-VXI0::24::0::INSTR"."""

    def setUp(self):
        self.rm = pyvisa.ResourceManager(LIBRARY)

    def tearDown(self):
        self.rm.close()

    def test_opens_each_module_by_the_name_it_lists(self):
        resources = self.rm.list_resources("?*VXI?*INSTR")
        self.assertEqual(resources, ("GPIB-VXI0::24::INSTR", "GPIB-VXI0::40::INSTR"))
        for name, model in zip(resources, ("KQ7120", "KQ7110")):
            with self.subTest(name=name):
                # PyVISA has no class of its own for a GPIB-VXI instrument: the plain resource.
                instrument = self.rm.open_resource(name)
                try:
                    self.assertEqual(instrument.resource_name, name)
                    self.assertEqual(instrument.interface_type, constants.InterfaceType.gpib_vxi)
                finally:
                    instrument.close()
                instrument = self.rm.open_resource(name, resource_pyclass=Kq7120, read_termination="\n",
                                                   write_termination="\n")
                try:
                    self.assertEqual(instrument.query("*IDN?").split(",")[1], model)
                finally:
                    instrument.close()

    def test_register_access_through_the_bridge(self):
        instrument = self.rm.open_resource("gpib-vxi::24", resource_pyclass=Kq7120)
        try:
            instrument.write_memory(constants.VI_A16_SPACE, DAC_SELECT_REGISTER, 9, 16)
            self.assertEqual(instrument.read_memory(constants.VI_A16_SPACE, DAC_SELECT_REGISTER, 16), 9)
        finally:
            instrument.close()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
