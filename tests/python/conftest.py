"""The package on the simulated chassis: KQ7120 at VXI0::24, KQ7110 at VXI0::40."""
import os
import tempfile

import pytest

# The simulator keeps calibration data in this folder; never the user's own.
os.environ.setdefault("KQ7120_SIM_STATE_DIR", tempfile.mkdtemp(prefix="kq7120-pytest-"))

import kq7120  # noqa: E402 - after the state folder is chosen

kq7120.use_simulator()

KQ7120 = "VXI0::24::INSTR"
KQ7110 = "VXI0::40::INSTR"


@pytest.fixture
def dac():
    """The KQ7120, reset, closed afterwards."""
    with kq7120.Kq7120(KQ7120) as instrument:
        yield instrument


@pytest.fixture(params=["numpy", "lists"])
def arrays(request, monkeypatch):
    """Runs a test once with numpy (when installed) and once with plain lists."""
    from kq7120 import _arrays
    if request.param == "numpy" and _arrays.numpy is None:
        pytest.skip("numpy is not installed")
    if request.param == "lists":
        monkeypatch.setattr(_arrays, "numpy", None)
    return _arrays.numpy
