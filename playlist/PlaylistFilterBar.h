#pragma once
// The playlist window's filter field: while it holds words, the list shows only the entries whose name or
// path holds every one of them (matched as the find window matches), and the list itself, its numbers and
// its saved order stay as they are. Escape, or an emptied field, shows every entry again. The bar is hidden
// until Ctrl+F or the popup menu opens it, so the window looks as always while no filter is in use.
#include <QTimer>
#include <QWidget>

class PlaylistFinder;
class PlaylistListView;
class PlaylistModel;
class QLabel;
class QLineEdit;

class PlaylistFilterBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 20;

    PlaylistFilterBar(PlaylistModel *model, PlaylistListView *view, QWidget *parent = nullptr);

    // Shows the bar with the caret in the field.
    void open();
    // Empties the field, shows every entry and hides the bar.
    void dismiss();
    void setText(const QString &text);
    QString text() const;
    // The entries shown now, or -1 while nothing is filtered.
    int shownCount() const { return m_shown; }

    QLineEdit *FilterEdit = nullptr;
    QLabel *CountLabel = nullptr;

signals:
    // Opened or dismissed: the window lays its controls out again.
    void openChanged(bool open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void apply();

    PlaylistModel *m_model;
    PlaylistListView *m_view;
    PlaylistFinder *m_finder;
    // The list changed under a filter: match again once the change is complete.
    QTimer m_again;
    int m_shown = -1;
};
