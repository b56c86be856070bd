// The network library and what it pulls in (TLS, Kerberos, LDAP, ...) take megabytes the moment they are
// loaded, and most sessions play only files. So the player does not link it: these few entry points load it
// on the first stream. Without it a stream cannot start (curl_easy_init gives null), files play all the same.
#define CURL_DISABLE_TYPECHECK
#include <cstdarg>
#include <curl/curl.h>
#include <dlfcn.h>
#include <mutex>
#include <type_traits>

namespace
{

struct Curl {
    CURLcode (*globalInit)(long) = nullptr;
    CURL *(*easyInit)() = nullptr;
    CURLcode (*easySetopt)(CURL *, CURLoption, ...) = nullptr;
    CURLcode (*easyPerform)(CURL *) = nullptr;
    CURLcode (*easyGetinfo)(CURL *, CURLINFO, ...) = nullptr;
    void (*easyCleanup)(CURL *) = nullptr;
    const char *(*easyStrerror)(CURLcode) = nullptr;
    curl_slist *(*slistAppend)(curl_slist *, const char *) = nullptr;
    void (*slistFreeAll)(curl_slist *) = nullptr;
    bool loaded = false;
};

const Curl &curl()
{
    static Curl c;
    static std::once_flag once;
    std::call_once(once, [] {
        void *lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return;
        auto get = [lib](auto &fn, const char *name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            return fn != nullptr;
        };
        c.loaded = get(c.globalInit, "curl_global_init") && get(c.easyInit, "curl_easy_init") &&
                   get(c.easySetopt, "curl_easy_setopt") && get(c.easyPerform, "curl_easy_perform") &&
                   get(c.easyGetinfo, "curl_easy_getinfo") && get(c.easyCleanup, "curl_easy_cleanup") &&
                   get(c.easyStrerror, "curl_easy_strerror") && get(c.slistAppend, "curl_slist_append") &&
                   get(c.slistFreeAll, "curl_slist_free_all");
    });
    return c;
}

} // namespace

extern "C" {

CURLcode curl_global_init(long flags)
{
    return curl().loaded ? curl().globalInit(flags) : CURLE_FAILED_INIT;
}

CURL *curl_easy_init()
{
    return curl().loaded ? curl().easyInit() : nullptr;
}

// Every option takes one argument; its kind follows from the option's number.
CURLcode curl_easy_setopt(CURL *handle, CURLoption option, ...)
{
    if (!curl().loaded || !handle)
        return CURLE_FAILED_INIT;
    va_list args;
    va_start(args, option);
    CURLcode result;
    if (option < CURLOPTTYPE_OBJECTPOINT) {
        const long value = va_arg(args, long);
        result = curl().easySetopt(handle, option, value);
    } else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB) {
        const curl_off_t value = va_arg(args, curl_off_t);
        result = curl().easySetopt(handle, option, value);
    } else {
        void *value = va_arg(args, void *);
        result = curl().easySetopt(handle, option, value);
    }
    va_end(args);
    return result;
}

CURLcode curl_easy_perform(CURL *handle)
{
    return curl().loaded && handle ? curl().easyPerform(handle) : CURLE_FAILED_INIT;
}

CURLcode curl_easy_getinfo(CURL *handle, CURLINFO info, ...)
{
    if (!curl().loaded || !handle)
        return CURLE_FAILED_INIT;
    va_list args;
    va_start(args, info);
    void *where = va_arg(args, void *);
    va_end(args);
    return curl().easyGetinfo(handle, info, where);
}

void curl_easy_cleanup(CURL *handle)
{
    if (curl().loaded && handle)
        curl().easyCleanup(handle);
}

const char *curl_easy_strerror(CURLcode code)
{
    return curl().loaded ? curl().easyStrerror(code) : "the network library (libcurl) is not installed";
}

curl_slist *curl_slist_append(curl_slist *list, const char *text)
{
    return curl().loaded ? curl().slistAppend(list, text) : nullptr;
}

void curl_slist_free_all(curl_slist *list)
{
    if (curl().loaded && list)
        curl().slistFreeAll(list);
}
}
