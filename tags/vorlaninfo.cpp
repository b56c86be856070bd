// vorlaninfo: prints the stream information and tag of MPEG audio files through an info template, one line
// per file, the way the player's playlist reads them; files of the other formats the player plays (FLAC,
// Ogg Vorbis, Opus, MP4, WAV, AIFF, WavPack) with their codec, stream and tags, read through TagLib.
#include "platform/FileName.h"
#include "tags/FileTags.h"
#include "tags/InfoTemplate.h"
#include "tags/TMPEGAudio.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace
{

const char kDefaultTemplate[] = "%FP,T%%FN,T%%TB%%V,T%%TB%%LY,T%%TB%%BR,T%%TB%%SR,T%%TB%%M,T%%TB%%DF,T%";
// The other formats: the codec where MPEG has its version and layer, and the names after the length.
const char kOtherTemplate[] = "%FP,T%%FN,T%%TB%%V,T%%TB%%BR,T%%TB%%SR,T%%TB%%M,T%%TB%%DF,T%%TB%%A,T%%TB%%T,T%"
                              "%TB%%ALB,T%%TB%%Y,T%%TB%%G,T%";

void printUsage(FILE *to)
{
    std::fprintf(to,
                 "Usage: vorlaninfo [-t TEMPLATE] FILE...\n"
                 "Prints the MPEG stream information and ID3v1 tag of each FILE, one line per file.\n"
                 "\n"
                 "Without -t each line holds, separated by TABs: the file's full path, the MPEG version\n"
                 "(1.0, 2.0, 2.5), the layer (I, II, III), the bitrate in kbit/s, the sample rate in Hz,\n"
                 "the channel mode and the estimated playing time as minutes:seconds. That is the template\n"
                 "  %s\n"
                 "A file in which no MPEG frames are found prints \"Unknown\" and zeros.\n"
                 "\n"
                 "A FLAC, Ogg Vorbis, Opus, MP4, WAV, AIFF or WavPack file (told by its content) prints\n"
                 "its path, the codec, the average bitrate in kbit/s, the sample rate in Hz, the channels,\n"
                 "the playing time, and the artist, title, album, year and genre of its tags:\n"
                 "  %s\n"
                 "In a template such files fill the tag items, VERSION with the codec, and the bitrate,\n"
                 "sample rate, mode and duration items from their own stream.\n"
                 "\n"
                 "Options:\n"
                 "  -t TEMPLATE  an info template: text with items between percent signs, such as\n"
                 "               \"%%A,T%% - %%T,T%% [%%DF,T%%]\" (artist, title and playing time)\n"
                 "  -h, --help   this text\n"
                 "  --           every following argument is a file\n"
                 "\n"
                 "A file that does not exist or cannot be read is reported on stderr; the other files are\n"
                 "still printed and the exit status is 1. Wrong options give the exit status 2.\n",
                 kDefaultTemplate, kOtherTemplate);
}

void flushOut(QByteArray &out)
{
    if (!out.isEmpty())
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    out.clear();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // File names are bytes: one that is not UTF-8 still opens.
    QStringList args;
    for (int a = 0; a < argc; ++a)
        args << FileName::decode(QByteArray(argv[a]));

    QString templ = QString::fromLatin1(kDefaultTemplate);
    bool templateGiven = false;
    qsizetype i = 1;
    for (; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--")) {
            ++i;
            break;
        }
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            printUsage(stdout);
            return 0;
        }
        if (a == QLatin1String("-t")) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "vorlaninfo: -t needs a template\n");
                printUsage(stderr);
                return 2;
            }
            templ = args.at(++i);
            templateGiven = true;
            continue;
        }
        if (a.startsWith(QLatin1String("-t"))) {
            templ = a.mid(2);
            templateGiven = true;
            continue;
        }
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            std::fprintf(stderr, "vorlaninfo: unknown option %s\n", qPrintable(a));
            printUsage(stderr);
            return 2;
        }
        break;
    }
    if (i >= args.size()) {
        std::fprintf(stderr, "vorlaninfo: no file given\n");
        printUsage(stderr);
        return 2;
    }

    TMPEGAudio mpeg;
    // Values are shown escaped: a tag or a file name must not forge lines or drive the terminal.
    const InfoTemplate format(templ);
    const InfoTemplate otherFormat(templateGiven ? templ : QString::fromLatin1(kOtherTemplate));
    QByteArray out;
    out.reserve(80 * 1024);
    int status = 0;
    for (; i < args.size(); ++i) {
        mpeg.setFileName(args.at(i));
        if (!mpeg.errorString().isEmpty()) {
            flushOut(out);
            std::fflush(stdout);
            std::fprintf(stderr, "vorlaninfo: cannot read %s: %s\n", qPrintable(escapeControls(args.at(i))),
                         qPrintable(mpeg.errorString()));
            status = 1;
            continue;
        }
        if (const FileTags::Info other = FileTags::read(args.at(i), true); other.kind != FileTags::Kind::None)
            out += otherFormat.formatEscaped(mpeg, &other).toUtf8();
        else
            out += format.formatEscaped(mpeg).toUtf8();
        out += '\n';
        if (out.size() >= 64 * 1024)
            flushOut(out);
    }
    flushOut(out);
    std::fflush(stdout);
    return status;
}
