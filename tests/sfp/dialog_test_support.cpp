#include "dialog_test_support.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <cstdlib>

#include "connection_dialog.h"
#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "kqvisa/bus_trace.h"
#include "panel_layout.h"
#include "qt_application.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {

std::vector<std::string> textBoxLines(int panel, const char* control) {
    int count = 0;
    GetNumTextBoxLines(panel, control, &count);
    std::vector<std::string> lines(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) GetTextBoxLine(panel, control, i, &lines[static_cast<std::size_t>(i)]);
    return lines;
}

std::string textValue(int panel, const char* control) {
    std::string text;
    GetCtrlVal(panel, control, &text);
    return text;
}

std::vector<std::string> commandsSent() {
    std::vector<std::string> commands;
    for (std::string message : kqvisa::writtenMessages()) {
        while (!message.empty() && message.back() == '\n') message.pop_back();
        if (message != "*ESR?") commands.push_back(message);
    }
    return commands;
}

std::vector<std::string> dimmedConfigurationEntries() {
    std::vector<std::string> dimmed;
    const int menuBar = frontPanel().mainMenuBar;
    for (const char* entry : layout::kConfigurationMenuGroup) {
        int value = 0;
        if (HasMenuItem(menuBar, entry) == 1 &&
            GetMenuBarAttribute(menuBar, entry, UI_ATTR_DIMMED, &value) == 0 && value == 1)
            dimmed.emplace_back(entry);
    }
    return dimmed;
}

int menuBarDimmed() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (const auto* bar = window->findChild<QMenuBar*>(QStringLiteral("mainMenuBar")))
            return bar->isEnabled() ? 0 : 1;
    return -1;
}

void DialogTest::SetUp() {
    FrontPanelTest::SetUp();
    const char* base = std::getenv("KQ7120_SIM_STATE_DIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/sfp-dialog-XXXXXX";
    std::filesystem::create_directories(std::filesystem::path(pattern).parent_path());
    ASSERT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
    stateFolder_ = pattern;
}

void DialogTest::TearDown() {
    FrontPanelTest::TearDown();
    // The modules go before the folder holding their non-volatile memory.
    kqsim::installChassis(kqsim::ChassisConfig{});
    std::filesystem::remove_all(stateFolder_);
}

void DialogTest::startOn(kqsim::ChassisConfig config) {
    config.stateDirectory = stateFolder_.string();
    config_ = config;
    kqsim::installChassis(config);
    ASSERT_EQ(start(), VI_SUCCESS);
}

void DialogTest::endProgram() {
    // Not startOver(): that runs this fixture's TearDown, which removes the state folder.
    FrontPanelTest::TearDown();
    frontPanel() = FrontPanelState{};
    ClearCapturedPopups();
}

void DialogTest::restart() {
    endProgram();
    kqsim::installChassis(kqsim::ChassisConfig{});
    kqsim::installChassis(config_);
    ASSERT_EQ(start(), VI_SUCCESS);
}

void DialogTest::connectTo(int entry) {
    ASSERT_EQ(OperateCommit(mainPanel(), "InitializeButton"), UI_SUCCESS);
    const int dialog = connectionDialogPanel();
    ASSERT_GT(dialog, 0);
    ASSERT_EQ(OperateSelect(dialog, layout::kModuleList, entry), UI_SUCCESS);
    ASSERT_EQ(OperateCommit(dialog, "ConnectButton"), UI_SUCCESS);
    finishDiscards();
    kqvisa::clearTrace();
}

kqsim::KqModule& DialogTest::kqModule(std::uint16_t logicalAddress) {
    const kqsim::MountedModule* mounted = kqsim::currentMainframe()->find(0, logicalAddress);
    auto* module = mounted != nullptr ? dynamic_cast<kqsim::KqModule*>(mounted->instrument.get()) : nullptr;
    if (module == nullptr) throw std::runtime_error("no KQ module at that logical address");
    return *module;
}

std::vector<std::string> DialogTest::writesStartingWith(const std::string& prefix) {
    std::vector<std::string> writes;
    for (const kqvisa::TraceRecord& record : kqvisa::trace())
        if (record.op == kqvisa::Op::Write && record.data.starts_with(prefix)) writes.push_back(record.data);
    return writes;
}

PaintedTexts::PaintedTexts(QString control) : control_(std::move(control)) { qApp->installEventFilter(this); }

PaintedTexts::~PaintedTexts() { qApp->removeEventFilter(this); }

bool PaintedTexts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->objectName() == control_)
        if (const auto* label = qobject_cast<const QLabel*>(watched))
            texts.push_back(label->text().toStdString());
    return false;
}

}  // namespace sfptest
