// Attributes: each written with its own width, read-only and unknown ones refused, settings checked.
#include <array>
#include <cstring>
#include <string>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

class AttributesTest : public VisaTest {
protected:
    void SetUp() override {
        VisaTest::SetUp();
        instruments_ = installTestMainframe(kqsim::Interface::Vxi, {{.logicalAddress = 24,
                                                                     .slot = 2,
                                                                     .board = 1,
                                                                     .manufacturerId = 0xFFB,
                                                                     .modelCode = 0x0F2,
                                                                     .model = "KQ7110"}});
        session_ = open("VXI1::24::INSTR");
    }

    ViSession session_ = VI_NULL;
};

constexpr unsigned char kUntouched = 0xAA;

struct NumericCase {
    ViAttr attribute;
    const char* name;
    std::size_t width;
    long long value;  // as the attribute's own type reads it
};

long long readBack(const std::array<unsigned char, 16>& bytes, std::size_t width, bool isSigned) {
    switch (width) {
        case 1:
            return bytes[0];
        case 2: {
            std::uint16_t value;
            std::memcpy(&value, bytes.data(), 2);
            return isSigned ? static_cast<std::int16_t>(value) : value;
        }
        case 4: {
            std::uint32_t value;
            std::memcpy(&value, bytes.data(), 4);
            return isSigned ? static_cast<std::int32_t>(value) : value;
        }
        default: {
            std::int64_t value;
            std::memcpy(&value, bytes.data(), 8);
            return value;
        }
    }
}

TEST_F(AttributesTest, NumbersAreWrittenWithTheirOwnWidth) {
    const NumericCase cases[] = {
        {VI_ATTR_MANF_ID, "MANF_ID", 2, 0xFFB},
        {VI_ATTR_MODEL_CODE, "MODEL_CODE", 2, 0x0F2},
        {VI_ATTR_VXI_LA, "VXI_LA", 2, 24},
        {VI_ATTR_SLOT, "SLOT", 2, 2},
        {VI_ATTR_INTF_NUM, "INTF_NUM", 2, 1},
        {VI_ATTR_INTF_TYPE, "INTF_TYPE", 2, VI_INTF_VXI},
        {VI_ATTR_TMO_VALUE, "TMO_VALUE", 4, 2000},
        {VI_ATTR_DEST_INCREMENT, "DEST_INCREMENT", 4, 1},
        {VI_ATTR_SRC_INCREMENT, "SRC_INCREMENT", 4, 1},
        {VI_ATTR_TERMCHAR, "TERMCHAR", 1, '\n'},
        {VI_ATTR_TERMCHAR_EN, "TERMCHAR_EN", 2, VI_FALSE},
        {VI_ATTR_SEND_END_EN, "SEND_END_EN", 2, VI_TRUE},
        {VI_ATTR_SUPPRESS_END_EN, "SUPPRESS_END_EN", 2, VI_FALSE},
        {VI_ATTR_RSRC_SPEC_VERSION, "RSRC_SPEC_VERSION", 4, VI_SPEC_VERSION},
        {VI_ATTR_RSRC_LOCK_STATE, "RSRC_LOCK_STATE", 4, VI_NO_LOCK},
        {VI_ATTR_RSRC_MANF_ID, "RSRC_MANF_ID", 2, 0xA5D},
        {VI_ATTR_TRIG_ID, "TRIG_ID", 2, VI_TRIG_SW},
        {VI_ATTR_WIN_ACCESS, "WIN_ACCESS", 2, VI_NMAPPED},
        {VI_ATTR_MEM_SPACE, "MEM_SPACE", 2, VI_A16_SPACE},
        {VI_ATTR_MEM_BASE, "MEM_BASE", 8, 0xC000 + 24 * 64},
        {VI_ATTR_MEM_SIZE, "MEM_SIZE", 8, 0x40},
        {VI_ATTR_USER_DATA, "USER_DATA", 8, 0},
        {VI_ATTR_4882_COMPLIANT, "4882_COMPLIANT", 2, VI_TRUE},
    };
    for (const NumericCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::array<unsigned char, 16> bytes;
        bytes.fill(kUntouched);
        ASSERT_EQ(viGetAttribute(session_, c.attribute, bytes.data()), VI_SUCCESS);
        EXPECT_EQ(readBack(bytes, c.width, c.value < 0), c.value);
        for (std::size_t i = c.width; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], kUntouched) << "byte " << i;
    }
}

TEST_F(AttributesTest, TextsFitVisaBuffers) {
    struct TextCase {
        ViAttr attribute;
        const char* expected;
    };
    const TextCase cases[] = {
        {VI_ATTR_RSRC_NAME, "VXI1::24::INSTR"},
        {VI_ATTR_RSRC_CLASS, "INSTR"},
        {VI_ATTR_MODEL_NAME, "KQ7110"},
        {VI_ATTR_MANF_NAME, "Manufacturer 0xFFB"},
        {VI_ATTR_INTF_INST_NAME, "VXI1 (simulated mainframe)"},
    };
    for (const TextCase& c : cases) {
        std::array<char, VI_FIND_BUFLEN + 8> text;
        text.fill(static_cast<char>(kUntouched));
        ASSERT_EQ(viGetAttribute(session_, c.attribute, text.data()), VI_SUCCESS) << c.expected;
        EXPECT_STREQ(text.data(), c.expected);
        EXPECT_EQ(text[VI_FIND_BUFLEN], static_cast<char>(kUntouched));
    }
    ViChar maker[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(viGetAttribute(session_, VI_ATTR_RSRC_MANF_NAME, maker), VI_SUCCESS);
    EXPECT_GT(std::strlen(maker), 0u);
}

TEST_F(AttributesTest, SettingsAreKeptPerSession) {
    const ViSession other = open("VXI1::24::INSTR");
    struct SettingCase {
        ViAttr attribute;
        ViAttrState value;
    };
    const SettingCase cases[] = {
        {VI_ATTR_TMO_VALUE, 10000},         {VI_ATTR_TMO_VALUE, VI_TMO_INFINITE},
        {VI_ATTR_DEST_INCREMENT, 0},        {VI_ATTR_TERMCHAR, ';'},
        {VI_ATTR_TERMCHAR_EN, VI_TRUE},     {VI_ATTR_SEND_END_EN, VI_FALSE},
        {VI_ATTR_SUPPRESS_END_EN, VI_TRUE}, {VI_ATTR_USER_DATA, 0x123456789ABCDEF0ULL},
        {VI_ATTR_TRIG_ID, VI_TRIG_TTL3},    {VI_ATTR_WR_BUF_OPER_MODE, VI_FLUSH_ON_ACCESS},
    };
    for (const SettingCase& c : cases) {
        ASSERT_EQ(viSetAttribute(session_, c.attribute, c.value), VI_SUCCESS) << std::hex << c.attribute;
        ViAttrState value = 0;
        ASSERT_EQ(viGetAttribute(session_, c.attribute, &value), VI_SUCCESS);
        ViAttrState untouched = 0;
        ASSERT_EQ(viGetAttribute(other, c.attribute, &untouched), VI_SUCCESS);
        // Narrower attributes fill only the low bytes of the zeroed destination.
        EXPECT_EQ(value, c.value) << std::hex << c.attribute;
        EXPECT_NE(untouched, c.value) << std::hex << c.attribute;
    }
    ViInt16 trigger = 0;
    ASSERT_EQ(viSetAttribute(session_, VI_ATTR_TRIG_ID, static_cast<ViAttrState>(ViInt64{VI_TRIG_SW})),
              VI_SUCCESS);
    ASSERT_EQ(viGetAttribute(session_, VI_ATTR_TRIG_ID, &trigger), VI_SUCCESS);
    EXPECT_EQ(trigger, VI_TRIG_SW);
}

TEST_F(AttributesTest, RefusesReadOnlyUnknownAndUnfitSettings) {
    struct RefusedCase {
        ViAttr attribute;
        ViAttrState value;
        ViStatus status;
    };
    const RefusedCase cases[] = {
        {VI_ATTR_MANF_ID, 1, VI_ERROR_ATTR_READONLY},
        {VI_ATTR_SLOT, 1, VI_ERROR_ATTR_READONLY},
        {VI_ATTR_RSRC_NAME, 0, VI_ERROR_ATTR_READONLY},
        {VI_ATTR_INTF_TYPE, 1, VI_ERROR_ATTR_READONLY},
        {0x3FFF7777, 1, VI_ERROR_NSUP_ATTR},
        {VI_ATTR_ASRL_BAUD, 9600, VI_ERROR_NSUP_ATTR},
        {VI_ATTR_DEST_INCREMENT, 2, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_DEST_INCREMENT, ~ViAttrState{0}, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_TERMCHAR, 0x100, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_TERMCHAR_EN, 2, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_TMO_VALUE, 0x100000000ULL, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_TRIG_ID, 42, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_IO_PROT, 9, VI_ERROR_NSUP_ATTR_STATE},
        {VI_ATTR_MAX_QUEUE_LENGTH, 0, VI_ERROR_NSUP_ATTR_STATE},
    };
    for (const RefusedCase& c : cases) {
        EXPECT_EQ(viSetAttribute(session_, c.attribute, c.value), c.status) << std::hex << c.attribute;
    }
    ViUInt32 timeout = 0;
    EXPECT_EQ(viGetAttribute(session_, VI_ATTR_TMO_VALUE, &timeout), VI_SUCCESS);
    EXPECT_EQ(timeout, 2000u);
    ViUInt32 any = 0;
    EXPECT_EQ(viGetAttribute(session_, 0x3FFF7777, &any), VI_ERROR_NSUP_ATTR);
}

TEST_F(AttributesTest, ResourceManagerAndFindListAttributes) {
    ViUInt32 timeout = 0;
    EXPECT_EQ(viGetAttribute(rm_, VI_ATTR_TMO_VALUE, &timeout), VI_SUCCESS);
    EXPECT_EQ(viSetAttribute(rm_, VI_ATTR_TMO_VALUE, 5), VI_SUCCESS);
    ViVersion version = 0;
    EXPECT_EQ(viGetAttribute(rm_, VI_ATTR_RSRC_SPEC_VERSION, &version), VI_SUCCESS);
    EXPECT_EQ(version, VI_SPEC_VERSION);
    ViUInt16 slot = 0;
    EXPECT_EQ(viGetAttribute(rm_, VI_ATTR_SLOT, &slot), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viSetAttribute(rm_, VI_ATTR_SEND_END_EN, VI_FALSE), VI_ERROR_NSUP_ATTR);

    ViFindList list = VI_NULL;
    ViChar descriptor[VI_FIND_BUFLEN];
    ASSERT_EQ(viFindRsrc(rm_, "?*", &list, VI_NULL, descriptor), VI_SUCCESS);
    EXPECT_EQ(viGetAttribute(list, VI_ATTR_TMO_VALUE, &timeout), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(viSetAttribute(list, VI_ATTR_TMO_VALUE, 5), VI_ERROR_NSUP_ATTR);
}

}  // namespace
}  // namespace kqvisatest
