// The M3U, PLS, XSPF and own (VLN) list readers, reading a file as the player does.
#include "platform/TextFile.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static PlaylistModel *model = [] {
        fuzzsupport::scratchDir();
        return new PlaylistModel;
    }();
    const char *names[] = {"list.m3u", "list.pls", "list.vln", "list.xspf"};
    const int which = size > 0 ? data[0] % 4 : 0;
    const QString path = fuzzsupport::writeInput(names[which], data, size);
    PlaylistFiles::readByExtension(*model, path);
    for (int i = 0; i < model->count() && i < 64; ++i)
        (void)model->entry(i).path;
    (void)PlaylistFiles::isWellFormedVLN(TextFile::splitLines(fuzzsupport::bytes(data, size)));
    return 0;
}
