#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace swf {
class MovieView;
}

namespace platform {

// The movie player component: a control that plays one SWF movie in a child widget of its own
// and reports the movie's FSCommand calls. The operations keep the names the course shell
// uses for them.
class MoviePlayer : public QWidget {
    Q_OBJECT
public:
    // Object name of the child widget the movie is drawn into; input filters find it by this.
    static constexpr const char* kViewObjectName = "ATL:MovieView";

    explicit MoviePlayer(QWidget* parent = nullptr);
    ~MoviePlayer() override;

    // Replaces the current movie with the file at `path` and starts it from its first frame.
    // The whole file has been read when this returns, so the caller may delete it at once.
    // A path that names no movie (a folder, a missing or damaged file) drops the current movie:
    // the player then shows its background and plays nothing.
    void setMovie(const QString& path);
    QString movie() const { return m_movie; }

    // Moves to a frame, counted from 0 as the host control counts it.
    void setFrameNum(int frame);
    int frameNum() const;
    void play();
    bool isPlaying() const;

    // Colour in the &H00BBGGRR form (low byte red).
    void setBackgroundColor(int bgr);
    // Whether the player offers its own context menu on a right click.
    void setMenu(bool enabled);
    bool menu() const { return m_menu; }

    swf::MovieView* view() const { return m_view; }

signals:
    void FSCommand(const QString& command, const QString& args);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    swf::MovieView* m_view;
    QString m_movie;
    bool m_menu = true;
};

} // namespace platform
