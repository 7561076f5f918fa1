#include "typed_keys_only.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace sfpui {

namespace {

class TypedKeysOnlyFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                return !isTypingKey(*static_cast<QKeyEvent*>(event));
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                // A middle click pastes the selection.
                return static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton;
            case QEvent::MouseMove:  // a drag would select text that the next key replaces
            case QEvent::ContextMenu:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::InputMethod:
            case QEvent::InputMethodQuery:
                return true;
            default:
                return false;
        }
    }

private:
    // One printable character, Backspace, Enter, Escape and focus moves pass; shortcuts (paste,
    // cut, undo, select all), caret and deletion keys do not.
    static bool isTypingKey(const QKeyEvent& key) {
        const Qt::KeyboardModifiers modifiers = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        switch (key.key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
                return true;
            case Qt::Key_Backspace:
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return modifiers == Qt::NoModifier && (key.modifiers() & Qt::ShiftModifier) == 0;
            default:
                break;
        }
        if (modifiers != Qt::NoModifier) return false;
        const QString text = key.text();
        return text.size() == 1 && text[0].isPrint();
    }
};

}  // namespace

void restrictToTypedKeys(QWidget* widget) {
    auto* entry = qobject_cast<QLineEdit*>(widget);
    if (entry == nullptr || !entry->property(kTypedKeysOnlyProperty).toBool()) return;
    entry->setContextMenuPolicy(Qt::NoContextMenu);
    entry->setDragEnabled(false);
    entry->setAcceptDrops(false);
    entry->setAttribute(Qt::WA_InputMethodEnabled, false);
    entry->installEventFilter(new TypedKeysOnlyFilter(entry));
}

}  // namespace sfpui
