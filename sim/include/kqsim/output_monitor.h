/* Recent output samples of a simulated KQ module's channels, for output views. A plain C function
 * exported by the simulator library, so a program that has only loaded the simulated libvisa.so
 * finds it with dlsym(handle, KQSIM_READ_CHANNEL_OUTPUT_SYMBOL). */
#ifndef KQSIM_OUTPUT_MONITOR_H
#define KQSIM_OUTPUT_MONITOR_H

#ifdef __cplusplus
extern "C" {
#endif

/* Works the same on the chassis of this process and on a served one (kqsim/chassis_link.h). */

/* Copies the most recent samples (at most maxSamples, oldest first) of one channel (1-based) of the
 * KQ module at `logicalAddress` on VXI interface `interfaceNumber` of the mainframe in use: times[i]
 * in seconds of simulated time, volts[i] the value the channel's DAC took then. The output holds each
 * value until the next sample. Returns the number of samples copied, 0 when maxSamples <= 0, and -1
 * when there is no KQ module there, no such channel, or a buffer is missing. */
int kqsim_readChannelOutput(unsigned interfaceNumber, unsigned logicalAddress, int channel, double* times,
                            double* volts, int maxSamples);

typedef int (*KqsimReadChannelOutputFunction)(unsigned, unsigned, int, double*, double*, int);
#define KQSIM_READ_CHANNEL_OUTPUT_SYMBOL "kqsim_readChannelOutput"

/* The chassis' simulated time now, in seconds (the time base of kqsim_readChannelOutput); -1 when
 * no chassis can be reached. */
double kqsim_chassisTime(void);

typedef double (*KqsimChassisTimeFunction)(void);
#define KQSIM_CHASSIS_TIME_SYMBOL "kqsim_chassisTime"

/* Where the mainframe in use lives: 1 when a chassis server serves it (its socket path copied into
 * `socketPath`, cut to `size` bytes with the terminating zero; nothing copied when the buffer is
 * missing or size <= 0), 0 when it belongs to this process, -1 when the named server does not
 * answer. A program that finds this symbol in the VISA library it loaded runs on the simulator. */
int kqsim_servedChassis(char* socketPath, int size);

typedef int (*KqsimServedChassisFunction)(char*, int);
#define KQSIM_SERVED_CHASSIS_SYMBOL "kqsim_servedChassis"

#ifdef __cplusplus
}
#endif

#endif
