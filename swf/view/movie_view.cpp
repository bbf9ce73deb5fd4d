#include "swf/view/movie_view.h"

#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "swf/core/local_files.h"
#include "swf/render/device_fonts.h"
#include "swf/render/scene_signature.h"

namespace swf {
namespace {

int swf_key(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: return KeyLeft;
    case Qt::Key_Right: return KeyRight;
    case Qt::Key_Home: return KeyHome;
    case Qt::Key_End: return KeyEnd;
    case Qt::Key_Insert: return KeyInsert;
    case Qt::Key_Delete: return KeyDelete;
    case Qt::Key_Backspace: return KeyBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyEnter;
    case Qt::Key_Up: return KeyUp;
    case Qt::Key_Down: return KeyDown;
    case Qt::Key_PageUp: return KeyPageUp;
    case Qt::Key_PageDown: return KeyPageDown;
    case Qt::Key_Tab: return KeyTab;
    case Qt::Key_Escape: return KeyEscape;
    default: break;
    }
    QString text = event->text();
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() < 127)
        return text[0].unicode();
    return 0;
}

} // namespace

MovieView::MovieView(QWidget* parent) : QWidget(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &MovieView::tick);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled); // typing Chinese into input fields
    setAttribute(Qt::WA_OpaquePaintEvent);
}

MovieView::~MovieView()
{
    if (m_player)
        m_player->close();
}

bool MovieView::load(std::vector<std::uint8_t> data, QString* error, const QString& folder)
{
    clear();
    PlayerHost host;
    if (!folder.isEmpty()) {
        auto files = std::make_shared<LocalFiles>(folder.toStdString());
        host.fetch = [files](const std::string& url) { return files->read(url); };
    }
    host.fscommand = [this](const std::string& command, const std::string& args) {
        emit fsCommand(QString::fromStdString(command), QString::fromStdString(args));
    };
    host.trace = [this](const std::string& line) { emit trace(QString::fromStdString(line)); };
    auto player = Player::create(std::move(host));
    player->set_text_metrics(device_text_metrics());
    m_sound.attach(player); // before loading: the first frame may start sounds
    std::string reason;
    if (!player->load(std::move(data), &reason)) {
        m_sound.attach(nullptr);
        if (error)
            *error = QString::fromStdString(reason);
        update();
        return false;
    }
    if (!m_output)
        m_output = std::make_unique<audio::AudioOutput>(m_mixer);
    m_player = std::move(player);
    m_timer.start(static_cast<int>(std::lround(1000.0 / m_player->frame_rate())));
    update();
    return true;
}

bool MovieView::loadFile(const QString& path, QString* error)
{
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!read_movie_file(QFile::encodeName(path).toStdString(), bytes, reason)) {
        clear();
        if (error)
            *error = QString::fromStdString(reason);
        return false;
    }
    return load(std::move(bytes), error, QFileInfo(path).absolutePath());
}

void MovieView::clear()
{
    m_timer.stop();
    if (m_player) {
        // Closing first: if this runs inside the movie's own fscommand, its script ends there.
        m_player->close();
        m_text.clear(m_player.get());
        m_player.reset();
    }
    m_sound.attach(nullptr); // its sound stops at once
    m_renderer.release();
    unsetCursor();
    update();
}

void MovieView::gotoFrame(int frame)
{
    if (m_player) {
        m_player->goto_frame(frame);
        update();
    }
}

void MovieView::play()
{
    if (m_player)
        m_player->play();
}

void MovieView::stop()
{
    if (m_player)
        m_player->stop();
}

bool MovieView::isPlaying() const
{
    return m_player && m_player->playing();
}

int MovieView::currentFrame() const
{
    return m_player ? m_player->current_frame() : 0;
}

int MovieView::frameCount() const
{
    return m_player ? m_player->frame_count() : 0;
}

void MovieView::setBackgroundColor(const QColor& color)
{
    m_background = color;
    update();
}

QColor MovieView::backgroundColor() const
{
    if (m_background.isValid() || !m_player || !m_player->has_movie())
        return m_background.isValid() ? m_background : QColor(Qt::white);
    Rgba c = m_player->background();
    return QColor(c.r, c.g, c.b);
}

void MovieView::tick()
{
    if (!m_player)
        return;
    std::shared_ptr<Player> player = m_player; // survives a replacement from inside the tick
    player->tick();
    afterInput();
}

void MovieView::afterInput()
{
    m_sound.update();
    if (m_player && m_player->hand_cursor())
        setCursor(Qt::PointingHandCursor);
    else if (m_player && TextInput::text_at(*m_player, m_player->mouse_position()))
        setCursor(Qt::IBeamCursor);
    else
        unsetCursor();
    if (!m_player || scene_signature(*m_player) != m_painted)
        update();
}

Point MovieView::toStage(const QPointF& position) const
{
    if (!m_player)
        return {};
    QPointF p = Renderer::stage_transform(m_player->stage(), QRectF(rect())).inverted().map(position);
    return {p.x(), p.y()};
}

void MovieView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_player) {
        m_renderer.render(painter, *m_player, QRectF(rect()), m_background);
        m_painted = scene_signature(*m_player);
    } else {
        painter.fillRect(rect(), m_background.isValid() ? m_background : QColor(Qt::white));
    }
}

void MovieView::mouseMoveEvent(QMouseEvent* event)
{
    if (std::shared_ptr<Player> player = m_player) {
        player->mouse_move(toStage(event->position()));
        afterInput();
    }
}

void MovieView::mousePressEvent(QMouseEvent* event)
{
    std::shared_ptr<Player> player = m_player;
    if (!player || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    Point stage = toStage(event->position());
    m_text.click(*player, stage);
    player->mouse_down(stage);
    afterInput();
}

void MovieView::mouseReleaseEvent(QMouseEvent* event)
{
    std::shared_ptr<Player> player = m_player;
    if (!player || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    player->mouse_up(toStage(event->position()));
    afterInput();
}

void MovieView::keyPressEvent(QKeyEvent* event)
{
    std::shared_ptr<Player> player = m_player;
    if (player && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && m_text.next_field(*player, event->key() == Qt::Key_Backtab)) {
        afterInput();
        return;
    }
    // Typing edits the focused field; the movie's key handlers hear the keys as well.
    bool typed = player && m_text.key(*player, *event);
    int key = swf_key(event);
    if (!player || (key == 0 && !typed)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (key != 0)
        player->key_down(key);
    afterInput();
}

void MovieView::inputMethodEvent(QInputMethodEvent* event)
{
    std::shared_ptr<Player> player = m_player;
    if (player && m_text.type(*player, event->commitString()))
        afterInput();
    event->accept();
}

bool MovieView::focusNextPrevChild(bool next)
{
    return hasMovie() ? false : QWidget::focusNextPrevChild(next);
}

void MovieView::keyReleaseEvent(QKeyEvent* event)
{
    std::shared_ptr<Player> player = m_player;
    int key = swf_key(event);
    if (!player || key == 0 || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    player->key_up(key);
    afterInput();
}

} // namespace swf
