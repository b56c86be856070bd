// The info template parser: any template text over a tagged file.
#include "tags/InfoTemplate.h"
#include "tags/TMPEGAudio.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TMPEGAudio *mpeg = [] {
        fuzzsupport::scratchDir();
        auto *m = new TMPEGAudio;
        m->setFileName(QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer3-tagged.mp3"));
        return m;
    }();
    const QString templ = QString::fromUtf8(fuzzsupport::bytes(data, size));
    const InfoTemplate compiled(templ);
    (void)compiled.format(*mpeg);
    (void)compiled.formatEscaped(*mpeg);
    return 0;
}
