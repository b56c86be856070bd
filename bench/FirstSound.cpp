// Preloaded into a player (LD_PRELOAD): notes when the first sound that is not silence goes to the sound
// server. Writes the milliseconds since VORLAN_BENCH_T0_NS (CLOCK_MONOTONIC) to VORLAN_BENCH_FIRST_SOUND.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace
{

bool g_noted = false;

void note()
{
    g_noted = true;
    const char *file = std::getenv("VORLAN_BENCH_FIRST_SOUND");
    const char *t0 = std::getenv("VORLAN_BENCH_T0_NS");
    if (!file || !t0)
        return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double ms = (double(now.tv_sec) * 1e9 + double(now.tv_nsec) - std::strtod(t0, nullptr)) / 1e6;
    if (FILE *f = std::fopen(file, "w")) {
        std::fprintf(f, "%.1f\n", ms);
        std::fclose(f);
    }
}

} // namespace

extern "C" int pa_simple_write(void *s, const void *data, size_t bytes, int *error)
{
    using Write = int (*)(void *, const void *, size_t, int *);
    static Write real = [] {
        void *f = dlsym(RTLD_NEXT, "pa_simple_write");
        // An output module may load the library privately, out of reach of RTLD_NEXT.
        if (!f)
            if (void *lib = dlopen("libpulse-simple.so.0", RTLD_NOW | RTLD_NOLOAD))
                f = dlsym(lib, "pa_simple_write");
        return reinterpret_cast<Write>(f);
    }();
    if (!g_noted) {
        const unsigned char *p = static_cast<const unsigned char *>(data);
        for (size_t i = 0; i < bytes; ++i)
            if (p[i]) {
                note();
                break;
            }
    }
    return real ? real(s, data, bytes, error) : -1;
}
