#pragma once
// The playlist window: a borderless frame with a title strip, the list of entries, and a bottom panel with
// the counters and the commands. It is a view over PlaylistModel: every rule of the list lives in the model,
// and what belongs to other windows (playing, adding files, the tag editor, docking preferences) leaves as a
// signal for the app to wire. Dialogs and message boxes go through replaceable prompts so tests can answer
// them.
#include "platform/FileOperations.h"

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QPrinter;
class FlatButton;
class PlaylistFileCommands;
class PlaylistFilterBar;
class PlaylistListView;
class PlaylistModel;
class ReportListView;
class TFountainFill;
class TKTop;
class UrlInputWindow;
class WindowDragger;

class PlaylistWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MinWidth = 320;
    static constexpr int MinHeight = 110;
    static constexpr int TitleHeight = 16;
    static constexpr int BottomHeight = 72;
    static const QString TitleText;      // "   Vorlan PlayList"
    static const QString HtmlTitleText;  // while an HTML file is written
    static const QString PrintTitleText; // while a print job is made
    static const QString NailAutoHide;   // ".."
    static const QString NailPinned;     // "T"
    static const QString FolderDialogTitle;

    enum SelectCommand { SelectAll, InvertSelection, UnselectAll };
    enum FileCommand { CopySelection, MoveSelection, DeleteSelection };

    // Dialogs and message boxes; each may be replaced (tests answer them without a screen).
    struct Prompts {
        // The open dialog: a chosen file name, or empty when cancelled.
        std::function<QString(const QString &title, const QString &dir, const QString &filter)> openFile;
        // The save dialog: a chosen file name (and the filter it was chosen under), or empty.
        std::function<QString(const QString &path, const QString &filter, QString *selectedFilter)> saveFile;
        // The folder dialog: a folder, or empty.
        std::function<QString(const QString &title, const QString &dir)> chooseFolder;
        FileOperations::OverwritePrompt overwrite;
        // A Yes/No question: true for Yes.
        std::function<bool(const QString &title, const QString &text)> confirm;
        std::function<void(const QString &text)> warning;
        std::function<void(const QString &text)> information;
    };

    explicit PlaylistWindow(PlaylistModel *model, QWidget *parent = nullptr);
    ~PlaylistWindow() override;

    PlaylistModel *model() const { return m_model; }

    // --- Settings the app applies at start and by the preferences, and keeps
    // --------------------------------
    void applyColors(const QColor &color1, const QColor &color2);
    // The list's font; rows are size + 6 pixels high; the name column is aligned right (0), centred (1) or
    // left (2).
    void applyFont(const QString &name, int size, int alignment);
    QString listFontName() const;
    int listFontSize() const { return m_fontSize; }
    int alignment() const { return m_alignment; }
    // "Nail2": ".." lets a docked window slide away, "T" pins it.
    QString nailCaption() const;
    void setNailCaption(const QString &caption);
    // "Path2": folder of the last opened list (the open dialog starts there).
    QString path2() const { return m_path2; }
    void setPath2(const QString &dir) { m_path2 = dir; }
    // "Path3": folder of the last saved list. Empty while the save dialog's file name is still "MyPlayList"
    // (nothing saved in this run): the stored value is then left as it is.
    QString path3() const;
    void setPath3(const QString &value);
    QString saveDialogFileName() const { return m_saveFileName; }
    // The add-files window's folder, where the folder dialog of copy and move starts: a fixed one, or asked
    // for each time, as that window's folder changes.
    void setAddFilesDirectory(const QString &dir)
    {
        setAddFilesDirectorySource([dir] { return dir; });
    }
    void setAddFilesDirectorySource(std::function<QString()> source) { m_addFilesDir = std::move(source); }
    // The one URL prompt of the program (shared with the equalizer); one of its own when none is set.
    void setUrlInputWindow(UrlInputWindow *window);
    // The window is asked for when first needed (the player makes its shared one then).
    void setUrlInputProvider(std::function<UrlInputWindow *()> provider)
    {
        m_urlProvider = std::move(provider);
    }
    UrlInputWindow *urlInputWindow();
    void setPrompts(const Prompts &prompts);

    // --- Docking beside the main window -------------------------------------------------------------------
    // Docked: the window takes the main window's height, top 0 of the screen, beside the main window (right
    // of it for a left dock, left of it for a right dock); the pin button shows and HideTimer runs. Not
    // docked: HideTimer stops, the pin hides, and a window slid away at the top comes back.
    void applyDocking(bool docked, bool leftDock, const QRect &mainWindowGeometry, const QRect &screen);
    bool docked() const { return m_docked; }
    bool leftDock() const { return m_leftDock; }
    // Slid away at the top edge: only the bottom 2 pixels on the screen.
    bool hiddenAtTop() const;
    // Where the mouse pointer is (global); QCursor::pos() unless replaced.
    void setCursorSource(std::function<QPoint()> source) { m_cursorSource = std::move(source); }
    QTimer *hideTimer() { return &HideTimer; }
    // One tick of HideTimer: slide away when the pointer is elsewhere.
    void HideTimerTimer();
    // The pointer reached the bottom panel: a slid-away window comes back.
    void bottomPanelHovered();
    // The main window's playlist button on a docked window that is shown: slides it up until 3 pixels stay
    // on the screen (as high as the main window), or back down to the top of the screen.
    void toggleDockedSlide(int mainWindowHeight);

    // --- Close animation -----------------------------------------------------------------------------------
    // steps moves of stepPixels, one every intervalMs (101 x 30 px normally).
    void setCloseAnimation(int steps, int stepPixels, int intervalMs);
    bool closing() const { return m_closeTimer.isActive(); }

    // --- Commands, as the controls and keys run them -------------------------------------------------------
    void LOADClick();
    void SAVEClick();
    void ADDClick();
    void REMOVEClick();
    void CLEARClick();
    void SORTClick();
    void RANDClick();
    void ADDURLClick();
    void EditTagClick();
    void PrintClick();
    void SelectClick(SelectCommand command);
    void CopyselectionClick(FileCommand command);
    void ExitBtnClick();
    void NailBtnClick();
    void FnpListBox1Click();
    void PlaySelected();
    // Files dropped from a file manager: the audio files are added; a list file dropped last replaces them.
    void FormDropFiles(const QStringList &names);
    // An entry dragged from one row to another.
    void FnpListBox1Moved(int from, int to);

    // The work behind the dialogs.
    // By the last three characters of the name: "M3U", "PLS", "VLN"; false for anything else.
    bool loadPlaylistFile(const QString &path);
    // By the extension: ".M3U", ".PLS", ".VLN", ".HTML" / ".HTM"; failures are reported.
    bool savePlaylistFile(const QString &path);
    bool exportHtml(const QString &path);
    // On the given printer, or with nullptr on the default printer (a message when there is none).
    bool printPlaylist(QPrinter *printer = nullptr);
    // Copy or move into folder, or delete to the trash, the selected entries' files; then the entries whose
    // files are gone leave the list.
    FileOperations::Result runFileCommand(FileCommand command, const QString &folder);

    // Column widths from the font size and the list width.
    void layoutColumns();
    QString titleText() const;

    // --- Controls, named as the form has them --------------------------------------------------------------
    TFountainFill *Panel3; // title strip
    QLabel *TitleLabel;
    FlatButton *ExitBtn;
    FlatButton *NailBtn;
    PlaylistListView *FnpListBox1;
    PlaylistFilterBar *FilterBar; // above the list while a filter is in use
    QWidget *Panel2;              // bottom panel
    TFountainFill *FountainFill2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *SongTime;
    FlatButton *LOAD, *SAVE, *ADD, *REMOVE, *CLEAR, *SORT, *RAND, *ADDURL, *EditTag;
    QWidget *M; // the corner square
    // "Print", "Select All", "Invert Selection", "UnSelect All", "Copy selection to HD.",
    // "Move selection to HD.", "Delete selection of HD." (with separators between the groups).
    QMenu *PopupMenu;
    ReportListView *AdvListView = nullptr; // made by fillReport()
    QTimer HideTimer;

public slots:
    // The controller writes a song's length here ("hh:mm:ss"); the next selection change writes the total.
    void setSongTime(const QString &text);

signals:
    // J on the list: the find window.
    void findRequested();
    // Folders were dropped on the list: their trees are to be added.
    void foldersDropped(const QStringList &folders);
    // Double click on an entry: the app lets the controller play the focused entry.
    void playSelectedRequested();
    // "Add" or Insert: show the add-files window.
    void addFilesRequested();
    // A click on an entry: load its path into the tag editor's fields.
    void entryClicked(const QString &path);
    // "Edit ID3": load the focused entry's path (empty when none) and show the tag editor.
    void editTagRequested(const QString &path);
    // Double click on the title strip or the bottom panel: switch docking and apply it again.
    void dockingToggleRequested();
    // The main window should stay on top (the playlist slid away beside it) or not.
    void mainWindowKeepOnTopWanted(bool on);
    // Shown or hidden (the skinned window lights its playlist indicator).
    void visibilityChanged(bool visible);
    void titleTextChanged(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void connectControls();
    void layoutControls();
    void setTitleText(const QString &text);
    void warn(const QString &text);
    void inform(const QString &text);
    void queueSelected();
    void removeDeadFiles();
    void removeDuplicates();
    void showContextMenu(const QPoint &pos);
    void entryDroppedOutside(const QPoint &globalPos);

    // Frame behaviours (PlaylistWindowFrame.cpp).
    void MMouseDown(const QPoint &globalPos);
    void MMouseMove(const QPoint &globalPos);
    void MMouseUp();
    void setControlsVisible(bool visible);
    void closeAnimationStep();
    void defaultPrompts();

    PlaylistModel *m_model;
    QPointer<UrlInputWindow> m_urlWindow;
    std::function<UrlInputWindow *()> m_urlProvider;
    TKTop *m_kTop;
    Prompts m_prompts;
    QColor m_color1, m_color2;
    int m_fontSize = 8;
    int m_numberDigits = 1; // digits of the list's count the number column was last fitted to
    int m_alignment = 2;
    QString m_path2;
    QString m_path3;
    QString m_saveFileName;
    std::function<QString()> m_addFilesDir;
    // The report and the file commands, which show their work in this window (title, prompts, warnings).
    friend class PlaylistFileCommands;
    std::unique_ptr<PlaylistFileCommands> m_commands;

    bool m_docked = false;
    bool m_leftDock = true;
    QRect m_mainGeometry;
    QRect m_screen;
    std::function<QPoint()> m_cursorSource;

    WindowDragger *m_dragger = nullptr;
    bool m_resizing = false;
    QPoint m_resizeOffset;

    QTimer m_closeTimer;
    int m_closeSteps = 101;
    int m_closeStepPixels = 30;
    int m_closeStep = 0;
    QPoint m_closeDelta;
    QPoint m_closeOrigin;
    bool m_restorePending = false;
};
