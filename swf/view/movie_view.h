#pragma once

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

#include "swf/audio/audio_output.h"
#include "swf/audio/movie_sound.h"
#include "swf/core/player.h"
#include "swf/render/renderer.h"
#include "swf/view/text_input.h"

namespace swf {

// A widget that plays one movie: it owns the player, runs it at the movie's frame rate, paints
// it ("show all") and feeds it the mouse and keys. The pointer becomes a hand over active
// buttons and a text cursor over text fields; input text fields take the keyboard focus with
// a click or Tab. A frame that looks like the one painted last is not painted again. The
// movie's fscommands and traces arrive as signals. A slot connected to fsCommand may load
// another movie or clear this one: the old movie then runs no further script.
class MovieView : public QWidget {
    Q_OBJECT
public:
    explicit MovieView(QWidget* parent = nullptr);
    ~MovieView() override;

    // Replaces the movie. False (with the reason) when the data is not a playable movie; the
    // view then has no movie and shows only its background. Files the movie loads (loadMovie,
    // loadVariables, XML) come from `folder` and below it; without one, such loads fail.
    bool load(std::vector<std::uint8_t> data, QString* error = nullptr, const QString& folder = QString());
    // Reads the whole file before returning.
    bool loadFile(const QString& path, QString* error = nullptr);
    void clear();
    bool hasMovie() const { return m_player && m_player->has_movie(); }

    // Root timeline, frames from 0.
    void gotoFrame(int frame);
    void play();
    void stop();
    bool isPlaying() const;
    int currentFrame() const;
    int frameCount() const;

    // Replaces the movie's background colour; an invalid colour restores it.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const;

    // One frame now, as the timer does.
    void tick();
    Player* player() const { return m_player.get(); }
    // Widget position → stage twips.
    Point toStage(const QPointF& position) const;

signals:
    void fsCommand(const QString& command, const QString& args);
    void trace(const QString& line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab belongs to the movie (its input fields) while one is loaded.
    bool focusNextPrevChild(bool next) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void afterInput();

    std::shared_ptr<Player> m_player;
    Renderer m_renderer;
    TextInput m_text;
    std::uint64_t m_painted = 0; // the scene signature of the last paint
    QTimer m_timer;
    QColor m_background;
    audio::Mixer m_mixer;
    audio::MovieSound m_sound{m_mixer};
    std::unique_ptr<audio::AudioOutput> m_output; // opened with the first movie
};

} // namespace swf
