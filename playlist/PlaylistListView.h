#pragma once
// The playlist window's list: a view over PlaylistModel sharing the model's selection, with the three visible
// columns of an entry line (number, display name, duration; the path stays hidden), a fixed item height and
// the name column's alignment. Dragging an entry with the left button moves it to the row it is dropped on;
// dragged out of the window, the selected entries go as a drag of their own type (with their files' URLs, for
// other programs), which the player's faces take as "play these". Files dragged in from a file manager are
// handed on by name.
#include <QPersistentModelIndex>
#include <QPoint>
#include <QTreeView>

#include <functional>
#include <vector>

class PlaylistModel;

class PlaylistListView : public QTreeView
{
    Q_OBJECT

public:
    explicit PlaylistListView(PlaylistModel *model, QWidget *parent = nullptr);

    PlaylistModel *playlist() const { return m_model; }

    // Height of every row in pixels.
    void setItemHeight(int height);
    int itemHeight() const { return m_itemHeight; }
    // Alignment of the display name column.
    void setNameAlignment(Qt::Alignment alignment);
    Qt::Alignment nameAlignment() const { return m_nameAlignment; }

    // Local file names of a drag's data, in the order given.
    static QStringList droppedNames(const QMimeData *data);

    // The type of a drag of the player's own playlist entries (their row numbers, comma-separated).
    static const QString EntriesMimeType;
    static bool isEntryDrag(const QMimeData *data);

    // Shows only the given rows (in list order) and hides the rest, whose selection is dropped; the list
    // itself stays as it is. A hidden row cannot be selected while the rows are narrowed.
    void showOnlyRows(const QList<int> &rows);
    void showAllRows();
    bool narrowed() const { return m_narrowed; }
    // Starts a drag of the data, and waits for its end (QDrag by default; tests watch it instead).
    using DragStarter = std::function<void(QMimeData *data)>;
    void setDragStarter(DragStarter starter) { m_startDrag = std::move(starter); }

signals:
    // An entry was dragged from row `from` (where it is at the release) and released on row `to`.
    void entryMoved(int from, int to);
    // An entry drag ended outside the list, at a global position.
    void entryDroppedOutside(const QPoint &globalPos);
    // A click, or a key that moved the focus or changed the selection.
    void entryClicked();
    void insertPressed();
    void deletePressed();
    // Q: queue the selected entries, or take queued ones out.
    void queuePressed();
    // J: find an entry as you type.
    void findPressed();
    // Ctrl+F: the filter field.
    void filterPressed();
    void filesDropped(const QStringList &names);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    class Delegate;
    int rowAtViewport(const QPoint &pos) const;
    void dragOutOfTheWindow();
    void dropHiddenSelection(const QItemSelection &selected);

    PlaylistModel *m_model;
    Delegate *m_delegate;
    int m_itemHeight = 14;
    Qt::Alignment m_nameAlignment = Qt::AlignLeft;
    // Entry drag: the entry pressed (followed while the list changes under the drag), where, and whether
    // the move threshold was passed.
    bool m_entryPressed = false;
    QPersistentModelIndex m_dragEntry;
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dropRow = -1;
    DragStarter m_startDrag;
    bool m_narrowed = false;
    // Which rows are hidden, as the view was last told; asking the view costs a lookup per row. Forgotten
    // when rows come, go or move.
    std::vector<char> m_hidden;
    bool rowHidden(int row);
    void knowHiddenRows();
};
