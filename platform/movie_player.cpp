#include "platform/movie_player.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>

#include "swf/view/movie_view.h"

namespace platform {

MoviePlayer::MoviePlayer(QWidget* parent) : QWidget(parent), m_view(new swf::MovieView(this))
{
    m_view->setObjectName(QString::fromLatin1(kViewObjectName));
    m_view->setGeometry(rect());
    connect(m_view, &swf::MovieView::fsCommand, this, &MoviePlayer::FSCommand);
}

MoviePlayer::~MoviePlayer() = default;

void MoviePlayer::setMovie(const QString& path)
{
    m_movie = path;
    // A path that names no movie leaves the view empty: background only.
    if (m_view->loadFile(path))
        m_view->play();
}

void MoviePlayer::setFrameNum(int frame)
{
    m_view->gotoFrame(frame);
}

int MoviePlayer::frameNum() const
{
    return m_view->currentFrame();
}

void MoviePlayer::play()
{
    m_view->play();
}

bool MoviePlayer::isPlaying() const
{
    return m_view->isPlaying();
}

void MoviePlayer::setBackgroundColor(int bgr)
{
    m_view->setBackgroundColor(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
}

void MoviePlayer::setMenu(bool enabled)
{
    m_menu = enabled;
}

void MoviePlayer::resizeEvent(QResizeEvent* event)
{
    m_view->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}

void MoviePlayer::contextMenuEvent(QContextMenuEvent* event)
{
    // The player has no menu entries of its own to offer.
    event->accept();
}

// Input inside the player belongs to the player: what the movie does not use goes no further,
// so the host window never sees clicks or keys meant for the movie.
void MoviePlayer::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void MoviePlayer::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void MoviePlayer::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void MoviePlayer::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

void MoviePlayer::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

} // namespace platform
