#include <QApplication>
#include <QEventLoop>
#include <optional>
#include <vector>

#include "event_dispatch.h"
#include "ui_codes.h"
#include "ui_events.h"

namespace {

std::vector<QEventLoop*>& runningLoops() {
    static std::vector<QEventLoop*> loops;
    return loops;
}

std::optional<int>& pendingQuit() {
    static std::optional<int> code;
    return code;
}

}  // namespace

int RunUserInterface() {
    if (qApp == nullptr) return UI_ERR_NO_APPLICATION;
    int code = 0;
    if (pendingQuit()) {
        code = *pendingQuit();
        pendingQuit().reset();
    } else {
        QEventLoop loop;
        runningLoops().push_back(&loop);
        code = loop.exec();
        runningLoops().pop_back();
    }
    // Finish discarding the panels that callbacks discarded.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}

int QuitUserInterface(int code) {
    if (runningLoops().empty())
        pendingQuit() = code;
    else
        runningLoops().back()->exit(code);
    return UI_SUCCESS;
}

int GetUserEvent(int wait, int* panel, std::string* control) {
    if (qApp == nullptr) return UI_ERR_NO_APPLICATION;
    if (!sfpui::hasRecordedCommit()) {
        const sfpui::CommitRecorder recorder;
        QCoreApplication::processEvents();
        while (wait != 0 && !sfpui::hasRecordedCommit())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const auto commit = sfpui::takeRecordedCommit();
    if (!commit) return UI_EVENT_NONE;
    *panel = commit->panel;
    *control = commit->control.toStdString();
    return UI_EVENT_COMMIT;
}

int DiscardUserEvents() {
    sfpui::forgetRecordedCommits();
    return UI_SUCCESS;
}
