// Finding our modules among everything VISA lists, and opening the first one.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqsim::ModuleKind;
using kqtest::DriverTest;

struct ScanResult {
    ViStatus status = VI_SUCCESS;
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> logicalAddresses{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> slots{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> models{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> interfaces{};
    ViInt16 found = -1;
    ViInt16 connection = -1;
};

ScanResult scan() {
    ScanResult result;
    result.logicalAddresses.fill(-1);
    result.status =
        kq7120_scanChassis(result.logicalAddresses.data(), result.slots.data(), result.models.data(),
                           result.interfaces.data(), &result.found, &result.connection);
    return result;
}

class ChassisScan : public DriverTest {
protected:
    // Every session the scan opened, its resource manager included, is closed again.
    static void expectEverySessionClosed() {
        std::vector<ViSession> open;
        for (const auto& record : kqvisa::trace()) {
            if ((record.op == kqvisa::Op::Open || record.op == kqvisa::Op::OpenDefaultRM) &&
                record.status == VI_SUCCESS) {
                open.push_back(static_cast<ViSession>(record.value));
            }
            if (record.op == kqvisa::Op::Close) std::erase(open, record.session);
        }
        EXPECT_TRUE(open.empty()) << open.size() << " sessions left open";
    }
};

TEST_F(ChassisScan, KeepsOurModulesInVisaOrder) {
    kqsim::ChassisConfig chassis;
    chassis.modules = {kqtest::module(ModuleKind::KQ7120, 24, 2), kqtest::module(ModuleKind::Foreign, 32, 3),
                       kqtest::module(ModuleKind::KQ7110, 40, 4), kqtest::module(ModuleKind::KQ7120, 48, 5)};
    install(chassis);
    const ScanResult result = scan();
    ASSERT_EQ(result.status, VI_SUCCESS);
    ASSERT_EQ(result.found, 3);
    EXPECT_EQ(result.connection, kq7120_VXI_CONNECTION);
    EXPECT_EQ((std::vector<ViInt16>(result.logicalAddresses.begin(), result.logicalAddresses.begin() + 3)),
              (std::vector<ViInt16>{24, 40, 48}));
    EXPECT_EQ((std::vector<ViInt16>(result.slots.begin(), result.slots.begin() + 3)),
              (std::vector<ViInt16>{2, 4, 5}));
    EXPECT_EQ((std::vector<ViInt16>(result.models.begin(), result.models.begin() + 3)),
              (std::vector<ViInt16>{7120, 7110, 7120}));
    EXPECT_EQ((std::vector<ViInt16>(result.interfaces.begin(), result.interfaces.begin() + 3)),
              (std::vector<ViInt16>{0, 0, 0}));
    EXPECT_TRUE(kqvisa::writtenMessages("VXI0::32::INSTR").empty()) << "the foreign module gets no *IDN?";
    EXPECT_EQ(kqvisa::writtenMessages("VXI0::48::INSTR"), (std::vector<std::string>{"*IDN?", "*ESR?"}));
    expectEverySessionClosed();
    const auto searches = calls(kqvisa::Op::FindRsrc);
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_EQ(searches[0].data, "?*VXI?*INSTR");
}

TEST_F(ChassisScan, SkipsAModuleThatAnswersAnotherModel) {
    auto kq7130 = kqtest::module(ModuleKind::KQ7120, 52, 6);
    kq7130.idnModel = "KQ7130";
    kqsim::ChassisConfig chassis;
    chassis.modules = {kq7130, kqtest::module(ModuleKind::KQ7110, 40, 4)};
    install(chassis);
    const ScanResult result = scan();
    ASSERT_EQ(result.status, VI_SUCCESS);
    ASSERT_EQ(result.found, 1);
    EXPECT_EQ(result.logicalAddresses[0], 40);
    EXPECT_EQ(result.models[0], kq7120_KQ7110);
    expectEverySessionClosed();

    ViSession resourceManager = 0;
    ViSession direct = 0;
    ASSERT_EQ(viOpenDefaultRM(&resourceManager), VI_SUCCESS);
    ASSERT_EQ(viOpen(resourceManager, "VXI0::52::INSTR", 0, 0, &direct), VI_SUCCESS);
    ViInt16 model = -1;
    EXPECT_EQ(getModelNum(direct, &model), VI_SUCCESS);
    EXPECT_EQ(model, 0) << "the skipped module's table entry is left unchanged";
    viClose(resourceManager);
}

TEST_F(ChassisScan, EmptyChassisReturnsTheSearchStatus) {
    install(kqsim::ChassisConfig{});
    const ScanResult result = scan();
    EXPECT_EQ(result.status, VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(result.found, 0);
    EXPECT_EQ(result.logicalAddresses[0], 0);
    expectEverySessionClosed();

    ViSession session = 1234;
    EXPECT_EQ(kq7120_autoConnectToFirst(&session), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(session, 1234u) << "the handle is not written";
}

TEST_F(ChassisScan, OnlyForeignModulesMeansNoneFound) {
    kqsim::ChassisConfig chassis;
    chassis.modules = {kqtest::module(ModuleKind::Foreign, 32, 3)};
    install(chassis);
    const ScanResult result = scan();
    EXPECT_EQ(result.status, VI_SUCCESS);
    EXPECT_EQ(result.found, 0);
    ViSession session = 1234;
    EXPECT_EQ(kq7120_autoConnectToFirst(&session), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(session, 1234u);
}

TEST_F(ChassisScan, GpibVxiBridgeIsReportedAndUsedToConnect) {
    kqsim::ChassisConfig chassis;
    chassis.interface = kqsim::Interface::GpibVxi;
    auto first = kqtest::module(ModuleKind::KQ7110, 24, 2);
    first.interfaceNumber = 1;
    chassis.modules = {first, kqtest::module(ModuleKind::KQ7120, 40, 4)};
    install(chassis);
    const ScanResult result = scan();
    ASSERT_EQ(result.status, VI_SUCCESS);
    ASSERT_EQ(result.found, 2);
    EXPECT_EQ(result.connection, kq7120_GPIB_VXI_CONNECTION);
    EXPECT_EQ(result.interfaces[0], 1);

    kqvisa::clearTrace();
    ViSession session = 0;
    ASSERT_EQ(kq7120_autoConnectToFirst(&session), VI_SUCCESS);
    EXPECT_NE(session, 0u);
    std::vector<std::string> opened;
    for (const auto& record : calls(kqvisa::Op::Open)) opened.push_back(record.data);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), "GPIB-VXI1::24::INSTR");
    const auto traffic = kqvisa::writtenMessages("GPIB-VXI1::24::INSTR");
    EXPECT_EQ(std::vector<std::string>(traffic.end() - 4, traffic.end()),
              (std::vector<std::string>{"*RST", "*ESR?", "*IDN?", "*ESR?"}))
        << "opened with reset";
    EXPECT_EQ(kq7120_close(session), VI_SUCCESS);
}

TEST_F(ChassisScan, AutoConnectOpensTheFirstModuleWithReset) {
    ViSession session = 0;
    ASSERT_EQ(kq7120_autoConnectToFirst(&session), VI_SUCCESS);
    std::vector<std::string> opened;
    for (const auto& record : calls(kqvisa::Op::Open)) opened.push_back(record.data);
    EXPECT_EQ(opened.back(), "VXI0::24::INSTR");
    const auto traffic = kqvisa::writtenMessages(kqtest::kKq7120Descriptor);
    ASSERT_GE(traffic.size(), 4u);
    EXPECT_EQ(traffic[traffic.size() - 4], "*RST");
    EXPECT_EQ(kq7120_close(session), VI_SUCCESS);
    EXPECT_EQ(kq7120_autoConnectToFirst(nullptr), VI_ERROR_PARAMETER1);
}

TEST_F(ChassisScan, VisaFailureEndsTheScanKeepingWhatWasFound) {
    kqsim::ChassisConfig chassis;
    chassis.modules = {kqtest::module(ModuleKind::KQ7120, 24, 2), kqtest::module(ModuleKind::KQ7110, 40, 4)};
    install(chassis);
    // The first module takes five attribute reads (address, slot, interface, maker, model code) and one
    // more for its table entry; the second module's first read fails.
    kqvisa::failCall(kqvisa::Op::GetAttribute, VI_ERROR_TMO, 7);
    const ScanResult result = scan();
    EXPECT_EQ(result.status, VI_ERROR_TMO);
    EXPECT_EQ(result.found, 1);
    EXPECT_EQ(result.logicalAddresses[0], 24);
    expectEverySessionClosed();

    kqvisa::resetFaults();
    kqvisa::clearTrace();
    kqvisa::failCall(kqvisa::Op::FindNext, VI_ERROR_SYSTEM_ERROR);
    EXPECT_EQ(scan().status, VI_ERROR_SYSTEM_ERROR);
    expectEverySessionClosed();

    kqvisa::resetFaults();
    kqvisa::clearTrace();
    kqvisa::scriptReply("*IDN?", "garbled\n", kqtest::kKq7110Descriptor);
    const ScanResult garbled = scan();
    EXPECT_EQ(garbled.status, kq7120_ERROR_IDN_QUERY_RESPONSE);
    EXPECT_EQ(garbled.found, 1);
    expectEverySessionClosed();
}

TEST_F(ChassisScan, MissingListIsReportedByPosition) {
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> list{};
    ViInt16 found = 0;
    ViInt16 connection = 0;
    EXPECT_EQ(kq7120_scanChassis(nullptr, list.data(), list.data(), list.data(), &found, &connection),
              VI_ERROR_PARAMETER1);
    EXPECT_EQ(kq7120_scanChassis(list.data(), list.data(), list.data(), nullptr, &found, &connection),
              VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_scanChassis(list.data(), list.data(), list.data(), list.data(), &found, nullptr),
              VI_ERROR_PARAMETER6);
    EXPECT_TRUE(kqvisa::trace().empty());
}

}  // namespace
