#include "app/form1.h"

#include "app/course_windows.h"
#include "app/form3.h"
#include "app/main_menus.h"
#include "desktop/web_page.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace app {
namespace {

constexpr int kSplashTimeoutMs = 500;

// The course's logo: the character for "middle" (as in the name of China) on a red seal.
QPixmap logo()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xB0, 0x1C, 0x1C));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    QFont font = painter.font();
    font.setPixelSize(40);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, QStringLiteral("中"));
    return pixmap;
}

QLabel* label(QWidget* parent, const QString& text, int pointSize, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , Frame1(new QFrame(this))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("Form1"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFixedSize(480, 270);
    Frame1->setStyleSheet(QStringLiteral("QFrame#Frame1 { background: #fbf6ea; border: 2px solid #b01c1c; }"));

    imgLogo = new QLabel(Frame1);
    imgLogo->setPixmap(logo());
    imgLogo->setGeometry(24, 24, 64, 64);
    lblProductName = label(Frame1, QStringLiteral("Lumavo"), 28, true);
    lblProductName->setGeometry(104, 24, 350, 48);
    lblVersion = label(Frame1, QStringLiteral("Version 1.0  beta 2"), 11);
    lblVersion->setGeometry(104, 76, 350, 22);
    lblPlatform = label(Frame1, QStringLiteral("Windows 2000/Xp/2003"), 10);
    lblPlatform->setGeometry(104, 100, 350, 20);
    lblCompanyProduct = label(Frame1, QStringLiteral("Nombre de Producto"), 12, true);
    lblCompanyProduct->setGeometry(24, 140, 430, 24);
    auto* subtitle = label(Frame1, QStringLiteral("Curso de chino mandarín para hispanohablantes"), 11);
    subtitle->setGeometry(24, 166, 430, 22);
    auto* rights = label(Frame1, QStringLiteral("© Lumavo. Todos los derechos reservados."), 9);
    rights->setGeometry(24, 206, 430, 18);
    auto* years = label(Frame1, QStringLiteral("2005 - 2026"), 9);
    years->setGeometry(24, 226, 200, 18);
    Label2 = label(Frame1, kMakerWebAddress, 9);
    Label2->setGeometry(254, 226, 200, 18);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setStyleSheet(QStringLiteral("color: #1c4cb0; text-decoration: underline;"));
    Label2->installEventFilter(this);

    // The window is the size of its card, centred on the screen.
    setFixedSize(Frame1->size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Timer1->setInterval(kSplashTimeoutMs);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease)
        desktop::OpenWebPage(kMakerWebPage);
    return QWidget::eventFilter(watched, event);
}

void Form1::Timer1_Timer()
{
    Timer1->stop();
    FirstRunSetup();
    auto* form3 = new Form3;
    form3->setAttribute(Qt::WA_DeleteOnClose);
    form3->show();
    emit mainWindowShown(form3);
    close();
}

} // namespace app
