#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>
#include <optional>

#include "file_filters.h"
#include "popup_hook.h"
#include "ui_popups.h"

namespace {

PopupHook*& popupHook() {
    static PopupHook* hook = nullptr;
    return hook;
}

// A file dialog's answer from the hook: 1 with a path, 0 for "cancelled".
int hookedFileAnswer(PopupHook& hook, const char* title, std::string* path) {
    const std::optional<std::string> answer = hook.fileAnswer(title != nullptr ? title : "");
    if (!answer) return 0;
    *path = *answer;
    return path->empty() ? 0 : 1;
}

QString fromUtf8(const char* text) { return QString::fromUtf8(text != nullptr ? text : ""); }

}  // namespace

extern "C" int MessagePopup(const char* title, const char* message) {
    if (PopupHook* hook = popupHook()) {
        hook->message(title != nullptr ? title : "", message != nullptr ? message : "");
        return 0;
    }
    if (qApp == nullptr) {
        std::fprintf(stderr, "%s: %s\n", title != nullptr ? title : "", message != nullptr ? message : "");
        return 0;
    }
    // No parent: a dimmed panel would grey out a box that belongs to it.
    QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), fromUtf8(message), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return 0;
}

int FileSelectPopup(const char* directory, const char* filePattern, const char* typeList, const char* title,
                    const char* buttonLabel, int allowCancel, std::string* path) {
    if (PopupHook* hook = popupHook()) return hookedFileAnswer(*hook, title, path);
    if (qApp == nullptr) return 0;
    QFileDialog dialog(nullptr, fromUtf8(title), fromUtf8(directory));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(fileDialogFilters(filePattern, typeList));
    dialog.setLabelText(QFileDialog::Accept, fromUtf8(buttonLabel));
    dialog.setWindowModality(Qt::ApplicationModal);
    while (true) {
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            *path = dialog.selectedFiles().first().toStdString();
            return 1;
        }
        if (allowCancel != 0) return 0;
    }
}

int FileSavePopup(const char* directory, const char* defaultName, const char* filePattern, const char* title,
                  std::string* path) {
    if (PopupHook* hook = popupHook()) return hookedFileAnswer(*hook, title, path);
    if (qApp == nullptr) return 0;
    QFileDialog dialog(nullptr, fromUtf8(title), fromUtf8(directory));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(fileDialogFilters(filePattern, ""));
    dialog.selectFile(fromUtf8(defaultName));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
    *path = dialog.selectedFiles().first().toStdString();
    return 1;
}

void SetPopupHook(PopupHook* hook) { popupHook() = hook; }
