#include "playlist/PlaylistFilterBar.h"

#include "playlist/PlaylistFinder.h"
#include "playlist/PlaylistListView.h"
#include "playlist/PlaylistModel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

PlaylistFilterBar::PlaylistFilterBar(PlaylistModel *model, PlaylistListView *view, QWidget *parent)
    : QWidget(parent), m_model(model), m_view(view), m_finder(new PlaylistFinder(model, this))
{
    auto *caption = new QLabel(QStringLiteral("Filter:"), this);
    caption->setGeometry(4, 0, 36, Height);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setClearButtonEnabled(true);
    FilterEdit->installEventFilter(this);
    CountLabel = new QLabel(this);
    CountLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(FilterEdit, &QLineEdit::textChanged, this, &PlaylistFilterBar::apply);

    m_again.setSingleShot(true);
    m_again.setInterval(0);
    connect(&m_again, &QTimer::timeout, this, &PlaylistFilterBar::apply);
    const auto again = [this] {
        if (m_shown >= 0)
            m_again.start();
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, again);
    connect(model, &QAbstractItemModel::rowsRemoved, this, again);
    connect(model, &QAbstractItemModel::rowsMoved, this, again);
    connect(model, &QAbstractItemModel::modelReset, this, again);
    connect(model, &QAbstractItemModel::layoutChanged, this, again);
    connect(model, &QAbstractItemModel::dataChanged, this, again);
    hide();
}

void PlaylistFilterBar::open()
{
    const bool wasHidden = isHidden();
    // The list is folded now, so the first keystroke answers as fast as the others.
    if (wasHidden)
        m_finder->find(QString());
    show();
    raise();
    FilterEdit->setFocus();
    FilterEdit->selectAll();
    if (wasHidden)
        emit openChanged(true);
}

void PlaylistFilterBar::dismiss()
{
    FilterEdit->clear();
    if (isHidden())
        return;
    hide();
    m_view->setFocus();
    emit openChanged(false);
}

void PlaylistFilterBar::setText(const QString &text)
{
    FilterEdit->setText(text);
}

QString PlaylistFilterBar::text() const
{
    return FilterEdit->text();
}

void PlaylistFilterBar::apply()
{
    m_again.stop();
    const QString text = FilterEdit->text();
    if (text.trimmed().isEmpty()) {
        m_shown = -1;
        CountLabel->clear();
        m_view->showAllRows();
        return;
    }
    const QList<int> rows = m_finder->find(text);
    m_shown = int(rows.size());
    m_view->showOnlyRows(rows);
    CountLabel->setText(QStringLiteral("%1 of %2").arg(m_shown).arg(m_model->count()));
}

bool PlaylistFilterBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FilterEdit && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            dismiss();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // On into the narrowed list, where Enter and a double click play as always.
            m_view->setFocus();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PlaylistFilterBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int countWidth = 110;
    FilterEdit->setGeometry(42, 1, std::max(40, width() - 42 - countWidth - 8), Height - 2);
    CountLabel->setGeometry(width() - countWidth - 4, 0, countWidth, Height);
}
