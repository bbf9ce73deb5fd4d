#include "app/form1.h"
#include "app/form3.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumavo"));
    QApplication::setQuitOnLastWindowClosed(false);

    app::Form1 splash;
    QObject::connect(&splash, &app::Form1::mainWindowShown, &app, [](QWidget* mainWindow) {
        // Closing the main window, for whatever reason, ends the program at once.
        QObject::connect(static_cast<app::Form3*>(mainWindow), &app::Form3::programEnded, qApp,
                         [] { QCoreApplication::exit(0); });
    });
    splash.show();
    return app.exec();
}
