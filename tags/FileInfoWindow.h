#pragma once
// The file info window: the stream parameters of the playing song as the decoder reports them, its size, its
// path, its ID3v1 tag and its cover. A small borderless window moved by its gradient borders and closed with
// "X".
#include "tags/TMPEGAudio.h"

#include <QWidget>

class FlatButton;
class GradientFrame;
class QGroupBox;
class QLabel;
class QLineEdit;

class FileInfoWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FileInfoWindow(QWidget *parent = nullptr);

    // Shows what the decoder reports of a stream (level 1, 2, 3 for MPEG-1, 2, 2.5; mode 0..3) and reads the
    // file's size and tag. Stream URLs are not read.
    void fill(int level, int layer, int bitrate, int frequency, int mode, const QString &path);
    // The same for the other formats: the codec's line ("FLAC 16 bit") in the place of the MPEG line.
    void fillCodec(const QString &codec, int bits, int bitrate, int frequency, int mode, const QString &path);
    // "Length: [mm:ss]", as the playback controller formats it.
    void setLengthText(const QString &text);
    // The gradient of the borders and the colour of the title.
    void setColors(const QColor &from, const QColor &to);

    // "2.5" for level 3, the number itself otherwise.
    static QString levelText(int level);
    // "Mode : Stereo" ... "Mode : Single Channel"; "Mode : " for a mode the decoder does not define.
    static QString modeText(int mode);
    // The codec's own name for FFmpeg's ("flac" "FLAC", "pcm_s16le" "PCM"), with the bits of a lossless
    // source: "FLAC 24 bit".
    static QString codecText(const QString &codec, int bits);

    // The controls, by their names, for the application and tests.
    QLabel *RxLabel1 = nullptr;   // size
    QLabel *RxLabel2 = nullptr;   // MPEG level and layer
    QLabel *RxLabel3 = nullptr;   // bitrate
    QLabel *RxLabel4 = nullptr;   // frequency
    QLabel *RxLabel5 = nullptr;   // mode
    QLabel *RxLabel6 = nullptr;   // length
    QLabel *CoverImage = nullptr; // the song's cover; hidden when it has none
    QLineEdit *PathBox = nullptr;
    QGroupBox *TagGroup = nullptr;
    QLineEdit *MaskEdit1 = nullptr; // title
    QLineEdit *MaskEdit2 = nullptr; // artist
    QLineEdit *MaskEdit3 = nullptr; // album
    QLineEdit *MaskEdit4 = nullptr; // year
    QLineEdit *MaskEdit5 = nullptr; // genre name
    QLineEdit *MaskEdit6 = nullptr; // comment
    FlatButton *ExitBtn = nullptr;
    QLabel *TitleLabel = nullptr;

private:
    void clearTag();
    void fillStream(int bitrate, int frequency, int mode, const QString &path);
    void showCover(const QString &path);

    static constexpr int CoverSize = 96;

    TMPEGAudio m_mpeg;
    GradientFrame *m_frame = nullptr;
};
