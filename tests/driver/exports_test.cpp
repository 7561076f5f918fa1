// The shared library exports exactly the driver's functions and depends on no VISA: its dynamic
// symbol table and dynamic section, read straight from the ELF file.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct DynamicInfo {
    std::set<std::string> definedSymbols;  // global or weak, defined in the library
    std::vector<std::string> needed;       // DT_NEEDED entries
};

template <typename T>
T readAt(const std::string& image, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= image.size()) std::memcpy(&value, image.data() + offset, sizeof(T));
    return value;
}

std::string stringAt(const std::string& image, std::size_t tableOffset, std::size_t tableSize,
                     std::size_t index) {
    if (index >= tableSize || tableOffset + tableSize > image.size()) return {};
    const char* start = image.data() + tableOffset + index;
    return std::string(start, strnlen(start, tableSize - index));
}

DynamicInfo readDynamicInfo(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)), {});
    DynamicInfo info;
    const auto header = readAt<Elf64_Ehdr>(image, 0);
    if (image.size() < sizeof header || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64) {
        ADD_FAILURE() << path << " is not a 64-bit ELF file";
        return info;
    }
    std::vector<Elf64_Shdr> sections;
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        sections.push_back(readAt<Elf64_Shdr>(image, header.e_shoff + i * header.e_shentsize));
    }
    for (const auto& section : sections) {
        if (section.sh_link >= sections.size()) continue;
        const auto& strings = sections[section.sh_link];
        if (section.sh_type == SHT_DYNSYM) {
            for (std::size_t offset = 0; offset + sizeof(Elf64_Sym) <= section.sh_size;
                 offset += sizeof(Elf64_Sym)) {
                const auto symbol = readAt<Elf64_Sym>(image, section.sh_offset + offset);
                const int binding = ELF64_ST_BIND(symbol.st_info);
                if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
                info.definedSymbols.insert(
                    stringAt(image, strings.sh_offset, strings.sh_size, symbol.st_name));
            }
        }
        if (section.sh_type == SHT_DYNAMIC) {
            for (std::size_t offset = 0; offset + sizeof(Elf64_Dyn) <= section.sh_size;
                 offset += sizeof(Elf64_Dyn)) {
                const auto entry = readAt<Elf64_Dyn>(image, section.sh_offset + offset);
                if (entry.d_tag == DT_NEEDED) {
                    info.needed.push_back(
                        stringAt(image, strings.sh_offset, strings.sh_size, entry.d_un.d_val));
                }
            }
        }
    }
    return info;
}

TEST(Exports, ExactlyTheDriverFunctions) {
    const std::set<std::string> expected = {
        // Status texts and the older name
        "kq7120_error_message",
        "kq7120_errorMessage",
        // Session
        "kq7120_init",
        "kq7120_reset",
        "kq7120_close",
        // Transport and log
        "kq7120_enableDisableSCPILog",
        "kq7120_directIO",
        // Chassis
        "kq7120_scanChassis",
        "kq7120_autoConnectToFirst",
        // Housekeeping, with the older names
        "kq7120_self_test",
        "kq7120_selfTest",
        "kq7120_revision_query",
        "kq7120_revisionQuery",
        "kq7120_error_query",
        "kq7120_errorQuery",
        "kq7120_setOperComplete",
        "kq7120_getOperComplete",
        "kq7120_clearStatusRegister",
        "kq7120_setStatusMask",
        "kq7120_queryDeviceStatusReg",
        // DC output and trigger
        "kq7120_setupVoltage",
        "kq7120_queryVoltage",
        "kq7120_setupVoltageRange",
        "kq7120_queryVoltageRange",
        "kq7120_triggerEvent",
        "kq7120_setupAndWriteToDAC",
        "kq7120_configTriggerParams",
        "kq7120_queryTriggerParams",
        // Memory arrays
        "kq7120_memorySetup",
        "kq7120_queryDACMemoryArray",
        "kq7120_sourceVoltageSetup",
        // Scanning
        "kq7120_setupScanMode",
        "kq7120_setupScanLimit",
        "kq7120_setupScanList",
        "kq7120_setupScanListAtIndex",
        "kq7120_setupScanListParams",
        "kq7120_queryScanMode",
        "kq7120_queryScanLimit",
        "kq7120_queryScanList",
        "kq7120_queryScanListAtIndex",
        // Calibration
        "kq7120_enableDisableSecState",
        "kq7120_calibrateOffsetGain",
        "kq7120_calibrationDataBlock",
        "kq7120_enableDisableAutoStore",
        "kq7120_storeCalibrationData",
        "kq7120_changeSecurityCode",
        "kq7120_calibrationQuery",
        "kq7120_calibrateInstrument",
        // Sample clock, timer, marker, output trigger and data format
        "kq7120_setupClock",
        "kq7120_setupMarker",
        "kq7120_setupTimer",
        "kq7120_setupDataFormat",
        "kq7120_setupOutput",
        "kq7120_queryClockParms",
        "kq7120_queryMarkerParms",
        "kq7120_queryTimer",
        "kq7120_queryDataFormat",
        "kq7120_queryOutput",
        // ARB segments and sequences
        "kq7120_arbDefineSegment",
        "kq7120_arbResizeSegment",
        "kq7120_arbDeleteAllSegments",
        "kq7120_arbCopyWaveform",
        "kq7120_arbSetDataPoint",
        "kq7120_arbResizeSequence",
        "kq7120_arbDefineSequence",
        "kq7120_arbSetSeqParms",
        "kq7120_arbSetSeqParmsEx",
        "kq7120_arbLoadText",
        "kq7120_memorySize",
        "kq7120_queryArbMemoryUsage",
        "kq7120_arbQuerySegmentSize",
        "kq7120_arbQueryDataPoint",
        "kq7120_arbQuerySeqParms",
        "kq7120_arbQueryWaveformData",
        "kq7120_arbQueryWaveformVoltage",
        // Register-level transfer, run control and register-mode DAC
        "kq7120_arbLoadVoltage",
        "kq7120_arbLoadData",
        "kq7120_loadFIFOVoltage",
        "kq7120_loadFIFO_Data",
        "kq7120_GetFifoStatus",
        "kq7120_commandArb",
        "kq7120_commandFifo",
        "kq7120_arbScpi",
        "kq7120_regModeDacWrt",
        "kq7120_regModeArmArb",
    };
    const DynamicInfo info = readDynamicInfo(KQ7120_LIBRARY_PATH);
    EXPECT_EQ(expected.size(), 85u);
    EXPECT_EQ(info.definedSymbols, expected);
    for (const char* internal : {"kq7120_sendWSCmd", "kq7120_readData", "kq7120_check_instr_error",
                                 "kq7120_logCmd", "kq7120_verifyID", "kq7120_getModelNumber", "getLaFmHndl",
                                 "getModelNum", "kq7120_invalidIntegerRange", "kq7120_decipherArbitraryBlock",
                                 "txCmdBuff", "kq7120_regModeDacVolts"}) {
        EXPECT_EQ(info.definedSymbols.count(internal), 0u) << internal;
    }
}

TEST(Exports, NoVisaOrSimulatorLinked) {
    const DynamicInfo info = readDynamicInfo(KQ7120_LIBRARY_PATH);
    ASSERT_FALSE(info.needed.empty());
    for (const auto& library : info.needed) {
        EXPECT_EQ(library.find("visa"), std::string::npos) << library;
        EXPECT_EQ(library.find("sim"), std::string::npos) << library;
    }
}

}  // namespace
