"""The Python examples run as a user runs them, on the simulated chassis."""
import os
import pathlib
import subprocess
import sys

import pytest

SOURCE = pathlib.Path(os.environ.get("KQ_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
EXAMPLES = SOURCE / "examples/python"


@pytest.mark.parametrize("script, expected", [
    ("dc_scan.py", ["KQ7120 at VXI0::24::INSTR, slot 2", "Channel 3: 2.5 V",
                    "Channel 4 scans [-1.0, 0.0, 1.0, 2.0], mode LOOP",
                    "Error queue: ErrorQueueEntry(number=0"]),
    ("arb_waveform.py", ["Segment 1 starts 0.0000, 0.4901, 0.9753, 1.4514 V", "points used",
                         "Error queue: ErrorQueueEntry(number=0"]),
])
def test_example_runs_on_the_simulator(script, expected, tmp_path):
    run = subprocess.run([sys.executable, str(EXAMPLES / script), "--simulator"], capture_output=True,
                         text=True, timeout=120, cwd=tmp_path)
    assert run.returncode == 0, run.stderr
    for line in expected:
        assert line in run.stdout, run.stdout
