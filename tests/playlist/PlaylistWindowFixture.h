#pragma once
// A playlist window over its own model, shown, with its dialogs answered by the test; and the mouse and
// drop events a window system would send it.
#include "playlist/PlaylistListView.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"
#include "playlist/UrlInputWindow.h"
#include "tests/TestMain.h"
#include "tests/playlist/MpegTestFiles.h"
#include "widgets/FlatButton.h"
#include "widgets/ReportListView.h"
#include "widgets/TFountainFill.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

namespace playlistwindowtest
{

// A window over its own model, shown, with dialogs answered by the test.
struct Fixture {
    PlaylistModel model;
    std::unique_ptr<PlaylistWindow> window;
    QStringList warnings;
    QStringList informations;
    QString folderAnswer;
    QStringList folderQuestions;
    QString fileAnswer;
    QString filterAnswer;
    QStringList overwriteQuestions;
    FileOperations::Answer overwriteAnswer = FileOperations::Answer::No;
    // Yes/No questions asked, as "title|text", and the answer given.
    QStringList confirmQuestions;
    bool confirmAnswer = true;
    // Runs while an overwrite question is open, as other events would.
    std::function<void()> whileAsked;

    Fixture()
    {
        window = std::make_unique<PlaylistWindow>(&model);
        PlaylistWindow::Prompts prompts;
        prompts.warning = [this](const QString &text) { warnings << text; };
        prompts.information = [this](const QString &text) { informations << text; };
        prompts.chooseFolder = [this](const QString &title, const QString &dir) {
            folderQuestions << title + "|" + dir;
            return folderAnswer;
        };
        prompts.openFile = [this](const QString &, const QString &, const QString &) { return fileAnswer; };
        prompts.saveFile = [this](const QString &, const QString &, QString *selected) {
            *selected = filterAnswer;
            return fileAnswer;
        };
        prompts.overwrite = [this](const QString &, const QString &target) {
            overwriteQuestions << target;
            if (whileAsked)
                whileAsked();
            return overwriteAnswer;
        };
        prompts.confirm = [this](const QString &title, const QString &text) {
            confirmQuestions << title + "|" + text;
            return confirmAnswer;
        };
        window->setPrompts(prompts);
        window->setCloseAnimation(3, 30, 0);
        window->move(100, 100);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    PlaylistListView *list() const { return window->FnpListBox1; }

    QPoint rowCenter(int row) const { return list()->visualRect(model.index(row, 1)).center(); }

    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, rowCenter(row));
    }

    QStringList names() const
    {
        QStringList out;
        for (int i = 0; i < model.count(); ++i)
            out << model.entry(i).name;
        return out;
    }

    bool numbered() const
    {
        for (int i = 0; i < model.count(); ++i) {
            if (model.entry(i).numberText() != QString::number(i + 1))
                return false;
        }
        return true;
    }
};

// Songs without tags, named after their files; durations in seconds.
inline QStringList makeSongs(const QString &dir, const QList<QPair<QString, int>> &songs)
{
    QStringList paths;
    for (const auto &[name, seconds] : songs) {
        paths << dir + "/" + name + ".mp3";
        playlisttest::writeMpeg(paths.last(), seconds);
    }
    return paths;
}

inline void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A drag from a file manager entering the widget and dropped there.
inline bool dropOn(QWidget *widget, const QMimeData &data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

inline bool dropOn(QWidget *widget, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    return dropOn(widget, data);
}

inline QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace playlistwindowtest
