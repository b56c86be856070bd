#include "playlist/PlaylistListView.h"
#include "platform/FileName.h"

#include "playlist/PlaylistModel.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QUrl>

class PlaylistListView::Delegate : public QStyledItemDelegate
{
public:
    explicit Delegate(PlaylistListView *view) : QStyledItemDelegate(view), m_view(view) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_view->itemHeight());
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == PlaylistModel::NameColumn)
            option->displayAlignment = m_view->nameAlignment() | Qt::AlignVCenter;
    }

private:
    PlaylistListView *m_view;
};

PlaylistListView::PlaylistListView(PlaylistModel *model, QWidget *parent)
    : QTreeView(parent), m_model(model), m_delegate(new Delegate(this))
{
    setModel(model);
    // The model's own selection is the one every playlist rule works on.
    QItemSelectionModel *own = selectionModel();
    setSelectionModel(model->selectionModel());
    if (own != model->selectionModel())
        delete own;
    setItemDelegate(m_delegate);
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setColumnHidden(PlaylistModel::PathColumn, true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    connect(this, &QAbstractItemView::clicked, this, &PlaylistListView::entryClicked);
    const auto forget = [this] { m_hidden.clear(); };
    connect(model, &QAbstractItemModel::rowsInserted, this, forget);
    connect(model, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(model, &QAbstractItemModel::rowsMoved, this, forget);
    connect(model, &QAbstractItemModel::modelReset, this, forget);
    connect(model, &QAbstractItemModel::layoutChanged, this, forget);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected) { dropHiddenSelection(selected); });
}

void PlaylistListView::knowHiddenRows()
{
    const int n = m_model->count();
    if (int(m_hidden.size()) == n)
        return;
    m_hidden.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        m_hidden[size_t(i)] = isRowHidden(i, QModelIndex());
}

bool PlaylistListView::rowHidden(int row)
{
    knowHiddenRows();
    return row >= 0 && row < int(m_hidden.size()) && m_hidden[size_t(row)];
}

void PlaylistListView::showOnlyRows(const QList<int> &rows)
{
    const int n = m_model->count();
    std::vector<char> hide(size_t(n), 1);
    for (const int row : rows)
        if (row >= 0 && row < n)
            hide[size_t(row)] = 0;
    knowHiddenRows();
    m_narrowed = true;
    for (int i = 0; i < n; ++i) {
        if (m_hidden[size_t(i)] != hide[size_t(i)])
            setRowHidden(i, QModelIndex(), hide[size_t(i)]);
    }
    m_hidden = std::move(hide);
    dropHiddenSelection(selectionModel()->selection());
    // The focus stays on a row the user can see.
    const QModelIndex current = currentIndex();
    if ((!current.isValid() || rowHidden(current.row())) && !rows.isEmpty())
        selectionModel()->setCurrentIndex(m_model->index(rows.first(), 0), QItemSelectionModel::NoUpdate);
}

void PlaylistListView::showAllRows()
{
    if (!m_narrowed)
        return;
    knowHiddenRows();
    m_narrowed = false;
    for (int i = 0; i < int(m_hidden.size()); ++i)
        if (m_hidden[size_t(i)])
            setRowHidden(i, QModelIndex(), false);
    m_hidden.assign(m_hidden.size(), 0);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void PlaylistListView::dropHiddenSelection(const QItemSelection &selected)
{
    // A range selected with Shift, Select All or Invert Selection must not reach entries the user cannot
    // see: a Remove or a file command would act on them unseen.
    if (!m_narrowed)
        return;
    QItemSelection hidden;
    for (const QItemSelectionRange &range : selected) {
        int start = -1;
        for (int row = range.top(); row <= range.bottom() + 1; ++row) {
            const bool isHidden = row <= range.bottom() && rowHidden(row);
            if (isHidden && start < 0)
                start = row;
            if (!isHidden && start >= 0) {
                hidden.select(m_model->index(start, 0), m_model->index(row - 1, m_model->columnCount() - 1));
                start = -1;
            }
        }
    }
    if (!hidden.isEmpty())
        selectionModel()->select(hidden, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void PlaylistListView::setItemHeight(int height)
{
    m_itemHeight = std::max(1, height);
    doItemsLayout();
}

void PlaylistListView::setNameAlignment(Qt::Alignment alignment)
{
    m_nameAlignment = alignment & Qt::AlignHorizontal_Mask;
    viewport()->update();
}

int PlaylistListView::rowAtViewport(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

void PlaylistListView::mousePressEvent(QMouseEvent *event)
{
    m_entryPressed = false;
    m_dragEntry = QPersistentModelIndex();
    m_dragging = false;
    m_dropRow = -1;
    if (event->button() == Qt::LeftButton &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        const QModelIndex pressed = indexAt(event->position().toPoint());
        if (pressed.isValid()) {
            m_entryPressed = true;
            m_dragEntry = m_model->index(pressed.row(), 0);
        }
        m_pressPos = event->position().toPoint();
    }
    QTreeView::mousePressEvent(event);
}

void PlaylistListView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_entryPressed || !(event->buttons() & Qt::LeftButton)) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    // A pressed entry follows the mouse instead of the selection growing with it.
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        viewport()->setCursor(Qt::DragMoveCursor);
    }
    // Out of the window the entries go as a drag of their own: onto the skin, the strip, another program.
    if (m_dragging && !window()->rect().contains(viewport()->mapTo(window(), pos))) {
        dragOutOfTheWindow();
        return;
    }
    if (m_dragging) {
        const int row = viewport()->rect().contains(pos) ? rowAtViewport(pos) : -1;
        if (row != m_dropRow) {
            m_dropRow = row;
            viewport()->update();
        }
    }
}

void PlaylistListView::mouseReleaseEvent(QMouseEvent *event)
{
    const bool dragged = m_dragging && event->button() == Qt::LeftButton;
    // Where the pressed entry is now: songs may have been added, removed or moved during the drag. An entry
    // that left the list meanwhile moves nothing and plays nothing.
    const int from = m_dragEntry.isValid() ? m_dragEntry.row() : -1;
    const QPoint pos = event->position().toPoint();
    m_entryPressed = false;
    m_dragEntry = QPersistentModelIndex();
    m_dragging = false;
    m_dropRow = -1;
    if (dragged) {
        viewport()->unsetCursor();
        viewport()->update();
    }
    QTreeView::mouseReleaseEvent(event);
    if (!dragged || from < 0)
        return;
    if (viewport()->rect().contains(pos)) {
        const int to = rowAtViewport(pos);
        if (to >= 0 && to != from)
            emit entryMoved(from, to);
    } else {
        emit entryDroppedOutside(viewport()->mapToGlobal(pos));
    }
}

const QString PlaylistListView::EntriesMimeType = QStringLiteral("application/x-vorlan-playlist-entries");

bool PlaylistListView::isEntryDrag(const QMimeData *data)
{
    return data && data->hasFormat(EntriesMimeType);
}

void PlaylistListView::dragOutOfTheWindow()
{
    // The pressed entry is the focused one, as a double click would play it; the selection travels with it.
    QList<int> rows = m_model->selectedEntries();
    const int pressed = m_dragEntry.isValid() ? m_dragEntry.row() : -1;
    if (pressed >= 0 && !rows.contains(pressed))
        rows = {pressed};
    m_entryPressed = false;
    m_dragEntry = QPersistentModelIndex();
    m_dragging = false;
    m_dropRow = -1;
    viewport()->unsetCursor();
    viewport()->update();
    if (rows.isEmpty())
        return;
    auto *data = new QMimeData;
    QStringList numbers;
    QList<QUrl> urls;
    for (const int row : std::as_const(rows)) {
        numbers << QString::number(row);
        const QString path = m_model->entryPath(row);
        if (PlaylistModel::IsStreamUrl(path))
            urls << QUrl(path);
        else if (!path.isEmpty())
            urls << QUrl::fromLocalFile(path);
    }
    data->setData(EntriesMimeType, numbers.join(QLatin1Char(',')).toLatin1());
    data->setUrls(urls);
    if (m_startDrag) {
        m_startDrag(data);
        delete data;
        return;
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

void PlaylistListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void PlaylistListView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat()) {
        QTreeView::keyReleaseEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Insert:
        emit insertPressed();
        return;
    case Qt::Key_Delete:
        emit deletePressed();
        return;
    case Qt::Key_F:
        if ((event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::AltModifier)) {
            emit filterPressed();
            return;
        }
        break;
    case Qt::Key_Q:
    case Qt::Key_J:
        if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (event->key() == Qt::Key_Q)
                emit queuePressed();
            else
                emit findPressed();
            return;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Space:
    case Qt::Key_A:
        // Moving through the list with keys counts as clicking the entry reached.
        if (event->key() != Qt::Key_A || (event->modifiers() & Qt::ControlModifier))
            emit entryClicked();
        break;
    default:
        break;
    }
    QTreeView::keyReleaseEvent(event);
}

QStringList PlaylistListView::droppedNames(const QMimeData *data)
{
    QStringList names;
    if (!data || !data->hasUrls())
        return names;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            names << FileName::fromLocalUrl(url);
    }
    return names;
}

void PlaylistListView::dragEnterEvent(QDragEnterEvent *event)
{
    // The list's own entries brought back are no files to add again.
    if (!isEntryDrag(event->mimeData()) && !droppedNames(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PlaylistListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!isEntryDrag(event->mimeData()) && !droppedNames(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PlaylistListView::dropEvent(QDropEvent *event)
{
    const QStringList names =
        isEntryDrag(event->mimeData()) ? QStringList() : droppedNames(event->mimeData());
    if (names.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(names);
}

void PlaylistListView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    const int dragRow = m_dragEntry.isValid() ? m_dragEntry.row() : -1;
    if (!m_dragging || dragRow < 0 || m_dropRow < 0 || m_dropRow == dragRow)
        return;
    // Where the entry will land: above the row when it moves up, below it when it moves down.
    const QRect row = visualRect(m_model->index(m_dropRow, 0));
    const int y = m_dropRow > dragRow ? row.bottom() : row.top();
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Text), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}
