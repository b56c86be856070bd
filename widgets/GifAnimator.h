#pragma once
// The skin's animated picture: a GIF scaled to the widget. Stopped, it keeps showing the frame it is on.
// Whether it animates is kept apart from the picture, so it may be switched on before a picture is loaded.
//
// Frames of about a tenth of a second or more go by on a coarse 100 ms beat, the beat the meters and the
// title keep too, so the window is painted once for all of them instead of once for each; which frame shows
// is worked out from the time gone by, so the animation keeps its speed. Quicker frames keep their own times.
// A frame without see-through pixels hides all beneath it, so what lies beneath is not painted again for it.
#include <QBuffer>
#include <QElapsedTimer>
#include <QMovie>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class GifAnimator : public QWidget
{
    Q_OBJECT

public:
    // Larger files are not animations a skin would carry.
    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

    explicit GifAnimator(QWidget *parent = nullptr);
    ~GifAnimator() override;

    // A file or a ":/" resource. False (and nothing shown) when it cannot be read as an animation, or when
    // its frames would take more memory than a skin's animation may (refusal() then says so).
    bool setFile(const QString &path);
    // Why the last setFile refused a picture that is an animation; empty otherwise.
    QString refusal() const { return m_refusal; }
    void clear();
    bool hasPicture() const { return m_movie != nullptr; }
    QString fileName() const { return m_fileName; }

    void setAnimating(bool on);
    bool isAnimating() const { return m_animating; }
    // Drawn at the picture's own proportions, centred, rather than stretched to the widget (a preview).
    void setKeepAspect(bool keep)
    {
        m_keepAspect = keep;
        setAttribute(Qt::WA_OpaquePaintEvent, false);
        update();
    }
    // Whether its window is minimised: a picture nobody sees waits on its frame. (A hidden one waits too.)
    void setOutOfSight(bool out);
    // Whether frames go by now: asked to animate, and seen.
    bool isRunning() const { return m_movie && m_running; }
    // -1 without a picture.
    int currentFrameNumber() const;
    int frameCount() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void applyAnimating();
    void startFrames();
    void stopFrames();
    void frameTick();
    int frameDelay() const;
    void frameShown();

    std::unique_ptr<QMovie> m_movie;
    QByteArray m_data;
    QBuffer m_buffer;
    QString m_fileName;
    QString m_refusal;
    bool m_animating = false;
    bool m_keepAspect = false;
    bool m_hidden = false;
    bool m_outOfSight = false;
    bool m_running = false;
    QTimer m_frameTimer;
    QElapsedTimer m_clock;
    qint64 m_due = 0;                       // ms until the next frame is due
    int m_loops = 0;                        // times round the whole animation
    std::vector<signed char> m_frameOpaque; // per frame: 1 opaque, 0 not, -1 not looked at yet
};
