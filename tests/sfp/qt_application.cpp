#include "qt_application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace sfptest {

namespace {

// The offscreen platform says so for every window operation it does not do (raise, resize hints).
void quietOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        qInstallMessageHandler(quietOffscreenNotices);
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        finishDiscards();
        application_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "sfp-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace

void finishDiscards() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace sfptest
