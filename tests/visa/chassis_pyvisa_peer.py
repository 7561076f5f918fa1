"""PyVISA as another program on the chassis server: prints the voltage of channel 3 of the KQ7120,
then sets channel 4 to -1.25 V. Arguments: the path of libvisa.so. KQ7120_SIM_SERVER names the server."""
import sys

import pyvisa
from pyvisa.resources import MessageBasedResource, RegisterBasedResource


class Kq7120(MessageBasedResource, RegisterBasedResource):
    """PyVISA's VXI instrument class is register-based only; the module also talks SCPI."""


manager = pyvisa.ResourceManager(sys.argv[1])
module = manager.open_resource("VXI0::24::INSTR", resource_pyclass=Kq7120, read_termination="\n",
                               write_termination="\n")
print(module.query("SOUR:VOLT:LEV? 3"))
module.write("SOUR:VOLT:LEV -1.25,(@4)")
module.close()
manager.close()
