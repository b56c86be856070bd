#pragma once
// The add-files window: a folder tree and the audio files of the chosen folder. "ADD" appends the selected
// files to the playlist, or, with none selected, every audio file of the folder and its sub-folders (walked
// on a worker thread, see PlaylistTreeAdder). The selected files can also be moved to the trash. Borderless,
// dragged by its background, closed with "X".
#include "platform/FileOperations.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class FlatButton;
class PlaylistModel;
class PlaylistTreeAdder;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QTreeView;
class TFountainFill;

class AddFilesWindow : public QWidget
{
    Q_OBJECT

public:
    // Asked before files go to the trash (true for Yes), and told what could not be moved.
    using Prompt = std::function<bool(QWidget *parent, const QString &title, const QString &text)>;
    using Notice = std::function<void(QWidget *parent, const QString &title, const QString &text)>;
    // Moves files to the trash (FileOperations::trashFiles unless replaced).
    using Trash = std::function<FileOperations::Result(const QStringList &paths)>;

    static const QString DeleteTitle; // "Vorlan  * Delete Files *"
    // The question asked before files go to the trash (here and by the playlist's "Delete selection of HD.").
    static QString trashQuestion(const QStringList &paths);
    // The file list's mask: "*.MP2;*.MP3" and the other formats ("*.FLAC", "*.OGG", ...), any case.
    static const QStringList FileMask;

    explicit AddFilesWindow(PlaylistModel *playlist = nullptr, QWidget *parent = nullptr);
    ~AddFilesWindow() override;

    void setPlaylist(PlaylistModel *playlist);

    // The folder whose files are listed ("Path4" of the settings). setPath4 changes it only when the folder
    // exists; setCurrentFolder says whether it did.
    QString Path4() const { return m_folder; }
    void setPath4(const QString &folder) { setCurrentFolder(folder); }
    bool setCurrentFolder(const QString &folder);

    // The full path of a file of the current folder.
    QString fullPath(const QString &name) const;
    // Names of the listed files, in list order.
    QStringList listedFiles() const;

    // The gradient of the background; the default is the player's two colours.
    void setColors(const QColor &from, const QColor &to);
    void setDeletePrompt(Prompt prompt) { m_prompt = std::move(prompt); }
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    void setTrash(Trash trash) { m_trash = std::move(trash); }

    // The colours of "ADD": yellow when it can be used, gray while a folder tree is being added.
    static QColor readyColor() { return QColor(255, 255, 0); }
    static QColor busyColor() { return QColor(128, 128, 128); }

    PlaylistTreeAdder *treeAdder() const { return m_adder; }

    // The controls, by their names, for the application and tests.
    QComboBox *DriveComboBox1 = nullptr;
    QTreeView *DirectoryListBox1 = nullptr;
    QListWidget *FileListBox1 = nullptr;
    FlatButton *ADDBtn = nullptr;
    FlatButton *Remove = nullptr;
    FlatButton *ExitBtn = nullptr;
    QLabel *FilesNum = nullptr;
    QLabel *FileNameLabel = nullptr;
    QLabel *Heading = nullptr;

public slots:
    // The playlist's "Add": shows the window and lists the current folder again.
    void showAndRefresh();
    // Lists the current folder's files again.
    void refreshFiles();
    // "ADD", a double click on a file and Insert: the selected files in list order; with none selected the
    // whole tree below the current folder.
    void ADDBtnClick();
    // "Delete file(s) from your disk" and Delete: the selected files to the trash, after a confirmation.
    void RemoveClick();

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void IteratorActivate();
    void IteratorAddFile(int count, const QString &lastPath);
    void IteratorTerminate();
    void showCount(int count, const QString &name);
    void setAddReady(bool ready);
    void fillPlaces();
    void buildFolders();
    void showFolderInTree();

    PlaylistModel *m_playlist = nullptr;
    PlaylistTreeAdder *m_adder = nullptr;
    QFileSystemModel *m_folders = nullptr; // made when the window is first shown
    bool m_filesStale = false;
    TFountainFill *m_background = nullptr;
    QString m_folder;
    // Since the folder was last set from outside the tree.
    QElapsedTimer m_revealClock;
    // Files added by the current "ADD"; 0 between adds.
    int m_added = 0;
    Prompt m_prompt;
    Notice m_notice;
    Trash m_trash;
};
