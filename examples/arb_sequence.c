/* Plays an ARB sequence on channels 1-3 of a module: a sine, a ramp and a square of 100 points
 * each, one point per millisecond, in turn for six seconds, then the square holds its last point.
 * On a chassis server (kq7120-chassis) the module plays on after the program ends: the front
 * panel's View > Simulated outputs window shows it.
 *
 * Usage: arb_sequence [resource]   (default: VXI0::24::INSTR) */
#include <math.h>
#include <stdio.h>

#include "kq7120.h"

enum { POINTS = 100, CHANNELS = 3, STEPS = 60 };

static int failed(ViSession instr, const char* step, ViStatus status) {
    ViChar message[256];
    kq7120_error_message(instr, status, message);
    fprintf(stderr, "%s failed: %ld, %s\n", step, (long)status, message);
    return 1;
}

/* Point i of segment `shape` (0 sine, 1 ramp, 2 square) on `channel`, in volts. */
static ViReal64 level(int shape, int channel, int i) {
    const double amplitude = 2.0 + 2.0 * channel;
    const double phase = (double)i / POINTS;
    if (shape == 0) return amplitude * sin(2.0 * 3.14159265358979 * phase);
    if (shape == 1) return amplitude * (2.0 * phase - 1.0);
    return i < POINTS / 2 ? amplitude : -amplitude;
}

int main(int argc, char** argv) {
    const char* resource = argc > 1 ? argv[1] : "VXI0::24::INSTR";
    ViSession instr = VI_NULL;
    ViStatus status = kq7120_init(resource, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &instr);
    if (status < VI_SUCCESS) return failed(VI_NULL, "Open", status);

    const ViInt16 channels[CHANNELS] = {1, 2, 3};
    if ((status = kq7120_setupClock(instr, kq7120_ROSC_TIMER, kq7120_POSITIVE)) < VI_SUCCESS)
        return failed(instr, "Sample clock", status);
    if ((status = kq7120_setupTimer(instr, 0.001)) < VI_SUCCESS) return failed(instr, "Timer", status);
    if ((status = kq7120_setupScanMode(instr, kq7120_SCAN_MODE_ARB, channels, CHANNELS)) < VI_SUCCESS)
        return failed(instr, "ARB mode", status);
    for (int shape = 0; shape < 3; ++shape) {
        for (int c = 0; c < CHANNELS; ++c) {
            ViReal64 points[POINTS];
            for (int i = 0; i < POINTS; ++i) points[i] = level(shape, c, i);
            status = kq7120_arbLoadVoltage(instr, (ViInt16)shape, channels[c], kq7120_20VOLT_RANGE, points,
                                           POINTS);
            if (status < VI_SUCCESS) return failed(instr, "Segment load", status);
        }
    }
    ViInt16 sequence[STEPS];
    for (int step = 0; step < STEPS; ++step) sequence[step] = (ViInt16)(step % 3);
    if ((status = kq7120_arbDefineSequence(instr, sequence, STEPS)) < VI_SUCCESS)
        return failed(instr, "Sequence", status);
    for (ViInt16 step = 0; step < STEPS; ++step) {
        status = kq7120_arbSetSeqParmsEx(instr, step, kq7120_SEQ_AUTO_START, kq7120_SEQ_ASYNC_ADVANCE, 1,
                                         kq7120_SEQ_MARKER_OFF);
        if (status < VI_SUCCESS) return failed(instr, "Sequence step", status);
    }
    if ((status = kq7120_commandArb(instr, kq7120_INITIATE)) < VI_SUCCESS)
        return failed(instr, "Start", status);
    printf("Playing %d steps of sine, ramp and square on channels 1-3 of %s\n", STEPS, resource);
    kq7120_close(instr);
    return 0;
}
