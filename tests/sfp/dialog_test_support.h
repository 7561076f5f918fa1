// Support for the dialog tests: short ways to read what the dialogs show and send, the front panel
// started on a chassis whose modules keep their non-volatile memory in a private folder, and a record
// of what was painted.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "kqsim/kq_module.h"

namespace sfptest {

std::vector<std::string> textBoxLines(int panel, const char* control);
std::string textValue(int panel, const char* control);
// Messages written to the module since the trace was cleared, without the error checks ("*ESR?").
std::vector<std::string> commandsSent();
// The entries of the configuration menu group that are dimmed now.
std::vector<std::string> dimmedConfigurationEntries();
// 1 while the main panel's menu bar is dimmed as a whole, else 0.
int menuBarDimmed();

class DialogTest : public FrontPanelTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Installs the chassis with the private state folder and starts the program on it.
    void startOn(kqsim::ChassisConfig config);
    // Ends what a start left (session, panels) and forgets the program state; the state folder stays.
    void endProgram();
    // The program ends and starts again on a chassis built anew from the same state folder, as after
    // switching the mainframe off and on.
    void restart();
    // Connects to entry `entry` of the connection dialog (sets the channel count).
    void connectTo(int entry);

    static kqsim::KqModule& kqModule(std::uint16_t logicalAddress = 24);
    // Writes of the bus trace that start with `prefix`.
    static std::vector<std::string> writesStartingWith(const std::string& prefix);

    std::filesystem::path stateFolder_;
    kqsim::ChassisConfig config_;
};

// Records the text of the named labels each time one of them is painted.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QString control);
    ~PaintedTexts() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    std::vector<std::string> texts;

private:
    QString control_;
};

}  // namespace sfptest
