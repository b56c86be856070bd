#pragma once
// The find window: each keystroke narrows the playlist to the entries whose name or path holds every typed
// word; Up and Down move among them, Enter chooses one (the player plays it, as a double click would) and
// closes the window, Escape closes it.
#include <QWidget>

class PlaylistFinder;
class PlaylistModel;
class QLineEdit;
class QListWidget;

class FindWindow : public QWidget
{
    Q_OBJECT

public:
    // At most this many results are listed; the count of the rest is said.
    static constexpr int ShownResults = 500;

    explicit FindWindow(PlaylistModel *model, QWidget *parent = nullptr);

    // Shows the window with an empty search, ready for typing.
    void open();
    // The rows now listed, in order.
    QList<int> results() const { return m_rows; }

    QLineEdit *SearchEdit = nullptr;
    QListWidget *Results = nullptr;

signals:
    // The user chose this entry of the list.
    void entryChosen(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);
    void choose();

    PlaylistModel *m_model;
    PlaylistFinder *m_finder;
    QList<int> m_rows;
};
