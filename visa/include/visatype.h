/* Basic VISA data types for the 64-bit Linux ABI. */
#ifndef KQ_VISATYPE_H
#define KQ_VISATYPE_H

#ifdef __cplusplus
extern "C" {
#endif

#define _VI_FAR
#define _VI_FUNC
#define _VI_FUNCC
#define _VI_FUNCH
#define _VI_SIGNED signed
#define _VI_PTR    *
#define _VI_ERROR  (-2147483647 - 1)

typedef unsigned long long ViUInt64;
typedef signed long long ViInt64;
typedef ViUInt64 *ViPUInt64;
typedef ViInt64 *ViPInt64;

typedef unsigned int ViUInt32;
typedef signed int ViInt32;
typedef ViUInt32 *ViPUInt32;
typedef ViUInt32 *ViAUInt32;
typedef ViInt32 *ViPInt32;
typedef ViInt32 *ViAInt32;

typedef unsigned short ViUInt16;
typedef signed short ViInt16;
typedef ViUInt16 *ViPUInt16;
typedef ViUInt16 *ViAUInt16;
typedef ViInt16 *ViPInt16;
typedef ViInt16 *ViAInt16;

typedef unsigned char ViUInt8;
typedef signed char ViInt8;
typedef ViUInt8 *ViPUInt8;
typedef ViUInt8 *ViAUInt8;
typedef ViInt8 *ViPInt8;
typedef ViInt8 *ViAInt8;

typedef char ViChar;
typedef ViChar *ViPChar;
typedef ViChar *ViAChar;
typedef unsigned char ViByte;
typedef ViByte *ViPByte;
typedef ViByte *ViAByte;
typedef void *ViAddr;
typedef ViAddr *ViPAddr;
typedef ViAddr *ViAAddr;
typedef float ViReal32;
typedef ViReal32 *ViPReal32;
typedef ViReal32 *ViAReal32;
typedef double ViReal64;
typedef ViReal64 *ViPReal64;
typedef ViReal64 *ViAReal64;

typedef ViPByte ViBuf;
typedef const ViByte *ViConstBuf;
typedef ViPByte ViPBuf;
typedef ViPByte *ViABuf;

typedef ViPChar ViString;
typedef const ViChar *ViConstString;
typedef ViPChar ViPString;
typedef ViPChar *ViAString;

typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViString ViPRsrc;
typedef ViString *ViARsrc;

typedef ViUInt16 ViBoolean;
typedef ViBoolean *ViPBoolean;
typedef ViBoolean *ViABoolean;

typedef ViInt32 ViStatus;
typedef ViStatus *ViPStatus;
typedef ViStatus *ViAStatus;

typedef ViUInt32 ViVersion;
typedef ViVersion *ViPVersion;
typedef ViVersion *ViAVersion;

typedef ViUInt32 ViObject;
typedef ViObject *ViPObject;
typedef ViObject *ViAObject;

typedef ViObject ViSession;
typedef ViSession *ViPSession;
typedef ViSession *ViASession;

typedef ViUInt32 ViAttr;
typedef ViConstString ViKeyId;
typedef ViPString ViPKeyId;
typedef ViUInt32 ViJobId;
typedef ViJobId *ViPJobId;
typedef ViUInt32 ViAccessMode;
typedef ViAccessMode *ViPAccessMode;
typedef ViUInt32 ViEventType;
typedef ViEventType *ViPEventType;
typedef ViObject ViEvent;
typedef ViEvent *ViPEvent;
typedef ViObject ViFindList;
typedef ViFindList *ViPFindList;
typedef ViUInt32 ViEventFilter;
typedef ViUInt16 ViHndlr;

typedef ViUInt64 ViBusAddress;
typedef ViUInt64 ViBusSize;
typedef ViUInt64 ViAttrState;
typedef ViBusAddress *ViPBusAddress;
typedef ViBusSize *ViPBusSize;
typedef ViUInt64 ViBusAddress64;
typedef ViBusAddress64 *ViPBusAddress64;

#define VI_NULL  0
#define VI_TRUE  1
#define VI_FALSE 0

#ifdef __cplusplus
}
#endif

#endif
