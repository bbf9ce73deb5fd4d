// Test entry point: one QApplication for the whole executable (offscreen or on the private X
// server, as CTest chose), a private runtime folder, and quiet audio back ends.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt reports a missing sound server once per attempt; machines that run the tests have none.
void quietMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("PulseAudioService")) || message.contains(QLatin1String("No audio device"))
        || message.contains(QLatin1String("This plugin does not support")))
        return;
    previousHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    previousHandler = qInstallMessageHandler(quietMessageHandler);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
