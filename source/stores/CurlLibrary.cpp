#include "CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace {

template <typename Function>
bool Resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const CurlLibrary* Load()
{
    // The library's ABI name: the development package's libcurl.so may be missing at run time.
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static CurlLibrary curl;
    const bool complete = Resolve(library, "curl_global_init", curl.global_init) &&
                          Resolve(library, "curl_easy_init", curl.easy_init) &&
                          Resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
                          Resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
                          Resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
                          Resolve(library, "curl_multi_init", curl.multi_init) &&
                          Resolve(library, "curl_multi_add_handle", curl.multi_add_handle) &&
                          Resolve(library, "curl_multi_remove_handle", curl.multi_remove_handle) &&
                          Resolve(library, "curl_multi_perform", curl.multi_perform) &&
                          Resolve(library, "curl_multi_info_read", curl.multi_info_read) &&
                          Resolve(library, "curl_multi_poll", curl.multi_poll) &&
                          Resolve(library, "curl_multi_cleanup", curl.multi_cleanup) &&
                          Resolve(library, "curl_slist_append", curl.slist_append) &&
                          Resolve(library, "curl_slist_free_all", curl.slist_free_all);
    // The library stays loaded for the rest of the run, as a linked one would.
    if (!complete || curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    return &curl;
}

} // namespace

const CurlLibrary* CurlLibrary::Get()
{
    static std::once_flag once;
    static const CurlLibrary* loaded = nullptr;
    std::call_once(once, [] { loaded = Load(); });
    return loaded;
}
