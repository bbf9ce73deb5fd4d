#pragma once

#include <QTimer>
#include <QWidget>

class QFrame;
class QLabel;

namespace app {

// The splash window shown at start. Half a second later it runs the first-run step, opens the
// main window and closes.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    QFrame* Frame1;
    QLabel* imgLogo;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblPlatform;
    QLabel* lblCompanyProduct;
    QLabel* Label2;
    QTimer* Timer1;

signals:
    // The main window is open; `mainWindow` is it.
    void mainWindowShown(QWidget* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Timer1_Timer();
};

} // namespace app
