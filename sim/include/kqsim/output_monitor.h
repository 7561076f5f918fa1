/* Recent output samples of a simulated KQ module's channels, for output views. A plain C function
 * exported by the simulator library, so a program that has only loaded the simulated libvisa.so
 * finds it with dlsym(handle, KQSIM_READ_CHANNEL_OUTPUT_SYMBOL). */
#ifndef KQSIM_OUTPUT_MONITOR_H
#define KQSIM_OUTPUT_MONITOR_H

#ifdef __cplusplus
extern "C" {
#endif

/* Copies the most recent samples (at most maxSamples, oldest first) of one channel (1-based) of the
 * KQ module at `logicalAddress` on VXI interface `interfaceNumber` of the mainframe in use: times[i]
 * in seconds of simulated time, volts[i] the value the channel's DAC took then. The output holds each
 * value until the next sample. Returns the number of samples copied, 0 when maxSamples <= 0, and -1
 * when there is no KQ module there, no such channel, or a buffer is missing. */
int kqsim_readChannelOutput(unsigned interfaceNumber, unsigned logicalAddress, int channel, double* times,
                            double* volts, int maxSamples);

typedef int (*KqsimReadChannelOutputFunction)(unsigned, unsigned, int, double*, double*, int);
#define KQSIM_READ_CHANNEL_OUTPUT_SYMBOL "kqsim_readChannelOutput"

#ifdef __cplusplus
}
#endif

#endif
