#include "playlist/PlaylistWindow.h"
#include "playlist/AddFilesWindow.h"

#include "playlist/FolderWalkQueue.h"
#include "playlist/PlaylistFileCommands.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistFilterBar.h"
#include "playlist/PlaylistListView.h"
#include "playlist/PlaylistModel.h"
#include "playlist/UrlInputWindow.h"
#include "widgets/FlatButton.h"
#include "widgets/ReportListView.h"
#include "widgets/TFountainFill.h"
#include "widgets/TKTop.h"
#include "widgets/WindowDragger.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QRegularExpression>

const QString PlaylistWindow::TitleText = QStringLiteral("   Vorlan PlayList");
const QString PlaylistWindow::HtmlTitleText = QStringLiteral("   Vorlan PlayList (Saveing the HTML file)..");
const QString PlaylistWindow::PrintTitleText =
    QStringLiteral("   Vorlan PlayList (Makeing the print file)..");
const QString PlaylistWindow::NailAutoHide = QStringLiteral("..");
const QString PlaylistWindow::NailPinned = QStringLiteral("T");
const QString PlaylistWindow::FolderDialogTitle = QStringLiteral("&Vorlan  ( Please Choose Directory ) ..");

namespace
{

const QString MyPlayList = QStringLiteral("MyPlayList");

// Patterns in both cases: file dialogs on some desktops compare them case-sensitively.
const QString OpenFilter =
    QStringLiteral("PLS Or M3U PlayList (*.PLS *.M3U *.VLN *.XSPF *.pls *.m3u *.vln *.xspf);;"
                   "PLS PlayList (*.PLS *.pls);;M3U PlayList (*.M3U *.m3u);;"
                   "Vorlan PlayList (*.VLN *.vln);;XSPF PlayList (*.XSPF *.xspf)");
const QString SaveFilter = QStringLiteral("M3U PlayList file (*.m3u);;PLS PlayList file (*.pls);;"
                                          "Vorlan PlayList file (*.vln);;XSPF PlayList file (*.xspf);;"
                                          "HTML Web file (*.html *.htm)");

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

} // namespace

PlaylistWindow::PlaylistWindow(PlaylistModel *model, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_model(model), m_kTop(new TKTop(this)),
      m_saveFileName(MyPlayList), m_commands(std::make_unique<PlaylistFileCommands>(*this)),
      m_cursorSource([] { return QCursor::pos(); })
{
    setWindowTitle(QStringLiteral("Vorlan's Play List"));
    setMinimumSize(MinWidth, MinHeight);
    setAcceptDrops(true);
    setAutoFillBackground(true);
    defaultPrompts();
    createControls();
    connectControls();
    HideTimer.setInterval(1000);
    connect(&HideTimer, &QTimer::timeout, this, &PlaylistWindow::HideTimerTimer);
    m_closeTimer.setInterval(5);
    connect(&m_closeTimer, &QTimer::timeout, this, &PlaylistWindow::closeAnimationStep);

    applyColors(QColor(0, 128, 192), Qt::white);
    applyFont(QStringLiteral("MS Sans Serif"), 8, 2);
    Label2->setText(QString::number(m_model->count()));
    Label4->setText(QString::number(m_model->PlayedCount()));
    resize(360, 300);
}

PlaylistWindow::~PlaylistWindow() = default;

void PlaylistWindow::createControls()
{
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPixelSize(11);
    setFont(small);

    Panel3 = new TFountainFill(this);
    Panel3->setSteps(1);
    TitleLabel = new QLabel(TitleText, Panel3);
    QFont bold = small;
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TitleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    ExitBtn = new FlatButton(QStringLiteral("X"), Panel3);
    ExitBtn->setToolTip(QStringLiteral("Close."));
    NailBtn = new FlatButton(NailAutoHide, Panel3);
    NailBtn->setToolTip(QStringLiteral("Auto Hide Button"));
    NailBtn->hide();

    FnpListBox1 = new PlaylistListView(m_model, this);
    FnpListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    FnpListBox1->setFrameShape(QFrame::NoFrame);
    FilterBar = new PlaylistFilterBar(m_model, FnpListBox1, this);

    Panel2 = new QWidget(this);
    Panel2->setAutoFillBackground(true);
    FountainFill2 = new TFountainFill(Panel2);
    FountainFill2->setSteps(50);
    // The pointer over the bottom panel brings a slid-away window back.
    Panel2->setMouseTracking(true);
    FountainFill2->setMouseTracking(true);
    Panel2->installEventFilter(this);
    FountainFill2->installEventFilter(this);

    auto label = [this](const QString &text) {
        auto *l = new QLabel(text, FountainFill2);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        return l;
    };
    Label1 = label(QStringLiteral("Num of files:"));
    Label2 = label(QStringLiteral("0"));
    Label3 = label(QStringLiteral("Played songs:"));
    Label4 = label(QStringLiteral("0"));
    Label5 = label(QStringLiteral("Selected"));
    SongTime = label(QStringLiteral("[00:00:00]"));

    auto button = [this](const QString &caption) { return new FlatButton(caption, FountainFill2); };
    LOAD = button(QStringLiteral("Load"));
    SAVE = button(QStringLiteral("Save"));
    REMOVE = button(QStringLiteral("Remove"));
    CLEAR = button(QStringLiteral("Clear"));
    EditTag = button(QStringLiteral("Edit ID3"));
    ADD = button(QStringLiteral("Add"));
    ADDURL = button(QStringLiteral("Add URL"));
    SORT = button(QStringLiteral("Sort"));
    RAND = button(QStringLiteral("Shuffle"));

    PopupMenu = new QMenu(this);
    PopupMenu->addAction(QStringLiteral("Print"), this, &PlaylistWindow::PrintClick);
    PopupMenu->addSeparator();
    PopupMenu->addAction(QStringLiteral("Select All"), this, [this] { SelectClick(SelectAll); });
    PopupMenu->addAction(QStringLiteral("Invert Selection"), this, [this] { SelectClick(InvertSelection); });
    PopupMenu->addAction(QStringLiteral("UnSelect All"), this, [this] { SelectClick(UnselectAll); });
    PopupMenu->addSeparator();
    PopupMenu->addAction(QStringLiteral("Copy selection to HD."), this,
                         [this] { CopyselectionClick(CopySelection); });
    PopupMenu->addAction(QStringLiteral("Move selection to HD."), this,
                         [this] { CopyselectionClick(MoveSelection); });
    PopupMenu->addAction(QStringLiteral("Delete selection of HD."), this,
                         [this] { CopyselectionClick(DeleteSelection); });
    PopupMenu->addSeparator();
    PopupMenu->addAction(QStringLiteral("Queue"), this, &PlaylistWindow::queueSelected);
    PopupMenu->addAction(QStringLiteral("Remove Dead Files"), this, &PlaylistWindow::removeDeadFiles);
    PopupMenu->addAction(QStringLiteral("Remove Duplicates"), this, &PlaylistWindow::removeDuplicates);
    PopupMenu->addAction(QStringLiteral("Filter\tCtrl+F"), FilterBar, &PlaylistFilterBar::open);

    M = new QWidget(this);
    M->setCursor(Qt::SizeFDiagCursor);
    M->setAutoFillBackground(true);
    M->installEventFilter(this);
    M->raise();
}

void PlaylistWindow::connectControls()
{
    connect(LOAD, &QAbstractButton::clicked, this, &PlaylistWindow::LOADClick);
    connect(SAVE, &QAbstractButton::clicked, this, &PlaylistWindow::SAVEClick);
    connect(ADD, &QAbstractButton::clicked, this, &PlaylistWindow::ADDClick);
    connect(REMOVE, &QAbstractButton::clicked, this, &PlaylistWindow::REMOVEClick);
    connect(CLEAR, &QAbstractButton::clicked, this, &PlaylistWindow::CLEARClick);
    connect(SORT, &QAbstractButton::clicked, this, &PlaylistWindow::SORTClick);
    connect(RAND, &QAbstractButton::clicked, this, &PlaylistWindow::RANDClick);
    connect(ADDURL, &QAbstractButton::clicked, this, &PlaylistWindow::ADDURLClick);
    connect(EditTag, &QAbstractButton::clicked, this, &PlaylistWindow::EditTagClick);
    connect(ExitBtn, &QAbstractButton::clicked, this, &PlaylistWindow::ExitBtnClick);
    connect(NailBtn, &QAbstractButton::clicked, this, &PlaylistWindow::NailBtnClick);

    connect(FnpListBox1, &PlaylistListView::entryClicked, this, &PlaylistWindow::FnpListBox1Click);
    connect(FnpListBox1, &QAbstractItemView::doubleClicked, this, &PlaylistWindow::PlaySelected);
    connect(FnpListBox1, &PlaylistListView::insertPressed, this, &PlaylistWindow::ADDClick);
    connect(FnpListBox1, &PlaylistListView::deletePressed, this, &PlaylistWindow::REMOVEClick);
    connect(FnpListBox1, &PlaylistListView::entryMoved, this, &PlaylistWindow::FnpListBox1Moved);
    connect(FnpListBox1, &PlaylistListView::filesDropped, this, &PlaylistWindow::FormDropFiles);
    connect(FnpListBox1, &PlaylistListView::queuePressed, this, &PlaylistWindow::queueSelected);
    connect(FnpListBox1, &PlaylistListView::findPressed, this, &PlaylistWindow::findRequested);
    connect(FnpListBox1, &PlaylistListView::filterPressed, FilterBar, &PlaylistFilterBar::open);
    connect(FilterBar, &PlaylistFilterBar::openChanged, this, &PlaylistWindow::layoutControls);
    connect(m_model, &PlaylistModel::queueChanged, this, &PlaylistWindow::layoutColumns);
    connect(FnpListBox1, &PlaylistListView::entryDroppedOutside, this, &PlaylistWindow::entryDroppedOutside);
    connect(FnpListBox1, &QWidget::customContextMenuRequested, this, &PlaylistWindow::showContextMenu);

    connect(Panel3, &TFountainFill::doubleClicked, this, &PlaylistWindow::dockingToggleRequested);
    connect(FountainFill2, &TFountainFill::doubleClicked, this, &PlaylistWindow::dockingToggleRequested);
    m_dragger = new WindowDragger(this);
    m_dragger->attach(Panel3);

    connect(m_model, &PlaylistModel::countChanged, this, [this](int n) {
        Label2->setText(QString::number(n));
        // A number with one more digit needs a wider column.
        if (QString::number(n).size() != m_numberDigits) {
            m_numberDigits = int(QString::number(n).size());
            layoutColumns();
        }
    });
    connect(m_model, &PlaylistModel::playedCountChanged, this,
            [this](int n) { Label4->setText(QString::number(n)); });
    connect(m_model, &PlaylistModel::selectedTimeChanged, this, &PlaylistWindow::setSongTime);
}

void PlaylistWindow::defaultPrompts()
{
    m_prompts.openFile = [this](const QString &title, const QString &dir, const QString &filter) {
        return QFileDialog::getOpenFileName(this, title, dir, filter);
    };
    m_prompts.saveFile = [this](const QString &path, const QString &filter, QString *selectedFilter) {
        return QFileDialog::getSaveFileName(this, QString(), path, filter, selectedFilter);
    };
    m_prompts.chooseFolder = [this](const QString &title, const QString &dir) {
        return QFileDialog::getExistingDirectory(this, title, dir);
    };
    m_prompts.overwrite = [this](const QString &source, const QString &target) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Vorlan"),
                        tr("The folder \"%1\" already holds a file named \"%2\".\n\n"
                           "Do you want to replace it with the one from \"%3\"?")
                            .arg(QFileInfo(target).absolutePath(), QFileInfo(target).fileName(),
                                 QFileInfo(source).absolutePath()),
                        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel,
                        this);
        box.setDefaultButton(QMessageBox::No);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return FileOperations::Answer::Yes;
        case QMessageBox::YesToAll:
            return FileOperations::Answer::YesToAll;
        case QMessageBox::No:
            return FileOperations::Answer::No;
        default:
            return FileOperations::Answer::Cancel;
        }
    };
    m_prompts.warning = [this](const QString &text) {
        QMessageBox::warning(this, QStringLiteral("Vorlan"), text);
    };
    m_prompts.information = [this](const QString &text) {
        QMessageBox::information(this, QStringLiteral("Vorlan"), text);
    };
    m_prompts.confirm = [this](const QString &title, const QString &text) {
        return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
}

void PlaylistWindow::setPrompts(const Prompts &prompts)
{
    if (prompts.openFile)
        m_prompts.openFile = prompts.openFile;
    if (prompts.saveFile)
        m_prompts.saveFile = prompts.saveFile;
    if (prompts.chooseFolder)
        m_prompts.chooseFolder = prompts.chooseFolder;
    if (prompts.confirm)
        m_prompts.confirm = prompts.confirm;
    if (prompts.overwrite)
        m_prompts.overwrite = prompts.overwrite;
    if (prompts.warning)
        m_prompts.warning = prompts.warning;
    if (prompts.information)
        m_prompts.information = prompts.information;
}

void PlaylistWindow::warn(const QString &text)
{
    if (m_prompts.warning)
        m_prompts.warning(text);
}

void PlaylistWindow::inform(const QString &text)
{
    if (m_prompts.information)
        m_prompts.information(text);
}

void PlaylistWindow::queueSelected()
{
    m_model->toggleQueued(m_model->selectedEntries());
}

void PlaylistWindow::removeDeadFiles()
{
    const int removed = m_model->removeDeadEntries();
    inform(removed == 1 ? tr("1 entry whose file no longer exists was removed.")
                        : tr("%1 entries whose files no longer exist were removed.").arg(removed));
}

void PlaylistWindow::removeDuplicates()
{
    const int removed = m_model->removeDuplicates();
    inform(removed == 1 ? tr("1 entry that was in the list twice was removed.")
                        : tr("%1 entries that were in the list twice were removed.").arg(removed));
}

// --- Settings
// -------------------------------------------------------------------------------------------------

void PlaylistWindow::applyColors(const QColor &color1, const QColor &color2)
{
    m_color1 = color1;
    m_color2 = color2;
    QPalette frame = palette();
    frame.setColor(QPalette::Window, color1);
    setPalette(frame);
    Panel2->setPalette(frame);
    Panel3->setColors(color1, color1);
    FountainFill2->setColors(color2, color1);

    QPalette list = FnpListBox1->palette();
    list.setColor(QPalette::Base, color2);
    list.setColor(QPalette::Window, color2);
    list.setColor(QPalette::Text, color1);
    FnpListBox1->setPalette(list);

    for (QLabel *l : {Label1, Label2, Label3, Label4})
        setTextColor(l, color1);
    for (QLabel *l : {Label5, SongTime, TitleLabel})
        setTextColor(l, color2);
    for (FlatButton *b : {LOAD, SAVE, CLEAR, REMOVE, EditTag})
        b->setTextColor(color1);
    for (FlatButton *b : {ADD, ADDURL, SORT, RAND, NailBtn, ExitBtn})
        b->setTextColor(color2);
    QPalette square = M->palette();
    square.setColor(QPalette::Window, color2);
    M->setPalette(square);
}

void PlaylistWindow::applyFont(const QString &name, int size, int alignment)
{
    m_fontSize = std::clamp(size, 1, 200);
    m_alignment = std::clamp(alignment, 0, 2);
    QFont font(name);
    font.setPointSize(m_fontSize);
    FnpListBox1->setFont(font);
    FnpListBox1->setItemHeight(m_fontSize + 6);
    static const Qt::Alignment byChoice[] = {Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft};
    FnpListBox1->setNameAlignment(byChoice[m_alignment]);
    layoutColumns();
}

QString PlaylistWindow::listFontName() const
{
    return FnpListBox1->font().family();
}

QString PlaylistWindow::nailCaption() const
{
    return NailBtn->text();
}

void PlaylistWindow::setNailCaption(const QString &caption)
{
    NailBtn->setText(caption == NailPinned ? NailPinned : NailAutoHide);
}

QString PlaylistWindow::path3() const
{
    if (m_saveFileName == MyPlayList)
        return QString();
    return QFileInfo(m_saveFileName).absolutePath();
}

void PlaylistWindow::setPath3(const QString &value)
{
    m_path3 = value == MyPlayList ? QString() : value;
}

void PlaylistWindow::setUrlInputWindow(UrlInputWindow *window)
{
    m_urlWindow = window;
}

UrlInputWindow *PlaylistWindow::urlInputWindow()
{
    if (!m_urlWindow && m_urlProvider)
        m_urlWindow = m_urlProvider();
    if (!m_urlWindow)
        m_urlWindow = new UrlInputWindow(this);
    return m_urlWindow;
}

void PlaylistWindow::layoutColumns()
{
    const int fs = m_fontSize;
    // The number column fits the largest number in the list, in the list's own font; never narrower than
    // three font sizes.
    QString largest = QString::number(std::max(m_model->count(), 1)).fill(QLatin1Char('0'));
    // Queued entries show their place beside their number.
    if (const qsizetype queued = m_model->queue().size(); queued > 0)
        largest += QStringLiteral(" [%1]").arg(QString::number(queued).fill(QLatin1Char('0')));
    const int numbers = std::max(3 * fs, FnpListBox1->fontMetrics().horizontalAdvance(largest) + fs);
    FnpListBox1->setColumnWidth(0, numbers);
    FnpListBox1->setColumnWidth(1, std::max(fs, FnpListBox1->width() - numbers - 5 * fs - 40));
    FnpListBox1->setColumnWidth(2, 5 * fs);
}

QString PlaylistWindow::titleText() const
{
    return TitleLabel->text();
}

void PlaylistWindow::setTitleText(const QString &text)
{
    TitleLabel->setText(text);
    emit titleTextChanged(text);
}

void PlaylistWindow::setSongTime(const QString &text)
{
    SongTime->setText(text);
}

// --- Layout
// ---------------------------------------------------------------------------------------------------

void PlaylistWindow::layoutControls()
{
    const int w = width(), h = height();
    Panel3->setGeometry(0, 0, w, TitleHeight);
    TitleLabel->setGeometry(0, 0, w, TitleHeight);
    const int bw = 14;
    ExitBtn->setGeometry(w - bw - 2, 1, bw, TitleHeight - 2);
    NailBtn->setGeometry(ExitBtn->x() - bw - 2, 1, bw, TitleHeight - 2);

    const int filterHeight = FilterBar->isHidden() ? 0 : PlaylistFilterBar::Height;
    FilterBar->setGeometry(0, TitleHeight, w, filterHeight);
    FnpListBox1->setGeometry(2, TitleHeight + filterHeight, w - 4,
                             std::max(0, h - TitleHeight - filterHeight - BottomHeight));
    Panel2->setGeometry(0, h - BottomHeight, w, BottomHeight);
    const int fw = w - 4, fh = BottomHeight - 4;
    FountainFill2->setGeometry(2, 2, fw, fh);

    // Left half on the light end of the strip, right half on the dark end.
    const int half = fw / 2;
    const int row = 14, buttonHeight = 16;
    const int labelWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("Played songs:")) + 6;
    Label1->setGeometry(6, 3, labelWidth, row);
    Label2->setGeometry(6 + labelWidth, 3, half - labelWidth - 6, row);
    Label3->setGeometry(6, 3 + row, labelWidth, row);
    Label4->setGeometry(6 + labelWidth, 3 + row, half - labelWidth - 6, row);
    Label5->setGeometry(half + 6, 3, fw - half - 12, row);
    SongTime->setGeometry(half + 6, 3 + row, fw - half - 24, row);

    const int y1 = 3 + 2 * row + 3, y2 = y1 + buttonHeight + 1;
    auto place = [&](const QList<FlatButton *> &buttons, int x0, int width, int y) {
        const int each = width / int(buttons.size());
        for (int i = 0; i < buttons.size(); ++i)
            buttons.at(i)->setGeometry(x0 + i * each, y, each - 2, buttonHeight);
    };
    place({LOAD, SAVE, REMOVE}, 4, half - 6, y1);
    place({CLEAR, EditTag}, 4, (half - 6) * 2 / 3, y2);
    place({ADD, ADDURL}, half + 4, fw - half - 18, y1);
    place({SORT, RAND}, half + 4, fw - half - 18, y2);

    // The corner square's top-left corner 10 pixels from the bottom panel's right and bottom edges.
    M->setGeometry(w - 10, h - 10, 8, 8);
    M->raise();
}

void PlaylistWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
    if (!m_resizing)
        layoutColumns();
}

void PlaylistWindow::showEvent(QShowEvent *event)
{
    m_restorePending = false;
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void PlaylistWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}

// --- List commands
// --------------------------------------------------------------------------------------------

void PlaylistWindow::LOADClick()
{
    const QString file = m_prompts.openFile(QStringLiteral("Open playlist file."), m_path2, OpenFilter);
    if (file.isEmpty())
        return;
    m_path2 = QFileInfo(file).absolutePath();
    loadPlaylistFile(file);
}

bool PlaylistWindow::loadPlaylistFile(const QString &path)
{
    switch (PlaylistFiles::formatByLastThree(path)) {
    case PlaylistFiles::Format::M3U:
        return PlaylistFiles::readM3U(*m_model, path);
    case PlaylistFiles::Format::PLS:
        return PlaylistFiles::readPLS(*m_model, path);
    case PlaylistFiles::Format::VLN:
        return PlaylistFiles::readVLN(*m_model, path);
    case PlaylistFiles::Format::XSPF:
        return PlaylistFiles::readXSPF(*m_model, path);
    default:
        return false;
    }
}

void PlaylistWindow::SAVEClick()
{
    const QString start =
        QDir(m_path3.isEmpty() ? QDir::homePath() : m_path3).filePath(QFileInfo(m_saveFileName).fileName());
    QString selectedFilter;
    QString file = m_prompts.saveFile(start, SaveFilter, &selectedFilter);
    if (file.isEmpty())
        return;
    // A name typed without an extension gets the one of the chosen file type.
    if (QFileInfo(file).suffix().isEmpty()) {
        static const QRegularExpression firstPattern(QStringLiteral("\\*(\\.[A-Za-z0-9]+)"));
        const QRegularExpressionMatch match = firstPattern.match(selectedFilter);
        file += match.hasMatch() ? match.captured(1) : QStringLiteral(".m3u");
    }
    m_saveFileName = file;
    m_path3 = QFileInfo(file).absolutePath();
    savePlaylistFile(file);
}

bool PlaylistWindow::savePlaylistFile(const QString &path)
{
    bool ok = true;
    switch (PlaylistFiles::formatByExtension(path)) {
    case PlaylistFiles::Format::M3U:
        ok = PlaylistFiles::writeM3U(*m_model, path);
        break;
    case PlaylistFiles::Format::PLS:
        ok = PlaylistFiles::writePLS(*m_model, path);
        break;
    case PlaylistFiles::Format::VLN:
        ok = PlaylistFiles::writeVLN(*m_model, path);
        break;
    case PlaylistFiles::Format::XSPF:
        ok = PlaylistFiles::writeXSPF(*m_model, path);
        break;
    case PlaylistFiles::Format::HTML:
        return exportHtml(path);
    case PlaylistFiles::Format::None:
        return false;
    }
    if (!ok)
        warn(tr("The playlist could not be saved as \"%1\".\n"
                "Check that the folder exists and that you may write to it.")
                 .arg(QDir::toNativeSeparators(path)));
    return ok;
}

void PlaylistWindow::ADDClick()
{
    emit addFilesRequested();
}

void PlaylistWindow::REMOVEClick()
{
    m_model->removeSelected();
}

void PlaylistWindow::CLEARClick()
{
    m_model->clear();
}

void PlaylistWindow::SORTClick()
{
    m_model->sort();
}

void PlaylistWindow::RANDClick()
{
    m_model->shuffle();
}

void PlaylistWindow::ADDURLClick()
{
    const std::optional<QString> text =
        urlInputWindow()->ask(QStringLiteral("Please enter the song URL:"), QStringLiteral("http://"));
    if (!text)
        return;
    const QString url = text->trimmed();
    if (PlaylistModel::IsStreamUrl(url))
        m_model->PlaylistAddFile(url);
}

void PlaylistWindow::EditTagClick()
{
    if (m_model->count() == 0)
        return;
    emit editTagRequested(m_model->entryPath(m_model->focusedEntry()));
}

void PlaylistWindow::FnpListBox1Click()
{
    const int focused = m_model->focusedEntry();
    if (focused >= 0)
        emit entryClicked(m_model->entryPath(focused));
    m_model->UpdateSelectedTime();
}

void PlaylistWindow::PlaySelected()
{
    emit playSelectedRequested();
}

void PlaylistWindow::FormDropFiles(const QStringList &names)
{
    PlaylistFiles::dropFiles(*m_model, names);
    // Folders add their trees, on the folder walk's thread.
    const QStringList folders = FolderWalkQueue::foldersAmong(names);
    if (!folders.isEmpty())
        emit foldersDropped(folders);
}

void PlaylistWindow::FnpListBox1Moved(int from, int to)
{
    m_model->moveEntry(from, to);
}

bool PlaylistWindow::exportHtml(const QString &path)
{
    return m_commands->exportHtml(path);
}

void PlaylistWindow::PrintClick()
{
    printPlaylist(nullptr);
}

bool PlaylistWindow::printPlaylist(QPrinter *printer)
{
    return m_commands->printPlaylist(printer);
}

void PlaylistWindow::CopyselectionClick(FileCommand command)
{
    m_commands->chooseFolderAndRun(command);
}

FileOperations::Result PlaylistWindow::runFileCommand(FileCommand command, const QString &folder)
{
    return m_commands->runFileCommand(command, folder);
}

void PlaylistWindow::SelectClick(SelectCommand command)
{
    switch (command) {
    case SelectAll:
        m_model->selectAll();
        break;
    case InvertSelection:
        m_model->invertSelection();
        break;
    case UnselectAll:
        m_model->unselectAll();
        break;
    }
    m_model->UpdateSelectedTime();
}

void PlaylistWindow::showContextMenu(const QPoint &pos)
{
    PopupMenu->popup(FnpListBox1->viewport()->mapToGlobal(pos));
}

void PlaylistWindow::entryDroppedOutside(const QPoint &globalPos)
{
    // An entry dropped on the bottom panel plays.
    if (Panel2->rect().contains(Panel2->mapFromGlobal(globalPos)))
        PlaySelected();
}

void PlaylistWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Entries of the list itself are taken only by the bottom panel, which plays them.
    if (PlaylistListView::isEntryDrag(event->mimeData()) ||
        !PlaylistListView::droppedNames(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PlaylistWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (!PlaylistListView::isEntryDrag(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    if (Panel2->geometry().contains(event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PlaylistWindow::dropEvent(QDropEvent *event)
{
    if (PlaylistListView::isEntryDrag(event->mimeData())) {
        if (!Panel2->geometry().contains(event->position().toPoint()))
            return;
        event->acceptProposedAction();
        PlaySelected();
        return;
    }
    const QStringList names = PlaylistListView::droppedNames(event->mimeData());
    if (names.isEmpty())
        return;
    event->acceptProposedAction();
    FormDropFiles(names);
}
