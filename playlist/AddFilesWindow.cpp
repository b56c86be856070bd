#include "playlist/AddFilesWindow.h"
#include "platform/FileName.h"

#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistTreeAdder.h"
#include "widgets/FlatButton.h"
#include "widgets/TFountainFill.h"
#include "widgets/WindowBackground.h"

#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include <sys/stat.h>

const QString AddFilesWindow::DeleteTitle = QStringLiteral("Vorlan  * Delete Files *");
// The MPEG files as they always were (".MPG" is left to the walk), and every other format the player plays.
const QStringList AddFilesWindow::FileMask = [] {
    QStringList mask = {QStringLiteral("*.MP2"), QStringLiteral("*.MP3")};
    for (const QString &ext : PlaylistModel::AudioExtensions())
        if (!ext.startsWith(QLatin1String("MP")) || ext == QLatin1String("MP4"))
            mask << QStringLiteral("*.") + ext;
    return mask;
}();

namespace
{

constexpr int RevealMilliseconds = 3000;

bool askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

void warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

FileOperations::Result moveToTrash(const QStringList &paths)
{
    return FileOperations().trashFiles(paths);
}

QLabel *caption(const QString &text, QWidget *parent, const char *name = nullptr)
{
    auto *label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QLatin1String(name));
    // Presses on labels reach the background, which drags the window.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

AddFilesWindow::AddFilesWindow(PlaylistModel *playlist, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_playlist(playlist),
      m_adder(new PlaylistTreeAdder(playlist, this)), m_prompt(askYesNo), m_notice(warn), m_trash(moveToTrash)
{
    setObjectName(QStringLiteral("AddFiles"));
    setWindowTitle(QStringLiteral("Vorlan          * ADD FILES OR DIRECTORY *"));

    m_background = WindowBackground::install(this);

    QFont bold = font();
    bold.setBold(true);

    auto *layout = new QGridLayout(m_background);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(4);

    Heading = caption(QStringLiteral("Vorlan...   Add file(s) or directory"), m_background, "Heading");
    Heading->setFont(bold);
    ExitBtn = new FlatButton(QStringLiteral("X"), m_background);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    ExitBtn->setToolTip(QStringLiteral("Close."));
    ExitBtn->setFont(bold);
    ExitBtn->setFixedSize(18, 16);
    connect(ExitBtn, &FlatButton::clicked, this, &QWidget::close);
    auto *top = new QHBoxLayout;
    top->addWidget(Heading, 1);
    top->addWidget(ExitBtn);
    layout->addLayout(top, 0, 0, 1, 2);

    DriveComboBox1 = new QComboBox(m_background);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { setCurrentFolder(DriveComboBox1->itemData(index).toString()); });

    DirectoryListBox1 = new QTreeView(m_background);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

    FileListBox1 = new QListWidget(m_background);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FileListBox1->installEventFilter(this);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, &AddFilesWindow::ADDBtnClick);

    auto *left = new QVBoxLayout;
    left->addWidget(DriveComboBox1);
    left->addWidget(DirectoryListBox1, 1);
    layout->addLayout(left, 1, 0);
    layout->addWidget(FileListBox1, 1, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    auto *counts = new QGridLayout;
    counts->addWidget(caption(QStringLiteral("Number of added files :"), m_background), 0, 0);
    FilesNum = caption(QStringLiteral("0"), m_background, "FilesNum");
    counts->addWidget(FilesNum, 0, 1);
    counts->addWidget(caption(QStringLiteral("Last added file name   :"), m_background), 1, 0);
    FileNameLabel = caption(QString(), m_background, "FileNameLabel");
    FileNameLabel->setMinimumWidth(40);
    counts->addWidget(FileNameLabel, 1, 1);
    counts->setColumnStretch(1, 1);
    layout->addLayout(counts, 2, 0, 1, 2);

    ADDBtn = new FlatButton(QStringLiteral("ADD"), m_background);
    ADDBtn->setObjectName(QStringLiteral("ADDBtn"));
    ADDBtn->setFont(bold);
    ADDBtn->setToolTip(
        QStringLiteral("Add the selected files, or with none selected the whole folder tree."));
    Remove = new FlatButton(QStringLiteral("Delete file(s) from your disk"), m_background);
    Remove->setObjectName(QStringLiteral("Remove"));
    connect(ADDBtn, &FlatButton::clicked, this, &AddFilesWindow::ADDBtnClick);
    connect(Remove, &FlatButton::clicked, this, &AddFilesWindow::RemoveClick);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ADDBtn);
    buttons->addStretch(1);
    buttons->addWidget(Remove);
    layout->addLayout(buttons, 3, 0, 1, 2);

    connect(m_adder, &PlaylistTreeAdder::activated, this, &AddFilesWindow::IteratorActivate);
    connect(m_adder, &PlaylistTreeAdder::filesAdded, this, &AddFilesWindow::IteratorAddFile);
    connect(m_adder, &PlaylistTreeAdder::finished, this, &AddFilesWindow::IteratorTerminate);

    setAddReady(true);
    setColors(WindowBackground::DefaultColor, WindowBackground::DarkEnd);
    resize(520, 380);
    setCurrentFolder(QDir::homePath());
}

void AddFilesWindow::setVisible(bool visible)
{
    // Most sessions never open this window: the places, the folder model with its worker thread and the
    // file icons are looked up only when it is first shown.
    if (visible && !m_folders)
        buildFolders();
    if (visible && m_filesStale)
        refreshFiles();
    QWidget::setVisible(visible);
}

void AddFilesWindow::buildFolders()
{
    fillPlaces();
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setRootPath(QStringLiteral("/"));
    DirectoryListBox1->setModel(m_folders);
    for (int c = 1; c < m_folders->columnCount(); ++c)
        DirectoryListBox1->hideColumn(c);
    // The folders are read and sorted in the background, which moves the rows: for a moment after the folder
    // was set, keep it in view as they arrive.
    auto reveal = [this] {
        if (m_revealClock.isValid() && m_revealClock.elapsed() < RevealMilliseconds)
            DirectoryListBox1->scrollTo(m_folders->index(m_folder), QAbstractItemView::PositionAtCenter);
    };
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, reveal);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, reveal);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    setCurrentFolder(m_folders->filePath(current));
            });
    showFolderInTree();
}

void AddFilesWindow::showFolderInTree()
{
    if (!m_folders)
        return;
    const QModelIndex index = m_folders->index(m_folder);
    if (index.isValid() && DirectoryListBox1->currentIndex() != index) {
        DirectoryListBox1->setCurrentIndex(index);
        DirectoryListBox1->scrollTo(index, QAbstractItemView::PositionAtCenter);
        m_revealClock.start();
    }
}

AddFilesWindow::~AddFilesWindow()
{
    // The walk must not outlive the window: stop it and wait before the controls go.
    delete m_adder;
    m_adder = nullptr;
}

void AddFilesWindow::setPlaylist(PlaylistModel *playlist)
{
    m_playlist = playlist;
    m_adder->setPlaylist(playlist);
}

void AddFilesWindow::setColors(const QColor &from, const QColor &to)
{
    // The gradient starts at the first colour and keeps its own dark end, so the white texts stay readable.
    Q_UNUSED(to);
    WindowBackground::setColor(m_background, from);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    for (QLabel *label : m_background->findChildren<QLabel *>())
        label->setPalette(pal);
    ExitBtn->setTextColor(Qt::white);
    Remove->setTextColor(Qt::white);
}

void AddFilesWindow::fillPlaces()
{
    // Linux has no drive letters: the places a user starts from are the root, the home folder and the
    // mounted volumes.
    DriveComboBox1->clear();
    DriveComboBox1->addItem(QStringLiteral("/"), QStringLiteral("/"));
    DriveComboBox1->addItem(QDir::homePath(), QDir::homePath());
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || root == QLatin1String("/"))
            continue;
        if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/mnt/")) ||
            root.startsWith(QLatin1String("/run/media/")))
            DriveComboBox1->addItem(root, root);
    }
}

namespace
{

bool isRegularFile(const QString &path)
{
    struct stat st;
    return ::stat(FileName::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const QString &path)
{
    struct stat st;
    return ::stat(FileName::encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool AddFilesWindow::setCurrentFolder(const QString &folder)
{
    const QString repaired = FileName::repair(folder);
    if (folder.isEmpty() || !isFolder(repaired))
        return false;
    const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(repaired));
    const bool changed = clean != m_folder;
    m_folder = clean;
    showFolderInTree();
    // Listed when the window is seen (or asked for its list).
    if (changed && m_folders)
        refreshFiles();
    else if (changed)
        m_filesStale = true;
    return true;
}

QString AddFilesWindow::fullPath(const QString &name) const
{
    // The root folder already ends in its slash.
    return m_folder.endsWith(QLatin1Char('/')) ? m_folder + name : m_folder + QLatin1Char('/') + name;
}

QStringList AddFilesWindow::listedFiles() const
{
    if (m_filesStale)
        const_cast<AddFilesWindow *>(this)->refreshFiles();
    QStringList names;
    for (int i = 0; i < FileListBox1->count(); ++i)
        names << FileListBox1->item(i)->text();
    return names;
}

void AddFilesWindow::refreshFiles()
{
    static const QIcon icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    m_filesStale = false;
    FileListBox1->clear();
    // Read by bytes: Qt's listing would turn a name that is not UTF-8 into one that names nothing.
    QStringList names;
    for (const QString &name : FileName::folderEntries(m_folder)) {
        if (QDir::match(FileMask, name) && isRegularFile(fullPath(name)))
            names << name;
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString &name : std::as_const(names))
        new QListWidgetItem(icon, name, FileListBox1);
}

void AddFilesWindow::showAndRefresh()
{
    if (!isFolder(m_folder))
        setCurrentFolder(QDir::homePath());
    refreshFiles();
    show();
    raise();
    activateWindow();
}

void AddFilesWindow::showCount(int count, const QString &name)
{
    FilesNum->setText(QString::number(count));
    FileNameLabel->setText(name);
    FilesNum->repaint();
    FileNameLabel->repaint();
}

void AddFilesWindow::ADDBtnClick()
{
    QList<int> rows;
    for (const QListWidgetItem *item : FileListBox1->selectedItems())
        rows << FileListBox1->row(item);
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    for (int row : std::as_const(rows)) {
        const QString name = FileListBox1->item(row)->text();
        ++m_added;
        showCount(m_added, name);
        paths << fullPath(name);
    }
    if (m_playlist)
        m_playlist->addFiles(paths);
    // Nothing selected: the whole tree, counted from 0 by the walk.
    // "ADD" greys at once, so a second click cannot come before the walk reports that it began.
    if (m_added == 0 && !m_folder.isEmpty() && m_adder->start(m_folder))
        setAddReady(false);
    m_added = 0;
}

QString AddFilesWindow::trashQuestion(const QStringList &paths)
{
    return paths.size() == 1 ? QStringLiteral("Move \"%1\" to the trash?").arg(QFileInfo(paths[0]).fileName())
                             : QStringLiteral("Move these %1 files to the trash?").arg(paths.size());
}

void AddFilesWindow::RemoveClick()
{
    QList<int> rows;
    for (const QListWidgetItem *item : FileListBox1->selectedItems())
        rows << FileListBox1->row(item);
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QStringList paths;
    for (int row : std::as_const(rows))
        paths << fullPath(FileListBox1->item(row)->text());
    if (!m_prompt || !m_prompt(this, DeleteTitle, trashQuestion(paths)))
        return;
    const FileOperations::Result result = m_trash(paths);
    refreshFiles();
    if (!result.errors.isEmpty() && m_notice)
        m_notice(this, DeleteTitle,
                 QStringLiteral("These files could not be moved to the trash:\n") +
                     result.errors.join(QLatin1Char('\n')));
}

bool AddFilesWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FileListBox1 && event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat() && key->modifiers() == Qt::NoModifier) {
            if (key->key() == Qt::Key_Insert) {
                ADDBtnClick();
                return true;
            }
            if (key->key() == Qt::Key_Delete) {
                RemoveClick();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AddFilesWindow::setAddReady(bool ready)
{
    ADDBtn->setEnabled(ready);
    ADDBtn->setTextColor(ready ? readyColor() : busyColor());
}

void AddFilesWindow::IteratorActivate()
{
    setAddReady(false);
}

void AddFilesWindow::IteratorAddFile(int count, const QString &lastPath)
{
    showCount(count, lastPath);
}

void AddFilesWindow::IteratorTerminate()
{
    // The count stays on show; the next add counts from 0 again.
    setAddReady(true);
    m_added = 0;
}
