/* Finds the DAC modules in the chassis, opens the first, sets 2.5 V on channels 1, 2 and 3 and reads
 * the voltages back, with every command recorded in an SCPI log; then prints the module's error queue.
 *
 * Usage: scan_and_set [log file]   (default: scan_and_set.log) */
#include <stdio.h>

#include "kq7120.h"

static int failed(ViSession instr, const char* step, ViStatus status) {
    ViChar message[256];
    kq7120_error_message(instr, status, message);
    fprintf(stderr, "%s failed: %ld, %s\n", step, (long)status, message);
    return 1;
}

int main(int argc, char** argv) {
    const char* logFile = argc > 1 ? argv[1] : "scan_and_set.log";
    ViInt16 logicalAddresses[kq7120_MAX_SLOTS_IN_CHASSIS];
    ViInt16 slots[kq7120_MAX_SLOTS_IN_CHASSIS];
    ViInt16 models[kq7120_MAX_SLOTS_IN_CHASSIS];
    ViInt16 interfaces[kq7120_MAX_SLOTS_IN_CHASSIS];
    ViInt16 found = 0;
    ViInt16 connection = 0;
    ViStatus status = kq7120_scanChassis(logicalAddresses, slots, models, interfaces, &found, &connection);
    if (status < VI_SUCCESS) return failed(VI_NULL, "Chassis scan", status);
    for (ViInt16 i = 0; i < found; ++i) {
        printf("KQ%d at logical address %d, slot %d, interface %d\n", models[i], logicalAddresses[i],
               slots[i], interfaces[i]);
    }
    if (found == 0) {
        fprintf(stderr, "No KQ7120 or KQ7110 found\n");
        return 1;
    }

    char descriptor[64];
    snprintf(descriptor, sizeof descriptor, "%s%d::%d::INSTR",
             connection == kq7120_GPIB_VXI_CONNECTION ? "GPIB-VXI" : "VXI", interfaces[0],
             logicalAddresses[0]);
    ViSession instr = VI_NULL;
    status = kq7120_init(descriptor, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &instr);
    if (status < VI_SUCCESS) return failed(VI_NULL, "Opening the module", status);
    printf("Opened %s\n", descriptor);

    status = kq7120_enableDisableSCPILog(kq7120_SCPI_LOG, logFile);
    if (status < VI_SUCCESS) return failed(instr, "Switching the SCPI log on", status);

    const ViInt16 channels[] = {1, 2, 3};
    status = kq7120_setupVoltage(instr, 2.5f, channels, 3);
    if (status < VI_SUCCESS) return failed(instr, "Setting the voltage", status);
    for (int i = 0; i < 3; ++i) {
        ViReal32 volts = 0.0f;
        status = kq7120_queryVoltage(instr, channels[i], &volts);
        if (status < VI_SUCCESS) return failed(instr, "Reading the voltage back", status);
        printf("Channel %d: %g V\n", channels[i], volts);
    }

    for (;;) {
        ViInt32 errorNumber = 0;
        ViChar errorText[256];
        status = kq7120_error_query(instr, &errorNumber, errorText);
        if (status < VI_SUCCESS) return failed(instr, "Reading the error queue", status);
        printf("Error queue: %ld, %s", (long)errorNumber, errorText);
        if (errorNumber == 0) break;
    }

    kq7120_enableDisableSCPILog(kq7120_NO_SCPI_LOG, VI_NULL);
    printf("SCPI log written to %s\n", logFile);
    status = kq7120_close(instr);
    if (status < VI_SUCCESS) return failed(VI_NULL, "Closing the module", status);
    return 0;
}
