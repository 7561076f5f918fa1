#include "event_dispatch.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QSpinBox>
#include <deque>

#include "control_kind.h"
#include "key_codes.h"
#include "numeric_entry.h"
#include "panel_registry.h"
#include "ui_codes.h"

namespace sfpui {

namespace {

int recorders = 0;
std::deque<RecordedCommit> recordedCommits;
bool deliveringRewrittenKey = false;

// Set when a spin box commits through its value, so Enter does not commit a second time.
constexpr const char* kCommittedByValue = "sfpui_committedByValue";

void dispatchChange(int panel, QWidget* control) {
    const QPointer<QWidget> guard(control);
    dispatchControlEvent(panel, control, UI_EVENT_VAL_CHANGED);
    if (!guard.isNull() && Registry::instance().panel(panel) != nullptr)
        dispatchControlEvent(panel, control, UI_EVENT_COMMIT);
}

bool hasCallback(int panel, const QWidget* control) {
    const PanelRecord* record = Registry::instance().panel(panel);
    return record != nullptr && record->controlCallbacks.contains(control->objectName());
}

// Enter in a spin box takes the typed text and commits, also when the value stays the same. An
// entry the control refuses stays as typed, and nothing is committed.
bool enterInSpinBox(int panel, QAbstractSpinBox* spin) {
    if (!takesTypedEntry(spin)) return true;
    const QPointer<QAbstractSpinBox> guard(spin);
    spin->setProperty(kCommittedByValue, false);
    spin->interpretText();
    if (!guard.isNull() && !spin->property(kCommittedByValue).toBool())
        dispatchControlEvent(panel, spin, UI_EVENT_COMMIT);
    if (!guard.isNull()) spin->selectAll();
    return true;
}

}  // namespace

int dispatchControlEvent(int panel, QWidget* control, int event, int eventData1, int* eventData2) {
    PanelRecord* record = Registry::instance().panel(panel);
    if (record == nullptr) return 0;
    const QString name = control->objectName();
    if (event == UI_EVENT_COMMIT && recorders > 0) recordedCommits.push_back({panel, name});
    const auto callback = record->controlCallbacks.find(name);
    if (callback == record->controlCallbacks.end()) return 0;
    const QByteArray utf8 = name.toUtf8();
    return callback->second(panel, utf8.constData(), event, eventData1, eventData2);
}

void connectControlSignals(int panel, QWidget* control) {
    switch (kindOf(control)) {
        case ControlKind::Command:
            QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, control,
                             [panel, control] { dispatchControlEvent(panel, control, UI_EVENT_COMMIT); });
            break;
        case ControlKind::Toggle:
            QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, control,
                             [panel, control] { dispatchChange(panel, control); });
            break;
        case ControlKind::Numeric: {
            auto* spin = static_cast<QAbstractSpinBox*>(control);
            spin->setKeyboardTracking(false);
            const auto changed = [panel, spin] {
                spin->setProperty(kCommittedByValue, true);
                dispatchChange(panel, spin);
            };
            if (auto* doubleSpin = qobject_cast<QDoubleSpinBox*>(control))
                QObject::connect(doubleSpin, &QDoubleSpinBox::valueChanged, control, changed);
            else if (auto* intSpin = qobject_cast<QSpinBox*>(control))
                QObject::connect(intSpin, &QSpinBox::valueChanged, control, changed);
            break;
        }
        case ControlKind::TextEntry: {
            auto* entry = static_cast<QLineEdit*>(control);
            QObject::connect(entry, &QLineEdit::returnPressed, control,
                             [panel, control] { dispatchControlEvent(panel, control, UI_EVENT_COMMIT); });
            QObject::connect(entry, &QLineEdit::textEdited, control, [panel, control] {
                dispatchControlEvent(panel, control, UI_EVENT_VAL_CHANGED);
            });
            break;
        }
        case ControlKind::Ring:
            QObject::connect(static_cast<QComboBox*>(control), &QComboBox::activated, control,
                             [panel, control] { dispatchChange(panel, control); });
            break;
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(control);
            QObject::connect(list, &QListWidget::currentRowChanged, control, [panel, control] {
                dispatchControlEvent(panel, control, UI_EVENT_VAL_CHANGED);
            });
            QObject::connect(list, &QListWidget::itemActivated, control,
                             [panel, control] { dispatchControlEvent(panel, control, UI_EVENT_COMMIT); });
            break;
        }
        default:
            break;
    }
}

bool PanelEventFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || Registry::instance().panel(panel_) == nullptr) return false;
    switch (event->type()) {
        case QEvent::KeyPress:
            return keyPress(widget, event);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return mousePress(widget, event);
        case QEvent::Close:
            if (widget != Registry::instance().panel(panel_)->root) return false;
            event->ignore();  // the panel stays; only its close control may discard it
            return closeRequest(widget);
        default:
            return false;
    }
}

bool PanelEventFilter::keyPress(QWidget* watched, QEvent* event) {
    if (deliveringRewrittenKey) return false;
    const PanelRecord* record = Registry::instance().panel(panel_);
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int key = keyCodeOf(*keyEvent);
    if (watched == record->root) {
        // A key no control took: Esc closes a child panel like its close box.
        if (key == UI_KEY_ESC && record->parent != 0 &&
            (!record->closeControl.isEmpty() || record->callback != nullptr))
            return closeRequest(watched);
        return false;
    }
    QWidget* control = controlOf(watched);
    if (control == nullptr || (control != watched && control->focusProxy() != watched))
        return false;  // reached here by propagation, or no control
    const QPointer<QWidget> guard(control);
    if (key != 0 && hasCallback(panel_, control)) {
        int rewritten = key;
        if (dispatchControlEvent(panel_, control, UI_EVENT_KEYPRESS, key, &rewritten) == 1 || guard.isNull())
            return true;
        if (rewritten != key) {
            const auto replacement = keyEventFor(rewritten, QEvent::KeyPress);
            deliveringRewrittenKey = true;
            QCoreApplication::sendEvent(watched, replacement.get());
            deliveringRewrittenKey = false;
            return true;
        }
    }
    if (key == UI_KEY_ENTER)
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) return enterInSpinBox(panel_, spin);
    return false;
}

bool PanelEventFilter::mousePress(QWidget* watched, QEvent* event) {
    auto* mouseEvent = static_cast<QMouseEvent*>(event);
    if (mouseEvent->button() != Qt::LeftButton ||
        watched->childAt(mouseEvent->position().toPoint()) != nullptr)
        return false;  // only the innermost widget under the pointer reports a click
    const int code =
        event->type() == QEvent::MouseButtonDblClick ? UI_EVENT_LEFT_DOUBLE_CLICK : UI_EVENT_LEFT_CLICK;
    const QPointer<QWidget> guard(watched);
    if (QWidget* control = controlOf(watched); control != nullptr && hasCallback(panel_, control)) {
        if (dispatchControlEvent(panel_, control, code) == 1 || guard.isNull()) return true;
    }
    const PanelRecord* record = Registry::instance().panel(panel_);
    if (record == nullptr) return true;
    if (record->callback != nullptr) {
        record->callback(panel_, code);
        return guard.isNull() || Registry::instance().panel(panel_) == nullptr;
    }
    return false;
}

bool PanelEventFilter::closeRequest(QWidget* root) {
    const PanelRecord* record = Registry::instance().panel(panel_);
    if (!record->closeControl.isEmpty()) {
        if (QWidget* control = root->findChild<QWidget*>(record->closeControl);
            control != nullptr && control->isEnabled())
            dispatchControlEvent(panel_, control, UI_EVENT_COMMIT);
    } else if (record->callback != nullptr) {
        record->callback(panel_, UI_EVENT_CLOSE);
    }
    return true;
}

CommitRecorder::CommitRecorder() { ++recorders; }
CommitRecorder::~CommitRecorder() { --recorders; }

std::optional<RecordedCommit> takeRecordedCommit() {
    if (recordedCommits.empty()) return std::nullopt;
    RecordedCommit commit = recordedCommits.front();
    recordedCommits.pop_front();
    return commit;
}

bool hasRecordedCommit() { return !recordedCommits.empty(); }

void forgetRecordedCommits(int panel) {
    std::erase_if(recordedCommits, [panel](const RecordedCommit& commit) { return commit.panel == panel; });
}

void forgetRecordedCommits() { recordedCommits.clear(); }

}  // namespace sfpui
