// Resource descriptors, opening resources and the resource search.
#include <string>
#include <vector>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

class ResourcesTest : public VisaTest {};

struct ParseCase {
    const char* descriptor = "";
    ViStatus status = VI_SUCCESS;
    ViUInt16 interfaceType = 0;
    ViUInt16 board = 0;
    const char* canonical = "";
};

TEST_F(ResourcesTest, ParsesDescriptorsOfBothInterfaceKinds) {
    const ParseCase cases[] = {
        {"VXI0::24::INSTR", VI_SUCCESS, VI_INTF_VXI, 0, "VXI0::24::INSTR"},
        {"vxi::24", VI_SUCCESS, VI_INTF_VXI, 0, "VXI0::24::INSTR"},
        {"VXI3::255::instr", VI_SUCCESS, VI_INTF_VXI, 3, "VXI3::255::INSTR"},
        {"VXI007::024", VI_SUCCESS, VI_INTF_VXI, 7, "VXI7::24::INSTR"},
        {"GPIB-VXI::8", VI_SUCCESS, VI_INTF_GPIB_VXI, 0, "GPIB-VXI0::8::INSTR"},
        {"gpib-vxi2::40::INSTR", VI_SUCCESS, VI_INTF_GPIB_VXI, 2, "GPIB-VXI2::40::INSTR"},
        // PyVISA's spelling: a GPIB secondary address 0 after the logical address.
        {"GPIB-VXI0::24::0::INSTR", VI_SUCCESS, VI_INTF_GPIB_VXI, 0, "GPIB-VXI0::24::INSTR"},
        {"GPIB-vxi::24::0", VI_SUCCESS, VI_INTF_GPIB_VXI, 0, "GPIB-VXI0::24::INSTR"},
        {"GPIB-VXI0::24::1::INSTR", VI_ERROR_INV_RSRC_NAME},
        {"GPIB-VXI0::24::0::", VI_ERROR_INV_RSRC_NAME},
        {"GPIB-VXI0::24::0::0::INSTR", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::24::0::INSTR", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::256::INSTR", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::24::", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::24::INSTR::", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::24::MEMACC", VI_ERROR_INV_RSRC_NAME},
        {"VXI0:24", VI_ERROR_INV_RSRC_NAME},
        {"VXIx::24", VI_ERROR_INV_RSRC_NAME},
        {"VXI0::-1", VI_ERROR_INV_RSRC_NAME},
        {"VXI65536::1", VI_ERROR_INV_RSRC_NAME},
        {" VXI0::24", VI_ERROR_INV_RSRC_NAME},
        {"GPIB0::24::INSTR", VI_ERROR_INV_RSRC_NAME},
        {"", VI_ERROR_INV_RSRC_NAME},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.descriptor);
        ViUInt16 type = 0xFFFF;
        ViUInt16 board = 0xFFFF;
        ViChar resourceClass[VI_FIND_BUFLEN] = "x";
        ViChar expanded[VI_FIND_BUFLEN] = "x";
        ViChar alias[VI_FIND_BUFLEN] = "x";
        EXPECT_EQ(viParseRsrcEx(rm_, c.descriptor, &type, &board, resourceClass, expanded, alias), c.status);
        if (c.status != VI_SUCCESS) continue;
        EXPECT_EQ(type, c.interfaceType);
        EXPECT_EQ(board, c.board);
        EXPECT_STREQ(resourceClass, "INSTR");
        EXPECT_STREQ(expanded, c.canonical);
        EXPECT_STREQ(alias, "");
        type = board = 0xFFFF;
        EXPECT_EQ(viParseRsrc(rm_, c.descriptor, &type, &board), VI_SUCCESS);
        EXPECT_EQ(type, c.interfaceType);
        EXPECT_EQ(board, c.board);
    }
}

TEST_F(ResourcesTest, OpensOnlyResourcesOfTheMainframe) {
    struct OpenCase {
        const char* descriptor;
        ViStatus status;
    };
    const OpenCase cases[] = {
        {"VXI0::24::INSTR", VI_SUCCESS},
        {"vxi::32", VI_SUCCESS},
        {"VXI0::25::INSTR", VI_ERROR_RSRC_NFOUND},
        {"VXI1::24::INSTR", VI_ERROR_RSRC_NFOUND},
        {"GPIB-VXI0::24::INSTR", VI_ERROR_RSRC_NFOUND},
        {"VXI0::24::BOGUS", VI_ERROR_INV_RSRC_NAME},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.descriptor);
        ViSession session = 12345;
        EXPECT_EQ(viOpen(rm_, c.descriptor, VI_NULL, 0, &session), c.status);
        if (c.status == VI_SUCCESS) {
            ViChar name[VI_FIND_BUFLEN] = {};
            EXPECT_EQ(viGetAttribute(session, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
            EXPECT_EQ(std::string(name).substr(0, 4), "VXI0");
            EXPECT_EQ(viClose(session), VI_SUCCESS);
        } else {
            EXPECT_EQ(session, VI_NULL);
        }
    }

    installTestMainframe(kqsim::Interface::GpibVxi, {{.logicalAddress = 24, .slot = 2}});
    ViSession session = VI_NULL;
    EXPECT_EQ(viOpen(rm_, "VXI0::24::INSTR", VI_NULL, 0, &session), VI_ERROR_RSRC_NFOUND);
    ASSERT_EQ(viOpen(rm_, "GPIB-VXI0::24::INSTR", VI_NULL, 0, &session), VI_SUCCESS);
    ViUInt16 type = 0;
    EXPECT_EQ(viGetAttribute(session, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
    EXPECT_EQ(type, VI_INTF_GPIB_VXI);
    ViSession pyvisaSpelling = VI_NULL;
    ASSERT_EQ(viOpen(rm_, "GPIB-VXI0::24::0::INSTR", VI_NULL, 0, &pyvisaSpelling), VI_SUCCESS);
    ViChar name[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(viGetAttribute(pyvisaSpelling, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
    EXPECT_STREQ(name, "GPIB-VXI0::24::INSTR");
}

TEST_F(ResourcesTest, AccessModesWithoutLockingOnly) {
    ViSession session = VI_NULL;
    EXPECT_EQ(viOpen(rm_, "VXI0::24::INSTR", VI_LOAD_CONFIG, 0, &session), VI_SUCCESS);
    EXPECT_EQ(viOpen(rm_, "VXI0::24::INSTR", VI_EXCLUSIVE_LOCK, 0, &session), VI_ERROR_NSUP_MODE);
    EXPECT_EQ(viOpen(rm_, "VXI0::24::INSTR", VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK, 0, &session),
              VI_ERROR_INV_ACC_MODE);
    EXPECT_EQ(viOpen(rm_, "VXI0::24::INSTR", 0x100, 0, &session), VI_ERROR_INV_ACC_MODE);
}

// Every match of `expression` in the mainframe in use, through viFindRsrc and viFindNext.
std::vector<std::string> findAll(ViSession rm, const char* expression, ViStatus& status) {
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar descriptor[VI_FIND_BUFLEN] = {};
    status = viFindRsrc(rm, expression, &list, &count, descriptor);
    std::vector<std::string> found;
    if (status != VI_SUCCESS) return found;
    found.push_back(descriptor);
    for (ViUInt32 i = 1; i < count; ++i) {
        EXPECT_EQ(viFindNext(list, descriptor), VI_SUCCESS);
        found.push_back(descriptor);
    }
    EXPECT_EQ(viFindNext(list, descriptor), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viClose(list), VI_SUCCESS);
    return found;
}

struct FindCase {
    const char* expression;
    ViStatus status;
    std::vector<std::string> matches;
};

void expectFinds(ViSession rm, const std::vector<FindCase>& cases) {
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.expression);
        ViStatus status = VI_SUCCESS;
        EXPECT_EQ(findAll(rm, c.expression, status), c.matches);
        EXPECT_EQ(status, c.status);
    }
}

TEST_F(ResourcesTest, FindsWithVisaRegularExpressions) {
    installTestMainframe(kqsim::Interface::Vxi, {{.logicalAddress = 24, .slot = 2},
                                                 {.logicalAddress = 7, .slot = 3},
                                                 {.logicalAddress = 130, .slot = 4, .board = 1}});
    const std::vector<std::string> all = {"VXI0::24::INSTR", "VXI0::7::INSTR", "VXI1::130::INSTR"};
    expectFinds(rm_, {
                         {"?*VXI?*INSTR", VI_SUCCESS, all},
                         {"VXI?*INSTR", VI_SUCCESS, all},
                         {"?*", VI_SUCCESS, all},
                         {"?*instr", VI_SUCCESS, all},
                         {"VXI0::?*", VI_SUCCESS, {"VXI0::24::INSTR", "VXI0::7::INSTR"}},
                         {"VXI0::2*4::INSTR", VI_SUCCESS, {"VXI0::24::INSTR"}},
                         {"VXI0::??::INSTR", VI_SUCCESS, {"VXI0::24::INSTR"}},
                         {"VXI[01]::1+3+0::INSTR", VI_SUCCESS, {"VXI1::130::INSTR"}},
                         {"VXI0::[0-9]::INSTR", VI_SUCCESS, {"VXI0::7::INSTR"}},
                         {"VXI?::[^2]?*", VI_SUCCESS, {"VXI0::7::INSTR", "VXI1::130::INSTR"}},
                         {"VXI0::7::INSTR|VXI1::?*", VI_SUCCESS, {"VXI0::7::INSTR", "VXI1::130::INSTR"}},
                         {"VXI0::(24|7)::INSTR", VI_SUCCESS, {"VXI0::24::INSTR", "VXI0::7::INSTR"}},
                         {"(VXI0::)*VXI1?*", VI_SUCCESS, {"VXI1::130::INSTR"}},
                         {"VXI0\\:\\:7\\:\\:INSTR", VI_SUCCESS, {"VXI0::7::INSTR"}},
                         {"GPIB-VXI?*INSTR", VI_ERROR_RSRC_NFOUND, {}},
                         {"VXI0::24", VI_ERROR_RSRC_NFOUND, {}},
                         {"", VI_ERROR_INV_EXPR, {}},
                         {"*VXI", VI_ERROR_INV_EXPR, {}},
                         {"VXI[0", VI_ERROR_INV_EXPR, {}},
                         {"VXI(0", VI_ERROR_INV_EXPR, {}},
                         {"VXI0|", VI_ERROR_INV_EXPR, {}},
                         {"VXI[]", VI_ERROR_INV_EXPR, {}},
                     });

    installTestMainframe(kqsim::Interface::GpibVxi, {{.logicalAddress = 24, .slot = 2}});
    expectFinds(rm_, {
                         {"?*VXI?*INSTR", VI_SUCCESS, {"GPIB-VXI0::24::INSTR"}},
                         {"VXI?*INSTR", VI_ERROR_RSRC_NFOUND, {}},
                         {"GPIB-VXI?*", VI_SUCCESS, {"GPIB-VXI0::24::INSTR"}},
                     });
}

TEST_F(ResourcesTest, FindsWithAttributeExpressions) {
    installTestMainframe(
        kqsim::Interface::Vxi,
        {{.logicalAddress = 24, .slot = 2},
         {.logicalAddress = 32, .slot = 3, .manufacturerId = 0xFFB, .modelCode = 0x7, .model = ""},
         {.logicalAddress = 40, .slot = 4, .model = "KQ7110"}});
    expectFinds(rm_, {
                         {"?*{VI_ATTR_MANF_ID==0xA5D}", VI_SUCCESS, {"VXI0::24::INSTR", "VXI0::40::INSTR"}},
                         {"?*{VI_ATTR_MANF_ID != 2653}", VI_SUCCESS, {"VXI0::32::INSTR"}},
                         {"?*{VI_ATTR_SLOT>=3 && VI_ATTR_MODEL_CODE==259}", VI_SUCCESS, {"VXI0::40::INSTR"}},
                         {"?*{VI_ATTR_VXI_LA<30 || !(VI_ATTR_SLOT<4)}",
                          VI_SUCCESS,
                          {"VXI0::24::INSTR", "VXI0::40::INSTR"}},
                         {"?*{VI_ATTR_MODEL_NAME==\"kq7110\"}", VI_SUCCESS, {"VXI0::40::INSTR"}},
                         {"?*{VI_ATTR_TMO_VALUE==2000}",
                          VI_SUCCESS,
                          {"VXI0::24::INSTR", "VXI0::32::INSTR", "VXI0::40::INSTR"}},
                         {"?*{VI_ATTR_MANF_ID==0x1}", VI_ERROR_RSRC_NFOUND, {}},
                         {"?*{VI_ATTR_NO_SUCH==1}", VI_ERROR_INV_EXPR, {}},
                         {"?*{VI_ATTR_SLOT==}", VI_ERROR_INV_EXPR, {}},
                         {"?*{VI_ATTR_SLOT>\"a\"}", VI_ERROR_INV_EXPR, {}},
                         {"?*{VI_ATTR_SLOT==2", VI_ERROR_INV_EXPR, {}},
                     });
}

TEST_F(ResourcesTest, FindWithoutListOrCount) {
    ViChar descriptor[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(viFindRsrc(rm_, "?*", VI_NULL, VI_NULL, descriptor), VI_SUCCESS);
    EXPECT_STREQ(descriptor, "VXI0::24::INSTR");

    ViFindList list = 777;
    ViUInt32 count = 777;
    EXPECT_EQ(viFindRsrc(rm_, "VXI9?*", &list, &count, descriptor), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(list, VI_NULL);
    EXPECT_EQ(count, 0u);
    EXPECT_STREQ(descriptor, "");
}

TEST_F(ResourcesTest, MainframeWithoutResources) {
    installTestMainframe(kqsim::Interface::Vxi, {});
    ViStatus status = VI_SUCCESS;
    EXPECT_TRUE(findAll(rm_, "?*VXI?*INSTR", status).empty());
    EXPECT_EQ(status, VI_ERROR_RSRC_NFOUND);
}

}  // namespace
}  // namespace kqvisatest
