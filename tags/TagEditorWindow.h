#pragma once
// The tag editor: edits or removes the ID3v1 tag of one playlist entry, or, for a file of another format
// than MPEG (FLAC, Ogg, Opus, MP4, WAV, AIFF, WavPack), its own tags' title, artist, album, year, comment and
// genre through TagLib. A small borderless window moved by its gradient borders and closed with "X". After a
// save or a removal it reports the file, so the application can rebuild the playlist's focused entry from it.
#include "tags/FileTags.h"

#include <QWidget>
#include <functional>

class FlatButton;
class GradientFrame;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TagEditorWindow : public QWidget
{
    Q_OBJECT

public:
    // Asked before a read-only file is made writable; true for Yes.
    using Prompt = std::function<bool(QWidget *parent, const QString &title, const QString &text)>;

    static const QString PromptTitle; // "Vorlan"
    static const QString PromptText;  // "File is ReadOnly !!" and "Do you want to change it to Archive  ?"
    // Index of the empty genre entry, after the 126 names.
    static constexpr int EmptyGenre = 126;
    // The year edit: four digits, a blank shown (and saved) as a space.
    static const QString YearMask;

    explicit TagEditorWindow(QWidget *parent = nullptr);

    // Shows the tag of path in the fields (a click on an entry and "Edit ID3"; only the latter shows the
    // window): the fields cleared, the empty genre, the path kept; for an existing file the title field gets
    // the file name, and a tag, when the file has one, fills every field. A genre that is not one of the
    // names ("Unknown" too) shows as the empty entry. For a file of another format the genre is free text
    // (the list stays to choose from) and a save writes its own tags, never the audio.
    void load(const QString &path);
    // Whether the loaded file's tags are written through TagLib rather than as an ID3v1 tag.
    bool editsFileTags() const { return m_fileTags; }
    QString path() const;

    // The year as it is saved: four characters, blanks as spaces ("99" typed gives "99  ").
    QString yearText() const;

    // The gradient of the borders and the colour of the title.
    void setColors(const QColor &from, const QColor &to);
    // Replaces the Yes/No box (tests answer it themselves).
    void setReadOnlyPrompt(Prompt prompt) { m_prompt = std::move(prompt); }

    // The 126 genre names in alphabetical order, then the empty entry.
    static QStringList genreEntries();

    // The controls, by their names, for the application and tests.
    QLabel *Path = nullptr;         // invisible: the file being edited
    QLineEdit *MaskEdit1 = nullptr; // title
    QLineEdit *MaskEdit2 = nullptr; // artist
    QLineEdit *MaskEdit3 = nullptr; // album
    QLineEdit *MaskEdit4 = nullptr; // year
    QLineEdit *MaskEdit5 = nullptr; // comment
    QComboBox *ComboBox1 = nullptr; // genre
    QPushButton *SaveBtn = nullptr;
    QPushButton *RemoveBtn = nullptr;
    FlatButton *ExitBtn = nullptr;
    QLabel *TitleLabel = nullptr;

public slots:
    // Writes the fields as the file's tag (after the read-only prompt, when the file is read-only), reports
    // it and closes. Declining the prompt writes nothing and leaves the window open.
    void SaveBtnClick();
    // Clears the fields and cuts the tag off the file, reports it; the window stays open.
    void RemoveBtnClick();

signals:
    // The file's tag was written or removed (or the attempt failed on a file that cannot be written): the
    // playlist's focused entry should be rebuilt from it.
    void tagChanged(const QString &path);

private:
    void clearFields();
    FileTags::Fields fields() const;

    Prompt m_prompt;
    bool m_fileTags = false;
    GradientFrame *m_frame = nullptr;
};
