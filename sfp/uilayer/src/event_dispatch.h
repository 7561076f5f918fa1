// Delivery of operator actions to callbacks: the control signals that make commits and value
// changes, the filter that turns key presses, clicks and window closing into events, and the record
// of commits that GetUserEvent hands out.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QWidget;

namespace sfpui {

// Calls the control's callback, if it has one, and returns its result (0 without one). A commit
// is also recorded while GetUserEvent handles events.
int dispatchControlEvent(int panel, QWidget* control, int event, int eventData1 = 0,
                         int* eventData2 = nullptr);

// Connects the control's own signals (button clicks, Enter, entry picks, ...) to dispatch.
void connectControlSignals(int panel, QWidget* control);

// Watches every widget of one panel.
class PanelEventFilter : public QObject {
public:
    PanelEventFilter(int panel, QObject* parent) : QObject(parent), panel_(panel) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPress(QWidget* watched, QEvent* event);
    bool mousePress(QWidget* watched, QEvent* event);
    bool closeRequest(QWidget* root);
    int panel_;
};

struct RecordedCommit {
    int panel = 0;
    QString control;
};

// Commits are recorded while at least one recorder exists.
class CommitRecorder {
public:
    CommitRecorder();
    ~CommitRecorder();
    CommitRecorder(const CommitRecorder&) = delete;
    CommitRecorder& operator=(const CommitRecorder&) = delete;
};
std::optional<RecordedCommit> takeRecordedCommit();
bool hasRecordedCommit();
void forgetRecordedCommits(int panel);
void forgetRecordedCommits();

}  // namespace sfpui
