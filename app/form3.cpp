#include "app/form3.h"

#include "app/course_state.h"
#include "app/course_windows.h"
#include "app/layout.h"
#include "app/player_hook.h"
#include "platform/media_player.h"
#include "platform/movie_player.h"
#include "platform/program_folder.h"
#include "platform/screen_units.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

#include <cmath>

namespace app {
namespace {

constexpr int kStartScreenTimeoutMs = 15000;

int toPixels(const platform::ScreenUnits& units, double twips)
{
    return static_cast<int>(std::nearbyint(units.toPixels(twips)));
}

QRect toPixels(const platform::ScreenUnits& units, const QRectF& twips)
{
    return {toPixels(units, twips.x()), toPixels(units, twips.y()), toPixels(units, twips.width()),
            toPixels(units, twips.height())};
}

} // namespace

Form3::Form3(bool withAudioOutput, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , Flash1(new platform::MoviePlayer(this))
    , WindowsMediaPlayer1(new platform::MediaPlayer(withAudioOutput, this))
    , Timer1(new QTimer(this))
    , menus(this)
    , m_playerHook(std::make_unique<PlayerWndProc>(*this))
{
    setObjectName(QStringLiteral("Form3"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    Flash1->setObjectName(QStringLiteral("Flash1"));
    Flash1->hide();
    Timer1->setInterval(kStartScreenTimeoutMs);
    connect(Timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);
    connect(Flash1, &platform::MoviePlayer::FSCommand, this, &Form3::Flash1_FSCommand);
    connectMenus();
    Form_Load();
}

Form3::~Form3()
{
    UnhookPlayer(*m_playerHook);
}

void Form3::Form_Load()
{
    SkipMusicOnResize = false;
    FormControl_Show();
    ConfigValues = readConfigFile(platform::resolveProgramPath(u"\\confg.Ini"));
    CurrentSection = kStartScreen;

    const auto units = platform::ScreenUnits::of(this);
    Flash1->setBackgroundColor(0);
    Flash1->setGeometry(toPixels(units, QRectF(3360, 2340, kStartPlayerWidth, kStartPlayerHeight)));
    Flash1->setMovie(platform::resolveProgramPath(u"\\swf\\Inicio.swf"));
    Flash1->setMenu(false);
    Flash1->show();

    Timer1->start();
    WindowsMediaPlayer1->settings.setVolume(ConfigValues[Volume]);
    // The window starts opaque; the saved opacity applies the next time the learner picks one.
    OpacityLevel = ConfigValues[Opacity];
    menus.SonidoP->setChecked(ConfigValues[SoundSwitch] == kSoundOn);
    yinyueSUB();
    menus.PracticaEscribir->setChecked(false);
    menus.OpcionesPer->setChecked(false);
    FindAndHookPlayer(*this, *m_playerHook, false);
    C_Layout();
}

void Form3::C_Layout()
{
    const QScreen* screen = this->screen();
    const auto units = platform::ScreenUnits::of(screen);
    const MainLayout layout =
        computeMainLayout(ConfigValues[ScreenMode], CurrentSection, platform::screenSizeInTwips(screen));
    QRect window = toPixels(units, layout.window);
    if (screen)
        window.translate(screen->geometry().topLeft());

    // The resize this raises must not restart the music. When the size does not change no resize
    // follows, and a flag left set would swallow the next real one (a restore from minimised).
    if (window.size() != size())
        SkipMusicOnResize = true;
    setGeometry(window);
    Flash1->setGeometry(toPixels(units, layout.player));
}

void Form3::C_Screen()
{
    ConfigValues[ScreenMode] = ConfigValues[ScreenMode] == kWindowMode ? kFullScreenMode : kWindowMode;
    C_Layout();
    C_SaveConfig();
}

void Form3::C_EnterIndex()
{
    CurrentSection = kMainIndex;
    Flash1->show();
    C_LoadModule(107, QStringLiteral("index"));
    Flash1->setMenu(false);
    yinyueSUB();
    Timer1->stop();
    FindAndHookPlayer(*this, *m_playerHook, true);
    C_Layout();
}

void Form3::Timer1_Timer()
{
    Timer1->stop();
    if (CurrentSection == kStartScreen)
        C_EnterIndex();
    if (CurrentSection == kEnding)
        ZZEnd();
}

void Form3::Form_Resize()
{
    if (isMinimized()) {
        FormSistema_SetMinimised(true);
        FormEScribir_SetMinimised(true);
        setWindowTitle(QStringLiteral("Lumavo"));
        menus.SonidoP->setChecked(false);
        FormControl_FollowMinimised(true);
    } else {
        // The mark shows the sound switch: checking it unconditionally here would show the sound
        // on after a resize that does not restart the music.
        menus.SonidoP->setChecked(ConfigValues[SoundSwitch] == kSoundOn);
        setWindowTitle(QString());
        C_Layout();
        FormControl_FollowMinimised(false);
        FormSistema_SetMinimised(false);
        FormEScribir_SetMinimised(false);
    }
    if (!SkipMusicOnResize)
        yinyueSUB();
    SkipMusicOnResize = false;
}

void Form3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!isMinimized())
        Form_Resize();
}

void Form3::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const bool wasMinimised = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    if (wasMinimised != isMinimized())
        Form_Resize();
}

void Form3::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    else if (event->button() == Qt::RightButton)
        menus.EntrarP->exec(event->globalPosition().toPoint());
}

void Form3::mouseReleaseEvent(QMouseEvent* event)
{
    // A click on the window, outside the player, enters the main index whatever the section.
    if (event->button() == Qt::LeftButton && m_leftPressed && rect().contains(event->position().toPoint())) {
        m_leftPressed = false;
        C_EnterIndex();
    }
    m_leftPressed = false;
}

void Form3::ZZTimerCerrado()
{
    if (CurrentSection == kEnding) {
        ZZEnd();
        return;
    }
    Timer1->stop();
    Flash1->setMenu(false);
    Flash1->show();
    Flash1->setMovie(platform::resolveProgramPath(u"\\SWF\\Quit.swf"));
    CurrentSection = kEnding;
    yinyueSUB();
}

void Form3::ZZEnd()
{
    close();
}

void Form3::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_closing)
        return;
    m_closing = true;
    Timer1->stop();
    UnhookPlayer(*m_playerHook);
    WindowsMediaPlayer1->controls.stop();
    emit programEnded();
}

} // namespace app
