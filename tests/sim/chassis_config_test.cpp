// Chassis files, the default chassis and the mainframe built from them.
#include "kqsim/chassis_config.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "kq_module_test_support.h"
#include "kqsim/kq_module.h"
#include "kqsim/mainframe.h"

namespace kqsim::testing {
namespace {

class ChassisFile : public ::testing::Test {
protected:
    void SetUp() override { folder_ = freshFolder(currentTestName()); }

    std::string write(const std::string& text, const std::string& name = "chassis.json") {
        const auto path = folder_ / name;
        std::ofstream(path) << text;
        return path.string();
    }

    std::filesystem::path folder_;
};

TEST_F(ChassisFile, ReadsInterfaceStateFolderAndModules) {
    const std::string path = write(R"({
        "interface": "GPIB-VXI",
        "stateDirectory": "/var/tmp/kq-state",
        "modules": [
            {"model": "KQ7110", "logicalAddress": 8, "slot": 1},
            {"model": "foreign", "logicalAddress": 9, "slot": 2, "interfaceNumber": 1,
             "manufacturerId": "0xF3B", "modelCode": 515, "idnModel": "X1"}
        ]})");
    std::string error;
    const auto chassis = loadChassisFile(path, error);
    ASSERT_TRUE(chassis) << error;
    EXPECT_EQ(chassis->interface, Interface::GpibVxi);
    EXPECT_EQ(chassis->stateDirectory, "/var/tmp/kq-state");
    ASSERT_EQ(chassis->modules.size(), 2u);
    EXPECT_EQ(chassis->modules[0].kind, ModuleKind::KQ7110);
    EXPECT_EQ(chassis->modules[0].logicalAddress, 8);
    EXPECT_EQ(chassis->modules[0].interfaceNumber, 0);
    EXPECT_FALSE(chassis->modules[0].manufacturerId);
    EXPECT_EQ(chassis->modules[1].kind, ModuleKind::Foreign);
    EXPECT_EQ(chassis->modules[1].interfaceNumber, 1);
    EXPECT_EQ(chassis->modules[1].manufacturerId, 0xF3B);
    EXPECT_EQ(chassis->modules[1].modelCode, 515);
    EXPECT_EQ(chassis->modules[1].idnModel, "X1");
}

TEST_F(ChassisFile, RelativeStateFolderLiesNextToTheFile) {
    const std::string path = write(R"({"stateDirectory": "state", "modules": []})");
    std::string error;
    const auto chassis = loadChassisFile(path, error);
    ASSERT_TRUE(chassis) << error;
    EXPECT_EQ(chassis->stateDirectory, (folder_ / "state").string());
}

TEST_F(ChassisFile, ExampleFileIsValid) {
    const char* source = std::getenv("KQ_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::string error;
    const auto chassis = loadChassisFile(std::string(source) + "/sim/chassis-example.json", error);
    ASSERT_TRUE(chassis) << error;
    EXPECT_EQ(chassis->modules.size(), 5u);
}

struct InvalidFile {
    const char* text;
    const char* reason;  // part of the error message
};

const InvalidFile kInvalidFiles[] = {
    {"{", "not valid JSON"},
    {"[]", "expected a JSON object"},
    {R"({"interface": "PXI", "modules": []})", "interface"},
    {R"({"modules": [], "slots": 3})", "unknown key \"slots\""},
    {R"({"interface": "VXI"})", "modules"},
    {R"({"modules": {}})", "modules"},
    {R"({"stateDirectory": 5, "modules": []})", "stateDirectory"},
    {R"({"modules": [3]})", "modules[0]: expected an object"},
    {R"({"modules": [{"logicalAddress": 1, "slot": 1}]})", "\"model\" missing"},
    {R"({"modules": [{"model": "KQ7999", "logicalAddress": 1, "slot": 1}]})", "modules[0].model"},
    {R"({"modules": [{"model": "KQ7120", "slot": 1}]})", "\"logicalAddress\" missing"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1}]})", "\"slot\" missing"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 256, "slot": 1}]})",
     "logicalAddress: 256 is outside 0-255"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": -1, "slot": 1}]})", "logicalAddress"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1.5, "slot": 1}]})", "expected an integer"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": "7", "slot": 1}]})", "expected an integer"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 13}]})", "slot: 13 is outside 0-12"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1, "interfaceNumber": 300}]})",
     "interfaceNumber"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1, "manufacturerId": "0x1000"}]})",
     "manufacturerId"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1, "modelCode": "103"}]})",
     "modelCode"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1, "idnModel": "A,B"}]})", "idnModel"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1, "colour": "red"}]})",
     "unknown key \"colour\""},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1},
                     {"model": "KQ7110", "logicalAddress": 1, "slot": 2}]})",
     "modules[1].logicalAddress: logical address 1 is already used on interface 0"},
    {R"({"modules": [{"model": "KQ7120", "logicalAddress": 1, "slot": 1},
                     {"model": "KQ7110", "logicalAddress": 2, "slot": 1}]})",
     "modules[1].slot"},
};

class InvalidChassisFile : public ChassisFile, public ::testing::WithParamInterface<InvalidFile> {};

TEST_P(InvalidChassisFile, IsRefusedWithItsReason) {
    const std::string path = write(GetParam().text);
    std::string error;
    EXPECT_FALSE(loadChassisFile(path, error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, InvalidChassisFile, ::testing::ValuesIn(kInvalidFiles));

TEST_F(ChassisFile, SameLogicalAddressOnTwoInterfacesIsAllowed) {
    const std::string path = write(R"({"modules": [
        {"model": "KQ7120", "logicalAddress": 1, "slot": 1, "interfaceNumber": 0},
        {"model": "KQ7120", "logicalAddress": 1, "slot": 1, "interfaceNumber": 1}]})");
    std::string error;
    EXPECT_TRUE(loadChassisFile(path, error)) << error;
}

TEST_F(ChassisFile, MissingFileIsReported) {
    std::string error;
    EXPECT_FALSE(loadChassisFile((folder_ / "none.json").string(), error));
    EXPECT_NE(error.find("cannot be opened"), std::string::npos);
}

TEST(DefaultChassis, HoldsTwoKqModulesAndAForeignOneOnVxi0) {
    const ChassisConfig chassis = defaultChassis();
    EXPECT_EQ(chassis.interface, Interface::Vxi);
    ASSERT_EQ(chassis.modules.size(), 3u);
    EXPECT_EQ(chassis.modules[0].kind, ModuleKind::KQ7120);
    EXPECT_EQ(chassis.modules[0].logicalAddress, 24);
    EXPECT_EQ(chassis.modules[0].slot, 2);
    EXPECT_EQ(chassis.modules[1].kind, ModuleKind::Foreign);
    EXPECT_EQ(chassis.modules[1].logicalAddress, 32);
    EXPECT_EQ(chassis.modules[2].kind, ModuleKind::KQ7110);
    EXPECT_EQ(chassis.modules[2].logicalAddress, 40);
    EXPECT_EQ(chassis.modules[2].slot, 4);
}

class MainframeTest : public ChassisFile {
protected:
    void TearDown() override { installMainframe(nullptr); }
};

TEST_F(MainframeTest, BuildsEveryModuleWithItsIdentity) {
    ChassisConfig chassis = defaultChassis();
    chassis.stateDirectory = folder_.string();
    const Mainframe mainframe(chassis);
    ASSERT_EQ(mainframe.modules().size(), 3u);

    const MountedModule* kq7120 = mainframe.find(0, 24);
    ASSERT_NE(kq7120, nullptr);
    EXPECT_EQ(kq7120->manufacturerId, 0xA5D);
    EXPECT_EQ(kq7120->modelCode, 0x103);
    EXPECT_EQ(kq7120->config.idnModel, "KQ7120");
    auto* module = dynamic_cast<KqModule*>(kq7120->instrument.get());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->channelCount(), 16);
    EXPECT_EQ(module->stateFile(), (folder_ / "kq7120-vxi0-la24.json").string());

    const MountedModule* foreign = mainframe.find(0, 32);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(foreign->manufacturerId, 0xF3A);
    EXPECT_EQ(foreign->modelCode, 0x201);
    EXPECT_EQ(dynamic_cast<KqModule*>(foreign->instrument.get()), nullptr);
    Controller other(*foreign->instrument);
    EXPECT_EQ(other.query("*IDN?"), "Tarnwick Labs,TW4410,0,1.4\n");
    EXPECT_EQ(foreign->instrument->readRegister(0x00), 0xBF3A);
    EXPECT_EQ(foreign->instrument->readRegister(0x02), 0xF201);

    const MountedModule* kq7110 = mainframe.find(0, 40);
    ASSERT_NE(kq7110, nullptr);
    EXPECT_EQ(dynamic_cast<KqModule*>(kq7110->instrument.get())->channelCount(), 8);
    EXPECT_EQ(mainframe.find(0, 25), nullptr);
    EXPECT_EQ(mainframe.find(1, 24), nullptr);
}

TEST_F(MainframeTest, IdentityOverridesReachRegistersAndIdentification) {
    const ChassisConfig chassis{
        .modules = {{.logicalAddress = 5, .manufacturerId = 0x123, .modelCode = 0x456, .idnModel = "KQ7130"}},
        .stateDirectory = folder_.string()};
    const Mainframe mainframe(chassis);
    const MountedModule* module = mainframe.find(0, 5);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->manufacturerId, 0x123);
    EXPECT_EQ(module->instrument->readRegister(0x00), 0xB123);
    EXPECT_EQ(module->instrument->readRegister(0x02), 0xF456);
    Controller bus(*module->instrument);
    EXPECT_EQ(bus.query("*IDN?"), "Harlowfen Instruments,KQ7130,0,A.02.05\n");
}

TEST_F(MainframeTest, CurrentMainframeComesFromTheChassisFileVariable) {
    const std::string path = write(R"({"stateDirectory": "state", "modules": [
        {"model": "KQ7110", "logicalAddress": 77, "slot": 7}]})");
    ::setenv(kChassisFileVariable, path.c_str(), 1);
    installMainframe(nullptr);
    const auto mainframe = currentMainframe();
    ::unsetenv(kChassisFileVariable);
    ASSERT_EQ(mainframe->modules().size(), 1u);
    EXPECT_NE(mainframe->find(0, 77), nullptr);
    EXPECT_EQ(currentMainframe(), mainframe);
}

TEST_F(MainframeTest, UnreadableChassisFileGivesAnEmptyMainframe) {
    const std::string path = write("{ not json");
    ::setenv(kChassisFileVariable, path.c_str(), 1);
    installMainframe(nullptr);
    ::testing::internal::CaptureStderr();
    const auto mainframe = currentMainframe();
    const std::string complaint = ::testing::internal::GetCapturedStderr();
    ::unsetenv(kChassisFileVariable);
    EXPECT_TRUE(mainframe->modules().empty());
    EXPECT_NE(complaint.find("not valid JSON"), std::string::npos);
}

TEST_F(MainframeTest, InstalledChassisReplacesTheMainframeButOpenModulesStayAlive) {
    installMainframe(nullptr);
    const auto first = currentMainframe();
    EXPECT_EQ(first->modules().size(), 3u);
    const std::shared_ptr<Instrument> kept = first->find(0, 24)->instrument;

    ChassisConfig chassis;
    chassis.interface = Interface::GpibVxi;
    chassis.stateDirectory = folder_.string();
    installChassis(chassis);
    EXPECT_EQ(currentMainframe()->interface(), Interface::GpibVxi);
    EXPECT_TRUE(currentMainframe()->modules().empty());
    Controller bus(*kept);
    EXPECT_EQ(bus.query("*IDN?").substr(0, 28), "Harlowfen Instruments,KQ7120");
}

TEST_F(MainframeTest, ReadyMadeInstrumentsCanBeMounted) {
    MountedModule mounted;
    mounted.config.logicalAddress = 3;
    mounted.manufacturerId = 0xA5D;
    mounted.modelCode = 0x103;
    mounted.instrument = std::make_shared<KqModule>(KqModuleOptions{});
    const Mainframe mainframe(Interface::Vxi, {mounted});
    ASSERT_NE(mainframe.find(0, 3), nullptr);
    EXPECT_EQ(mainframe.config().modules.size(), 1u);
}

TEST_F(MainframeTest, ForeignModuleAnswersOnlyItsIdentityAndFlagsTheRest) {
    ChassisConfig chassis = defaultChassis();
    chassis.stateDirectory = folder_.string();
    const Mainframe mainframe(chassis);
    Instrument& foreign = *mainframe.find(0, 32)->instrument;
    Controller bus(foreign);
    EXPECT_EQ(bus.query("*ESR?"), "0\n");
    bus.send("SOUR:VOLT:LEV 1,(@1)");
    EXPECT_EQ(bus.query("*ESR?"), "32\n");

    bus.send("*idn?\n");
    char first[4];
    const ReplyChunk head = foreign.readReply(first, sizeof first);
    EXPECT_EQ(head.count, 4u);
    EXPECT_FALSE(head.end);
    EXPECT_EQ(std::string(first, 4) + bus.readAll(), "Tarnwick Labs,TW4410,0,1.4\n");
    EXPECT_FALSE(foreign.replyPending());

    foreign.writeMessage(std::string(70000, 'x'), false);
    foreign.writeMessage("*IDN?", true);
    EXPECT_FALSE(foreign.replyPending());
    bus.send("*IDN?");
    foreign.deviceClear();
    EXPECT_FALSE(foreign.replyPending());
    EXPECT_EQ(foreign.writeRegisterBlock(0x20, nullptr, 0, false), 0u);
}

}  // namespace
}  // namespace kqsim::testing
