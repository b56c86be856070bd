#include "playlist/FindWindow.h"

#include "playlist/PlaylistFinder.h"
#include "playlist/PlaylistModel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

FindWindow::FindWindow(PlaylistModel *model, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_model(model), m_finder(new PlaylistFinder(model, this))
{
    setWindowTitle(QStringLiteral("Find in the playlist"));
    auto *layout = new QVBoxLayout(this);
    SearchEdit = new QLineEdit(this);
    SearchEdit->setPlaceholderText(QStringLiteral("Type words of a name or path"));
    Results = new QListWidget(this);
    Results->setUniformItemSizes(true);
    layout->addWidget(SearchEdit);
    layout->addWidget(Results);
    resize(420, 320);
    SearchEdit->installEventFilter(this);
    connect(SearchEdit, &QLineEdit::textChanged, this, &FindWindow::search);
    connect(Results, &QListWidget::itemActivated, this, &FindWindow::choose);
}

void FindWindow::open()
{
    SearchEdit->clear();
    search(QString());
    show();
    raise();
    activateWindow();
    SearchEdit->setFocus();
}

void FindWindow::search(const QString &text)
{
    m_rows = m_finder->find(text);
    Results->clear();
    const int shown = int(std::min<qsizetype>(m_rows.size(), ShownResults));
    for (int i = 0; i < shown; ++i) {
        const PlaylistEntry &e = m_model->entry(m_rows.at(i));
        Results->addItem(e.numberText() + QStringLiteral(". ") + e.name);
    }
    if (m_rows.size() > shown)
        Results->addItem(QStringLiteral("... and %1 more").arg(m_rows.size() - shown));
    if (shown > 0)
        Results->setCurrentRow(0);
}

void FindWindow::choose()
{
    const int at = Results->currentRow();
    if (at < 0 || at >= m_rows.size() || at >= ShownResults)
        return;
    const int row = m_rows.at(at);
    close();
    emit entryChosen(row);
}

bool FindWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The search field keeps the keys: Up and Down move in the results, Enter chooses, Escape closes.
    if (watched == SearchEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int count = int(std::min<qsizetype>(m_rows.size(), ShownResults));
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (count > 0)
                Results->setCurrentRow(
                    std::clamp(Results->currentRow() + (key->key() == Qt::Key_Down ? 1 : -1), 0, count - 1));
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose();
            return true;
        case Qt::Key_Escape:
            close();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
