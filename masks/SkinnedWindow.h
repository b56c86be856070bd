#pragma once
// The player's skinned face: a borderless window shaped by its mask's background, with the mask's controls
// placed over it. It holds no playback logic; what the user does is announced through the face's signals and
// the requests below, and the application forwards them to the player.
#include "masks/MaskFile.h"

#include <QWidget>

class MaskLoaderWindow;
class QLabel;
class SkinnedFace;
class TFormShaper;
class TKTop;

class SkinnedWindow : public QWidget
{
    Q_OBJECT

public:
    // Playlist entries dragged from the player's own list carry this type.
    static const QString PlaylistEntriesMimeType;

    explicit SkinnedWindow(QWidget *parent = nullptr);
    ~SkinnedWindow() override;

    // Loads a mask file: background and shape, controls, author line. A file that does not exist changes
    // nothing (false). The window is hidden while it loads; the owner shows it again.
    // Puts the mask loader on screen before a mask is loaded, while the rest of the program is built.
    void showLoader();
    // A mask whose background exists but cannot be read whole (cut short, damaged), or that has none when
    // no mask was shown yet, gives way to the fallback mask, with pictureRefused saying why. A "Shape" that
    // holds polygons gives the window their outline; one that cannot be read leaves the outline cut from
    // the background colour, with pictureRefused saying why.
    bool LoadMask(const QString &fileName);
    void setFallbackMask(const QString &fileName) { m_fallback = fileName; }
    const MaskFile &mask() const { return m_mask; }
    QString maskPath() const { return m_mask.path; }

    SkinnedFace *face() const { return m_face; }
    TFormShaper *shaper() const { return m_shaper; }
    QLabel *BackImage() const { return m_backImage; }
    MaskLoaderWindow *loader() const { return m_loader; }

    // Stay on top: "T" on, ".." off.
    void OnTopClick();
    void setOnTopCaption(const QString &caption);
    QString onTopCaption() const;
    bool staysOnTop() const;

    // Back to the strip (a double click on the background).
    void BackImageDblClick();
    // Flies off the screen, then asks the application to close the player.
    void ExitBtnClick();
    // Milliseconds between the moves of a fly-off (0: no animation, for tests).
    void setFlyOffDelay(int ms);

signals:
    // The best colours of the loaded mask, for the preferences' colour pickers.
    void bestColorsLoaded(int32_t color1, int32_t color2);
    // A picture of the loaded mask was left out (the mask loaded without it); the message names its file.
    void pictureRefused(const QString &message);
    void backToStripRequested();
    void closeRequested();
    // Files dropped from outside, in order; the last decides what happens.
    void filesDropped(const QStringList &files);
    // An entry of the player's own playlist dropped on the background.
    void playlistEntryDropped();
    // Shift went down in this window (the position slider then seeks at once).
    void shiftPressed();
    // Keys other than Shift, for the player's shortcuts.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    // Stay on top changed; the main window then keeps itself on top too.
    void onTopChanged(bool on);
    // A right click on the background: the player's menu, at this place on the screen.
    void menuRequested(const QPoint &globalPos);
    // Back on screen from the task bar (it was minimised), however the user brought it back.
    void restored();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void applyOnTop();
    // The mask's polygon outline, or none: the background colour's.
    void applyShape(const MaskFile &mask, const QSize &size);
    bool acceptsDrop(const QDropEvent *event) const;

    TFormShaper *m_shaper;
    QLabel *m_backImage;
    SkinnedFace *m_face;
    MaskLoaderWindow *m_loader;
    TKTop *m_kTop;
    MaskFile m_mask;
    bool m_flying = false;
    bool m_closeAllowed = false;
    int m_flyDelay = 3;
    bool isBackground(const QPoint &pos) const;

    QString m_fallback;
    bool m_wasMinimized = false;
};
