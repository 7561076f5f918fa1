/* Kq7120_32: instrument driver for the KQ7120 (16-channel) and KQ7110 (8-channel) VXIbus DAC modules.
 *
 * Every function takes the instrument handle (the module's VISA session) first, where it has one,
 * and returns a ViStatus: VI_SUCCESS (0), or a negative code whose text kq7120_error_message gives.
 * A bad argument in the n-th position returns VI_ERROR_PARAMETERn and nothing is sent to the module.
 * Outputs go to caller-owned storage; text outputs need at least 256 bytes unless stated.
 * Numbers in commands and replies are written and read independently of the process locale.
 * Separate handles may be opened and used from separate threads; one handle is used from one thread
 * at a time, and the SCPI log is switched while no other thread sends.
 *
 * Functions marked "internal" are used inside the driver and are not exported by the library. */
#ifndef KQ7120_H
#define KQ7120_H

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define KQ7120_API __attribute__((visibility("default")))
#else
#define KQ7120_API
#endif

/* ---- Status codes ------------------------------------------------------------------------------ */

/* Bad value in the n-th parameter (the instrument handle is parameter 1). */
#ifndef VI_ERROR_PARAMETER1
#define VI_ERROR_PARAMETER1 (_VI_ERROR + 0x3FFC0001)
#define VI_ERROR_PARAMETER2 (_VI_ERROR + 0x3FFC0002)
#define VI_ERROR_PARAMETER3 (_VI_ERROR + 0x3FFC0003)
#define VI_ERROR_PARAMETER4 (_VI_ERROR + 0x3FFC0004)
#define VI_ERROR_PARAMETER5 (_VI_ERROR + 0x3FFC0005)
#define VI_ERROR_PARAMETER6 (_VI_ERROR + 0x3FFC0006)
#define VI_ERROR_PARAMETER7 (_VI_ERROR + 0x3FFC0007)
#define VI_ERROR_PARAMETER8 (_VI_ERROR + 0x3FFC0008)
#endif
/* A query reply matches none of the words the query expects. */
#ifndef VI_ERROR_INV_RESPONSE
#define VI_ERROR_INV_RESPONSE (_VI_ERROR + 0x3FFC0012)
#endif

/* The driver's own codes, 0xBFFC0800 + k. */
#define kq7120_INV_MANF_ID                  (_VI_ERROR + 0x3FFC0800)
#define kq7120_INV_MODEL_CODE               (_VI_ERROR + 0x3FFC0801)
#define kq7120_WRONG_PASSWORD               (_VI_ERROR + 0x3FFC0803)
#define kq7120_ERROR_LEN_OVER_FLOW          (_VI_ERROR + 0x3FFC0804)
#define kq7120_INVALID_ID_RESPONSE          (_VI_ERROR + 0x3FFC0805)
#define kq7120_LOG_FILE_WRITE_ERROR         (_VI_ERROR + 0x3FFC0806)
#define kq7120_LOG_FILE_OPEN_ERROR          (_VI_ERROR + 0x3FFC0807)
#define kq7120_LOG_FILE_CLOSE_ERROR         (_VI_ERROR + 0x3FFC0808)
#define kq7120_DEVICE_NOT_READY             (_VI_ERROR + 0x3FFC0809)
#define kq7120_READ_BUFFER_FULL             (_VI_ERROR + 0x3FFC080A)
#define kq7120_ERROR_IDN_QUERY_RESPONSE     (_VI_ERROR + 0x3FFC080B)
#define kq7120_INSTRUMENT_ERROR             (_VI_ERROR + 0x3FFC080C)
#define kq7120_ERROR_CALIBRATE_OFFSET_GAIN  (_VI_ERROR + 0x3FFC080D)
#define kq7120_ERROR_STORING_CAL_DATA       (_VI_ERROR + 0x3FFC080E)
#define kq7120_ERROR_SETTING_OUTPUT_VOLTAGE (_VI_ERROR + 0x3FFC080F)
#define kq7120_ERROR_SETTING_TRIGGER_PARAMS (_VI_ERROR + 0x3FFC0810)
#define kq7120_MALLOC_ERROR                 (_VI_ERROR + 0x3FFC0811)
#define kq7120_ERROR_SETTING_SCAN_MODE      (_VI_ERROR + 0x3FFC0812)
#define kq7120_ERROR_SETTING_SCAN_LIMIT     (_VI_ERROR + 0x3FFC0813)
#define kq7120_ERROR_SETTING_SCAN_LIST      (_VI_ERROR + 0x3FFC0814)
#define kq7120_TRIG_SRC_NOT_TTLT_OR_EXT     (_VI_ERROR + 0x3FFC0815)
#define kq7120_INVALID_SCAN_MODE_TRANSITION (_VI_ERROR + 0x3FFC0816)
#define kq7120_WRITE_ERROR                  (_VI_ERROR + 0x3FFC0817)

/* ---- Session, identity and model table --------------------------------------------------------- */

#define kq7120_MANF_ID          0xA5D /* VXI manufacturer identification (low 12 bits) */
#define kq7120_MODEL_CODE       0x103 /* VXI model code (low 12 bits) */
#define kq7120_KQ7120           7120
#define kq7120_KQ7110           7110
#define kq7120_MAX_LOG_ADDR     255
#define kq7120_INIT_ID_QUERY    1
#define kq7120_INIT_ID_NO_QUERY 0
#define kq7120_INIT_RESET       1
#define kq7120_INIT_NOT_RESET   0

/* ---- Transport and SCPI log --------------------------------------------------------------------- */

#define kq7120_MAX_FILE_NAME_LEN 120
#define kq7120_WRITE_BUFF_SIZE   100
#define kq7120_READ_BUFF_SIZE    1024
#define kq7120_SCPI_LOG          1047
#define kq7120_NO_SCPI_LOG       1048

/* ---- Chassis scan ------------------------------------------------------------------------------- */

#define kq7120_MAX_SLOTS_IN_CHASSIS 255
#define kq7120_VXI_CONNECTION       0
#define kq7120_GPIB_VXI_CONNECTION  1

/* ---- Error queue and status registers ----------------------------------------------------------- */

#define kq7120_ILLEGAL_PARAMETER      (-224)
#define kq7120_MISSING_PARAMETER      (-109)
#define kq7120_QUEUE_OVERFLOW         (-330)
#define kq7120_SERVICE_REQ_ENAB_MIN   0
#define kq7120_SERVICE_REQ_ENAB_MAX   255
#define kq7120_EVENT_STATUS_ENAB_MIN  0
#define kq7120_EVENT_STATUS_ENAB_MAX  255
#define kq7120_OPER_STATUS_ENAB_MIN   0
#define kq7120_OPER_STATUS_ENAB_MAX   255
#define kq7120_STATUS_BYTE            1007 /* "*STB?" */
#define kq7120_EVENT_REG              1008 /* "*ESR?" */
#define kq7120_SERVICE_REQUEST_ENABLE 1009 /* "*SRE?" */
#define kq7120_EVENT_STATUS_ENABLE    1010 /* "*ESE?" */
#define kq7120_OPERATION_ENABLE       1011 /* "STAT:OPER:ENAB?" */
#define kq7120_OPERATION_CONDITION    1012 /* "STAT:OPER:COND?" */

/* ---- Channels, voltages and output ranges ------------------------------------------------------- */

#define kq7120_MIN_CHANNEL             1
#define kq7120_MAX_CHANNEL             16
#define kq7120_CHANNEL_LIST_MIN        1
#define kq7120_CHANNEL_LIST_KQ7120_MAX 16
#define kq7120_CHANNEL_LIST_KQ7110_MAX 8
#define kq7120_VOLT_LEVEL_VALUE_MIN    (-20.0)
#define kq7120_VOLT_LEVEL_VALUE_MAX    19.99969
#define kq7120_10VOLT_LEVEL_VALUE_MIN  (-10.0)
#define kq7120_10VOLT_LEVEL_VALUE_MAX  9.99984
#define kq7120_20VOLT_RANGE            0 /* "20V" */
#define kq7120_10VOLT_RANGE            1 /* "10V" */
#define kq7120_MAX_RANGES              2

/* ---- Trigger source ----------------------------------------------------------------------------- */

#define kq7120_TRIG_SRC_AUTO     1018
#define kq7120_TRIG_SRC_EXT      1019
#define kq7120_TRIG_SRC_TTLTRG0  1020
#define kq7120_TRIG_SRC_TTLTRG1  1021
#define kq7120_TRIG_SRC_TTLTRG2  1022
#define kq7120_TRIG_SRC_TTLTRG3  1023
#define kq7120_TRIG_SRC_TTLTRG4  1024
#define kq7120_TRIG_SRC_TTLTRG5  1025
#define kq7120_TRIG_SRC_TTLTRG6  1026
#define kq7120_TRIG_SRC_TTLTRG7  1027
#define kq7120_TRIG_SRC_INT_CH1  1028
#define kq7120_TRIG_SRC_INT_CH2  1029
#define kq7120_TRIG_SRC_INT_CH3  1030
#define kq7120_TRIG_SRC_INT_CH4  1031
#define kq7120_TRIG_SRC_INT_CH5  1032
#define kq7120_TRIG_SRC_INT_CH6  1033
#define kq7120_TRIG_SRC_INT_CH7  1034
#define kq7120_TRIG_SRC_INT_CH8  1035
#define kq7120_TRIG_SRC_INT_CH9  1036
#define kq7120_TRIG_SRC_INT_CH10 1037
#define kq7120_TRIG_SRC_INT_CH11 1038
#define kq7120_TRIG_SRC_INT_CH12 1039
#define kq7120_TRIG_SRC_INT_CH13 1040
#define kq7120_TRIG_SRC_INT_CH14 1041
#define kq7120_TRIG_SRC_INT_CH15 1042
#define kq7120_TRIG_SRC_INT_CH16 1043
#define kq7120_TRIG_SRC_TIMER    1044
#define kq7120_TRIG_SRC_EXTCLK   1045
#define kq7120_TRIG_SRC_NONE     1046
#define kq7120_SLOPE_NEGATIVE    0 /* "NEG" */
#define kq7120_SLOPE_POSITIVE    1 /* "POS" */

/* ---- Memory arrays and scanning ----------------------------------------------------------------- */

#define kq7120_INDEX_MIN         1
#define kq7120_INDEX_MAX         512
#define kq7120_SCAN_MODE_OFF     0
#define kq7120_SCAN_MODE_ON      1
#define kq7120_SCAN_MODE_LOOP    2
#define kq7120_SCAN_MODE_ARB     3
#define kq7120_SCAN_MODE_FIFO    4
#define kq7120_SCAN_MODE_ALL_OFF 5 /* "SCAN OFF": every channel, no list */
#define kq7120_VOLTAGE_LIST_MIN  1
#define kq7120_VOLTAGE_LIST_MAX  512
#define kq7120_COUNT_MIN         1
#define kq7120_COUNT_MAX         512

/* ---- Calibration -------------------------------------------------------------------------------- */

#define kq7120_PASSWORD_LEN_MIN               1
#define kq7120_PASSWORD_LEN_MAX               12
#define kq7120_CALIB_SEC_STATE_OFF            0
#define kq7120_CALIB_SEC_STATE_ON             1
#define kq7120_SEC_STATE_ENABLE               1014
#define kq7120_SEC_STATE_DISABLE              1015
#define kq7120_CALIBRATION_DATA_MIN           (-128)
#define kq7120_CALIBRATION_DATA_MAX           127
#define kq7120_CALIB_DATA_MIN                 (-128)
#define kq7120_CALIB_DATA_MAX                 127
#define kq7120_CALIBRATION_CHANNEL_MIN        1
#define kq7120_CALIBRATION_CHANNEL_KQ7120_MAX 16
#define kq7120_CALIBRATION_CHANNEL_KQ7110_MAX 8
#define kq7120_CAL_DATA_SIZE                  64
#define kq7120_CALIBRATION_BLOCK_DATA_MIN     (-128)
#define kq7120_CALIBRATION_BLOCK_DATA_MAX     127
#define kq7120_ZERO_OFFSET_INDEX              32 /* first zero adjustment in the 64-value block */
#define kq7120_AUTO_SAVE_MODE_OFF             0
#define kq7120_AUTO_SAVE_MODE_ON              1
#define kq7120_DONT_STORE                     0
#define kq7120_STORE                          1

/* ---- Sample clock, timer, marker, output trigger and data format -------------------------------- */

#define kq7120_ROSC_TTLTRG0        0 /* "TTLT0" ... "TTLT7": VXI TTL trigger lines */
#define kq7120_ROSC_TTLTRG1        1
#define kq7120_ROSC_TTLTRG2        2
#define kq7120_ROSC_TTLTRG3        3
#define kq7120_ROSC_TTLTRG4        4
#define kq7120_ROSC_TTLTRG5        5
#define kq7120_ROSC_TTLTRG6        6
#define kq7120_ROSC_TTLTRG7        7
#define kq7120_ROSC_INTERNAL       8  /* "INT" */
#define kq7120_ROSC_EXT            9  /* "EXT" */
#define kq7120_ROSC_EXTCLK         10 /* "EXTC" */
#define kq7120_ROSC_TIMER          11 /* "TIM" */
#define kq7120_MAX_CLOCK_SOURCES   12
#define kq7120_NEGATIVE            0 /* slope "NEG", as kq7120_SLOPE_NEGATIVE */
#define kq7120_POSITIVE            1 /* slope "POS", as kq7120_SLOPE_POSITIVE */
#define kq7120_OFF                 0 /* marker "OFF" */
#define kq7120_ON                  1 /* marker "ON" */
#define kq7120_OUT_TRIG_NONE       0 /* "NONE" */
#define kq7120_OUT_TRIG_TRIGGER    1 /* "TRIG" */
#define kq7120_OUT_TRIG_MARKER     2 /* "MARK" */
#define kq7120_TRIGOUT0            0
#define kq7120_TRIGOUT1            1
#define kq7120_TRIGOUT2            2
#define kq7120_TRIGOUT3            3
#define kq7120_TRIGOUT4            4
#define kq7120_TRIGOUT5            5
#define kq7120_TRIGOUT6            6
#define kq7120_TRIGOUT7            7
#define kq7120_MAX_TRIGOUT_LINES   8
#define kq7120_FORMAT_SIGNED       0 /* DAC codes in two's complement */
#define kq7120_FORMAT_UNSIGNED     1 /* DAC codes in offset binary */
#define kq7120_MIN_TIMER_VALUE     0.00001
#define kq7120_MAX_TIMER_VALUE     429.49
#define kq7120_DEFAUFT_TIMER_VALUE 0.01

/* ---- ARB segments and sequences ----------------------------------------------------------------- */

#define kq7120_MIN_SEGMENT       0
#define kq7120_MAX_SEGMENT       4095
#define kq7120_MIN_SEQUENCE      0
#define kq7120_MAX_SEQUENCE      4095
#define kq7120_SEQ_TRIG_START    0 /* "TRIG" */
#define kq7120_SEQ_AUTO_START    1 /* "AUTO" */
#define kq7120_SEQ_SYNC_ADVANCE  0 /* "SYNC" */
#define kq7120_SEQ_TRIG_ADVANCE  0
#define kq7120_SEQ_ASYNC_ADVANCE 1 /* "ASYNC" */
#define kq7120_SEQ_AUTO_ADVANCE  1
#define kq7120_SEQ_REPEAT_MIN    0
#define kq7120_SEQ_REPEAT_MAX    1048575
#define kq7120_SEQ_CONTINUOUS    0 /* repeat for ever */
#define kq7120_SEQ_MARKER_OFF    0 /* "OFF" */
#define kq7120_SEQ_MARKER_ON     1 /* "ON" */

/* ---- Register-level waveform transfer ----------------------------------------------------------- */

#define kq7120_FIFO_FULL           32768 /* FIFO status bits */
#define kq7120_FIFO_EMPTY          16384
#define kq7120_FIFO_UNDERRUN       8192 /* the FIFO ran empty while generating */
#define kq7120_INITIATE            0    /* "INIT" */
#define kq7120_ABORT               1    /* "ABOR" */
#define kq7120_VOLT_DATA_VALUE_MIN (-32768)
#define kq7120_VOLT_DATA_VALUE_MAX 32767

/* ================================================================================================ */
/* Status codes, checks and messages                                                                */
/* ================================================================================================ */

/* Fills errorMessage (at least 256 bytes) with the text of errorCode; always VI_SUCCESS.
 * instHndl is used only to ask VISA for the text of a VISA status. */
KQ7120_API ViStatus kq7120_error_message(ViSession instHndl, ViStatus errorCode, ViChar errorMessage[]);

/* Internal: errCode when inputVal lies outside min..max (inclusive, 16-bit signed), else VI_SUCCESS. */
ViStatus kq7120_invalidIntegerRange(ViInt16 inputVal, ViInt16 min, ViInt16 max, ViStatus errCode);
/* Internal: the same on 32-bit signed values. */
ViStatus kq7120_invalidLongIntRange(ViInt32 inputVal, ViInt32 min, ViInt32 max, ViStatus errCode);
/* Internal: the same on doubles; a NaN passes. */
ViStatus kq7120_invalidRealRange(ViReal64 inputVal, ViReal64 min, ViReal64 max, ViStatus errCode);
/* Internal: VI_ERROR_INV_OBJECT for handle 0, else VI_SUCCESS (the session is not asked). */
ViStatus kq7120_invalidSession(ViSession instHndl);

/* ================================================================================================ */
/* Initialize and Close                                                                             */
/* ================================================================================================ */

/* Opens the module named by the VISA descriptor instrDesc (e.g. "VXI0::24::INSTR") into *instHndl.
 * idQuery 1 checks the VXI manufacturer and model code; resetFlag 1 sends "*RST". The "*IDN?" query
 * always runs and records the model; a module that is neither KQ7120 nor KQ7110 cannot be opened.
 * On failure *instHndl is 0 and no session is left open. */
KQ7120_API ViStatus kq7120_init(ViConstRsrc instrDesc, ViUInt16 idQuery, ViUInt16 resetFlag,
                                ViSession *instHndl);
/* Sends "*RST" with the error check. */
KQ7120_API ViStatus kq7120_reset(ViSession instHndl);
/* Closes the session; the model table keeps the module's entry. */
KQ7120_API ViStatus kq7120_close(ViSession instHndl);

/* Internal: VXI manufacturer and model code of the session, from VISA attributes. */
ViStatus kq7120_verifyID(ViSession instHndl);
/* Internal: "*IDN?"; stores the model (7120 or 7110) in *modelNumber and in the model table. */
ViStatus kq7120_getModelNumber(ViSession instHndl, ViInt16 *modelNumber);
/* Internal: VXI logical address of the session (0 on failure). */
ViStatus getLaFmHndl(ViSession instHndl, ViInt16 *logAddr);
/* Internal: the model-table entry of the session's logical address (0 for a module never identified). */
ViStatus getModelNum(ViSession instHndl, ViInt16 *modelNum);

/* ================================================================================================ */
/* Chassis scan and auto-connect                                                                    */
/* ================================================================================================ */

/* Finds every KQ7120/KQ7110 reachable through VISA. The four lists receive, per module found, its
 * logical address, slot, model number and VISA interface number; each list holds
 * kq7120_MAX_SLOTS_IN_CHASSIS entries. *intfFlag: kq7120_VXI_CONNECTION or kq7120_GPIB_VXI_CONNECTION. */
KQ7120_API ViStatus kq7120_scanChassis(ViInt16 ladrList[], ViInt16 slotList[], ViInt16 mNumList[],
                                       ViInt16 iNumList[], ViInt16 *numFound, ViInt16 *intfFlag);
/* Scans the chassis and opens the first module found, with identity check and reset. */
KQ7120_API ViStatus kq7120_autoConnectToFirst(ViSession *instHndl);

/* ================================================================================================ */
/* Command transport and SCPI log                                                                   */
/* ================================================================================================ */

/* Switches the SCPI log on (kq7120_SCPI_LOG, with a file name of 1 to 120 characters; the file is
 * emptied) or off (kq7120_NO_SCPI_LOG; logFileName is not used). Every command the driver sends is
 * then appended to the file, one line each; security codes are written as '*'. */
KQ7120_API ViStatus kq7120_enableDisableSCPILog(ViInt16 scpiLog, ViConstString logFileName);
/* Sends cmdString; when it contains '?', the reply (with its "\n") goes to responseString, which holds
 * at least 1025 bytes. The module's error status is checked afterwards. */
KQ7120_API ViStatus kq7120_directIO(ViSession instHndl, ViConstString cmdString, ViChar responseString[]);

/* Internal: writes exactly buf_len bytes of buf and logs the text up to its first NUL. */
ViStatus kq7120_sendWSCmd(ViSession instHndl, const ViChar buf[], ViUInt32 buf_len);
/* Internal: reads at most cnt bytes into buf (which holds cnt + 1) and terminates them with a NUL;
 * kq7120_READ_BUFFER_FULL when no "\n" is among them. */
ViStatus kq7120_readData(ViSession instHndl, ViChar buf[], ViInt16 cnt);
/* Internal: "*ESR?"; kq7120_INSTRUMENT_ERROR on a query, execution or command error. */
ViStatus kq7120_check_instr_error(ViSession instHndl);
/* Internal: appends one record to the SCPI log file. */
ViStatus kq7120_logCmd(ViConstString commandBuf);

/* ================================================================================================ */
/* Identification, self-test, error queue and status registers                                      */
/* ================================================================================================ */

/* Runs "*TST?" (takes 5 s); *testResult 0 and "No Error" when every test passed, else the names of
 * the failed tests joined by ",". */
KQ7120_API ViStatus kq7120_self_test(ViSession instHndl, ViInt16 *testResult, ViChar testMessage[]);
/* Driver revision "2.78.00" and the module's firmware revision (fourth "*IDN?" field). */
KQ7120_API ViStatus kq7120_revision_query(ViSession instHndl, ViChar driverRev[], ViChar instrRev[]);
/* Oldest entry of the module's error queue ("SYST:ERR?"): number and text (at most 255 characters). */
KQ7120_API ViStatus kq7120_error_query(ViSession instHndl, ViInt32 *errorNumber, ViChar errorString[]);
/* "*OPC" with the error check. */
KQ7120_API ViStatus kq7120_setOperComplete(ViSession instHndl);
/* "*OPC?" into *operStatus. */
KQ7120_API ViStatus kq7120_getOperComplete(ViSession instHndl, ViInt16 *operStatus);
/* "*CLS" with the error check. */
KQ7120_API ViStatus kq7120_clearStatusRegister(ViSession instHndl);
/* Sets the service request, standard event status and operation status enable masks (0 to 255). */
KQ7120_API ViStatus kq7120_setStatusMask(ViSession instHndl, ViInt16 service_req_enable_reg,
                                         ViInt16 event_status_enable_reg, ViInt16 oper_status_enable_reg);
/* Reads the status register selected by kq7120_STATUS_BYTE ... kq7120_OPERATION_CONDITION. */
KQ7120_API ViStatus kq7120_queryDeviceStatusReg(ViSession instHndl, ViInt16 which_status_reg,
                                                ViInt32 *value_status_reg);

/* ================================================================================================ */
/* Channel voltage, output range and trigger                                                        */
/* ================================================================================================ */

/* Sets voltLevelValue (-20.0 to 19.99969 V) on the numOfChannels channels of channelList. */
KQ7120_API ViStatus kq7120_setupVoltage(ViSession instHndl, ViReal32 voltLevelValue,
                                        const ViInt16 channelList[], ViInt16 numOfChannels);
/* Reads back the voltage of one channel. */
KQ7120_API ViStatus kq7120_queryVoltage(ViSession instHndl, ViInt16 channelNum, ViReal32 *voltLevelValue);
/* Selects the output range (kq7120_20VOLT_RANGE or kq7120_10VOLT_RANGE) of 1 to 16 listed channels. */
KQ7120_API ViStatus kq7120_setupVoltageRange(ViSession instHndl, ViInt16 Range, const ViInt16 channelList[],
                                             ViInt16 numOfChannels);
/* Reads back the output range of one channel (0 or 1). */
KQ7120_API ViStatus kq7120_queryVoltageRange(ViSession instHndl, ViInt16 channel, ViInt16 *range);
/* Software trigger "*TRG". */
KQ7120_API ViStatus kq7120_triggerEvent(ViSession instHndl);
/* Sets the trigger source and slope, then the voltage on the listed channels. */
KQ7120_API ViStatus kq7120_setupAndWriteToDAC(ViSession instHndl, ViInt16 trigSour, ViUInt16 slope,
                                              ViReal32 voltLevelValue, const ViInt16 channelList[],
                                              ViInt16 numOfChannels);

/* Sets the trigger source (kq7120_TRIG_SRC_...) and, for the external input and the TTL lines, the
 * slope (kq7120_SLOPE_...). */
KQ7120_API ViStatus kq7120_configTriggerParams(ViSession instHndl, ViInt16 trigSour, ViUInt16 slope);
/* Reads back the trigger source and slope; an unrecognised reply leaves the output as it was. */
KQ7120_API ViStatus kq7120_queryTriggerParams(ViSession instHndl, ViInt16 *trigSour, ViUInt16 *slope);

/* ================================================================================================ */
/* DAC memory arrays                                                                                */
/* ================================================================================================ */

/* Stores one voltage per channel (16 on a KQ7120, else 8) as memory array index (1 to 512). */
KQ7120_API ViStatus kq7120_memorySetup(ViSession instHndl, ViInt16 index, const ViReal32 voltageList[]);
/* Reads memory array index into voltageList (16 elements): one value per channel of the module,
   elements after the last channel left unchanged. */
KQ7120_API ViStatus kq7120_queryDACMemoryArray(ViSession instHndl, ViInt16 index, ViReal32 voltageList[]);
/* Sets every channel from memory array index. */
KQ7120_API ViStatus kq7120_sourceVoltageSetup(ViSession instHndl, ViInt16 index);

/* ================================================================================================ */
/* Scan mode, scan limit and scan lists                                                             */
/* ================================================================================================ */

/* Sets the mode (kq7120_SCAN_MODE_...) of the listed channels; kq7120_SCAN_MODE_ALL_OFF needs no list. */
KQ7120_API ViStatus kq7120_setupScanMode(ViSession instHndl, ViInt16 mode, const ViInt16 channelList[],
                                         ViInt16 numOfChannels);
/* Sets the scan limit (last table entry used, 1 to 512) of one channel. */
KQ7120_API ViStatus kq7120_setupScanLimit(ViSession instHndl, ViInt16 channel, ViInt16 count);
/* Writes numOfVolts (1 to 512) voltages into a channel's scan table from entry 1. */
KQ7120_API ViStatus kq7120_setupScanList(ViSession instHndl, ViInt16 channel, const ViReal32 voltageList[],
                                         ViInt16 numOfVolts);
/* Writes one scan table entry. */
KQ7120_API ViStatus kq7120_setupScanListAtIndex(ViSession instHndl, ViInt16 channel, ViInt16 index,
                                                ViReal32 voltage);
/* Resets the module, sets trigger TTL line 0 (positive slope), then the channel's mode, limit and table. */
KQ7120_API ViStatus kq7120_setupScanListParams(ViSession instHndl, ViInt16 channel, ViInt16 mode,
                                               ViInt16 count, const ViReal32 voltageList[],
                                               ViInt16 numOfVolts);
/* Reads the mode of one channel (0 to 4). */
KQ7120_API ViStatus kq7120_queryScanMode(ViSession instHndl, ViInt16 channel, ViInt16 *mode);
/* Reads the scan limit of one channel. */
KQ7120_API ViStatus kq7120_queryScanLimit(ViSession instHndl, ViInt16 channel, ViInt16 *index);
/* Reads numOfVolts scan table entries from entry start into voltageList (numOfVolts values). */
KQ7120_API ViStatus kq7120_queryScanList(ViSession instHndl, ViInt16 channel, ViInt16 numOfVolts,
                                         ViInt16 start, ViReal32 voltageList[]);
/* Reads one scan table entry. */
KQ7120_API ViStatus kq7120_queryScanListAtIndex(ViSession instHndl, ViInt16 channel, ViInt16 index,
                                                ViReal32 *voltage);

/* ================================================================================================ */
/* Calibration and calibration security                                                             */
/* ================================================================================================ */
/* The writing functions switch calibration security off with the caller's code (1 to 12 characters)
 * when it is on, do their work and switch it on again, also when the work failed. */

/* kq7120_SEC_STATE_ENABLE switches security on (the code is not used); kq7120_SEC_STATE_DISABLE
 * switches it off with password. */
KQ7120_API ViStatus kq7120_enableDisableSecState(ViSession instHndl, ViConstString password, ViInt16 mode);
/* Sets the gain and zero adjustment (-128 to 127) of one channel. */
KQ7120_API ViStatus kq7120_calibrateOffsetGain(ViSession instHndl, ViConstString password,
                                               ViInt16 channelNumber, ViInt16 gainVal, ViInt16 offsetVal);
/* Writes the 64 calibration values (32 gains, then 32 zero adjustments) as one block. */
KQ7120_API ViStatus kq7120_calibrationDataBlock(ViSession instHndl, ViConstString password,
                                                const ViInt16 blockData[]);
/* Switches the module's automatic storing of calibration data on (1) or off (0). */
KQ7120_API ViStatus kq7120_enableDisableAutoStore(ViSession instHndl, ViConstString password, ViInt16 mode);
/* Stores the calibration data in non-volatile memory and reads the calibration count. */
KQ7120_API ViStatus kq7120_storeCalibrationData(ViSession instHndl, ViConstString password, ViInt32 *count);
/* Replaces the security code; security is on afterwards. */
KQ7120_API ViStatus kq7120_changeSecurityCode(ViSession instHndl, ViConstString oldPassword,
                                              ViConstString newPassword);
/* Reads the security state, the calibration count and the calibration values; calibrationData
 * (65 entries) receives the values followed by the end marker 10000. */
KQ7120_API ViStatus kq7120_calibrationQuery(ViSession instHndl, ViInt16 *securityState,
                                            ViInt32 *calibrationCount, ViInt16 calibrationData[]);
/* Identifies the module, calibrates one channel and, with saveFlag kq7120_STORE, stores the data. */
KQ7120_API ViStatus kq7120_calibrateInstrument(ViSession instHndl, ViInt16 chanNmbr, ViInt16 gainVal,
                                               ViInt16 offsVal, ViConstString password, ViUInt16 saveFlag,
                                               ViInt32 *calCount);

/* Internal: decodes the definite-length block "#<d><n><n bytes>" of inputLength received bytes into
 * signed 8-bit values; VI_ERROR_INV_RESPONSE when the header is malformed, the block announces more
 * than outputCapacity values or more bytes than were received. */
ViStatus kq7120_decipherArbitraryBlock(const ViChar inputArray[], ViUInt32 inputLength, ViInt16 outputArray[],
                                       ViInt16 outputCapacity, ViInt16 *numOfWordsInOutputArray);

/* ================================================================================================ */
/* Sample clock, timer, marker, output trigger and data format                                      */
/* ================================================================================================ */

/* Sets the sample clock of ARB and FIFO output (kq7120_ROSC_...) and its active edge. */
KQ7120_API ViStatus kq7120_setupClock(ViSession instHndl, ViInt16 clockSource, ViUInt16 slope);
/* Switches the marker output on or off (kq7120_ON, kq7120_OFF) with its polarity. */
KQ7120_API ViStatus kq7120_setupMarker(ViSession instHndl, ViUInt16 markerState, ViUInt16 slope);
/* Sets the internal timer's period in seconds; the module judges the value
 * (kq7120_MIN_TIMER_VALUE to kq7120_MAX_TIMER_VALUE). */
KQ7120_API ViStatus kq7120_setupTimer(ViSession instHndl, ViReal64 period);
/* Sets the data format of DAC codes (kq7120_FORMAT_SIGNED or kq7120_FORMAT_UNSIGNED); the module
 * judges the value. */
KQ7120_API ViStatus kq7120_setupDataFormat(ViSession instHndl, ViInt16 dataFormat);
/* Drives VXI TTL trigger line trigline (0 to 7) from the module's trigger or marker
 * (kq7120_OUT_TRIG_...) and sets the marker's polarity. Sent without the module's error check. */
KQ7120_API ViStatus kq7120_setupOutput(ViSession instHndl, ViInt16 trigSource, ViInt16 trigline,
                                       ViUInt16 markerSlope);
/* Reads back the sample clock source and slope. */
KQ7120_API ViStatus kq7120_queryClockParms(ViSession instHndl, ViInt16 *clockSource, ViUInt16 *slope);
/* Reads back the marker state and slope. */
KQ7120_API ViStatus kq7120_queryMarkerParms(ViSession instHndl, ViInt16 *markerState, ViUInt16 *slope);
/* Reads back the timer period in seconds. */
KQ7120_API ViStatus kq7120_queryTimer(ViSession instHndl, ViReal64 *timerValue);
/* Reads back the data format. */
KQ7120_API ViStatus kq7120_queryDataFormat(ViSession instHndl, ViInt16 *format);
/* Reads back the output trigger source, line and marker slope; a zero handle gives
 * VI_ERROR_PARAMETER1. */
KQ7120_API ViStatus kq7120_queryOutput(ViSession instHndl, ViInt16 *source, ViInt16 *trigline,
                                       ViUInt16 *slope);

/* ================================================================================================ */
/* ARB segments and sequences                                                                       */
/* ================================================================================================ */
/* Segment, channel, size and offset numbers go to the module unchecked; it refuses what it cannot
 * take and the error check reports kq7120_INSTRUMENT_ERROR. */

/* Creates segment segmentNumber (0 to 4095) of buffSize points. */
KQ7120_API ViStatus kq7120_arbDefineSegment(ViSession instHndl, ViInt16 segmentNumber, ViInt32 buffSize);
/* Changes the size of a segment. */
KQ7120_API ViStatus kq7120_arbResizeSegment(ViSession instHndl, ViInt16 segmentNumber, ViInt32 buffSize);
/* Deletes every segment. */
KQ7120_API ViStatus kq7120_arbDeleteAllSegments(ViSession instHndl);
/* Copies the waveform of one segment and channel to another. */
KQ7120_API ViStatus kq7120_arbCopyWaveform(ViSession instHndl, ViInt16 srcSegNbr, ViInt16 srcCh,
                                           ViInt16 destSegNbr, ViInt16 destCh);
/* Writes one DAC code (in the module's data format) at point offset of a segment's channel. */
KQ7120_API ViStatus kq7120_arbSetDataPoint(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                           ViInt32 offset, ViInt16 sample);
/* Sets the number of sequence steps. */
KQ7120_API ViStatus kq7120_arbResizeSequence(ViSession instHndl, ViInt16 listSize);
/* Sets the sequence: step i plays segment sequenceList[i]; numOfSegments 1 to 4096. */
KQ7120_API ViStatus kq7120_arbDefineSequence(ViSession instHndl, const ViInt16 sequenceList[],
                                             ViInt16 numOfSegments);
/* Sets start (kq7120_SEQ_..._START), advance (kq7120_SEQ_..._ADVANCE), repeat count and marker
 * (kq7120_SEQ_MARKER_...) of sequence step seqIndex. Start, advance and marker must be 0 or 1; index
 * and repeat count go to the module unchecked. */
KQ7120_API ViStatus kq7120_arbSetSeqParms(ViSession instHndl, ViInt16 seqIndex, ViInt16 seqStart,
                                          ViInt16 seqAdvance, ViInt16 seqRepeat, ViInt16 seqMarker);
/* kq7120_arbSetSeqParms with every value checked first: index 0 to 4095, repeat count 0 to 1048575
 * (0 repeats for ever). */
KQ7120_API ViStatus kq7120_arbSetSeqParmsEx(ViSession instHndl, ViInt16 seqIndex, ViInt16 seqStart,
                                            ViInt16 seqAdvance, ViInt32 seqRepeat, ViInt16 seqMarker);
/* Loads trcSize DAC codes into a segment's channel as one SCPI block; the whole command holds at most
 * 32767 bytes (16373 codes for the longest header). No error check follows. */
KQ7120_API ViStatus kq7120_arbLoadText(ViSession instHndl, ViInt16 sgmtNmbr, ViInt16 chanNmbr,
                                       const ViInt16 waveData[], ViInt32 trcSize);
/* The module's waveform memory in points. */
KQ7120_API ViStatus kq7120_memorySize(ViSession instHndl, ViInt32 *size);
/* Waveform memory points available and in use. */
KQ7120_API ViStatus kq7120_queryArbMemoryUsage(ViSession instHndl, ViInt32 *available, ViInt32 *used);
/* The size of a segment in points. */
KQ7120_API ViStatus kq7120_arbQuerySegmentSize(ViSession instHndl, ViInt16 segmentNumber, ViInt32 *size);
/* One DAC code of a segment's channel. */
KQ7120_API ViStatus kq7120_arbQueryDataPoint(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                             ViInt32 offset, ViInt16 *dataPoint);
/* Segment, repeat count, start, advance and marker of sequence step sequenceNumber (0 to 4095).
 * Missing outputs give VI_ERROR_PARAMETER2 (segmentNumber) to VI_ERROR_PARAMETER6 (marker). */
KQ7120_API ViStatus kq7120_arbQuerySeqParms(ViSession instHndl, ViInt16 sequenceNumber,
                                            ViInt16 *segmentNumber, ViInt32 *repeatCount, ViInt16 *start,
                                            ViInt16 *advance, ViInt16 *marker);
/* Reads up to *points (0 to 16380) DAC codes of a segment's channel into data and sets *points to the
 * number decoded: never more than asked for, and only codes that arrived whole. stream (2 * *points + 8
 * bytes) receives the reply as far as it holds, terminated. Missing stream, data or points give
 * VI_ERROR_PARAMETER3, 4 and 5, as does a count outside 0 to 16380. */
KQ7120_API ViStatus kq7120_arbQueryWaveformData(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                                ViChar stream[], ViUInt16 data[], ViInt32 *points);
/* kq7120_arbQueryWaveformData with every code converted to volts in the channel's present range and
 * the module's present data format. */
KQ7120_API ViStatus kq7120_arbQueryWaveformVoltage(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                                   ViChar stream[], ViReal64 data[], ViInt32 *points);

/* ================================================================================================ */
/* Register-level waveform transfer                                                                 */
/* ================================================================================================ */
/* The loaders move all samples with one VISA block move into the module's A16 registers. Voltages
 * are converted to DAC codes in the module's data format, rounded half up, within -20.0 to 19.99969 V
 * (kq7120_20VOLT_RANGE) or -10.0 to 9.99984 V (kq7120_10VOLT_RANGE); a sample outside the range gives
 * VI_ERROR_PARAMETER5 and nothing is moved. A Range other than the two gives VI_ERROR_PARAMETER2 after
 * the load's selection registers have been written. */

/* Loads buffSize voltages into a segment's channel (channel 1 to 16, or 8 on a KQ7110). */
KQ7120_API ViStatus kq7120_arbLoadVoltage(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                          ViInt16 Range, const ViReal64 waveBuffer[], ViInt32 buffSize);
/* Loads trcSize DAC codes, already in the module's data format, into a segment's channel. */
KQ7120_API ViStatus kq7120_arbLoadData(ViSession instHndl, ViInt16 sgmtNmbr, ViInt16 chanNmbr,
                                       const ViUInt16 waveData[], ViInt32 trcSize);
/* Appends buffSize voltages to the FIFO; channel is not used (a caller feeding several channels
 * interleaves their samples). */
KQ7120_API ViStatus kq7120_loadFIFOVoltage(ViSession instHndl, ViInt16 channel, ViInt16 Range,
                                           const ViReal64 waveBuffer[], ViInt32 buffSize);
/* Appends buffSize DAC codes to the FIFO: one block move, without the module's error check. */
KQ7120_API ViStatus kq7120_loadFIFO_Data(ViSession instHndl, const ViUInt16 dataBuffer[], ViInt32 buffSize);
/* The FIFO status word (kq7120_FIFO_FULL, kq7120_FIFO_EMPTY, kq7120_FIFO_UNDERRUN bits). */
KQ7120_API ViStatus kq7120_GetFifoStatus(ViSession instHndl, ViUInt16 *fifoStatus);
/* Starts (kq7120_INITIATE) or stops (kq7120_ABORT) the ARB; the channels' scan mode decides what runs. */
KQ7120_API ViStatus kq7120_commandArb(ViSession instHndl, ViUInt16 command);
/* Starts or stops the FIFO, as kq7120_commandArb. */
KQ7120_API ViStatus kq7120_commandFifo(ViSession instHndl, ViUInt16 command);
/* Resets the module and plays numSmpls signed DAC codes on channel 1 as segment 0, one every smplTime
 * seconds, for ever. The module's complaints are shown to the operator as they come. */
KQ7120_API ViStatus kq7120_arbScpi(ViSession instHndl, ViInt16 numSmpls, const ViInt16 waveData[],
                                   ViReal64 smplTime);
/* Internal: sends cmdBuff (at most 254 characters) and a "\n" without log or error check, then shows
 * the module's oldest error, if any, in a message box titled "ERROR" (the front panel's when the
 * process has one, else on standard error). Returns the status of the write. */
ViStatus txCmdBuff(ViSession instHndl, ViConstString cmdBuff);
/* Writes dacData[i] straight into DAC channel dacChan[i] (1 to 16) for numChan channels, in order;
 * with more than one channel it waits dlyTime seconds (1 ms to 1 s) after each. Returns the status of
 * the last register write. */
KQ7120_API ViStatus kq7120_regModeDacWrt(ViSession instHndl, ViInt16 numChan, const ViInt16 dacChan[],
                                         const ViInt16 dacData[], ViReal64 dlyTime);
/* Internal: accepts its arguments and does nothing. */
ViStatus kq7120_regModeDacVolts(ViSession instHndl, ViInt16 numChan, const ViInt16 dacChan[],
                                const ViReal64 dacVolt[], ViReal64 dlyTime);
/* Arms the ARB through its register: a running sequence starts over at step 0. */
KQ7120_API ViStatus kq7120_regModeArmArb(ViSession instHndl);

/* ================================================================================================ */
/* Older names                                                                                      */
/* ================================================================================================ */

/* kq7120_error_message */
KQ7120_API ViStatus kq7120_errorMessage(ViSession instHndl, ViStatus errorCode, ViChar errorMessage[]);
/* kq7120_self_test */
KQ7120_API ViStatus kq7120_selfTest(ViSession instHndl, ViInt16 *testResult, ViChar testMessage[]);
/* kq7120_revision_query with the two texts in the other order. */
KQ7120_API ViStatus kq7120_revisionQuery(ViSession instHndl, ViChar instrRev[], ViChar driverRev[]);
/* kq7120_error_query */
KQ7120_API ViStatus kq7120_errorQuery(ViSession instHndl, ViInt32 *errorNumber, ViChar errorString[]);

#ifdef __cplusplus
}
#endif

#endif
