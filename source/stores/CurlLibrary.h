#pragma once

#include <curl/curl.h>

// libcurl, loaded with the first transfer rather than with the program: its dozens of
// network and crypto libraries would otherwise be mapped and relocated before the main
// window can show. The entry points keep libcurl's own signatures.
struct CurlLibrary
{
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_perform) multi_perform;
    decltype(&curl_multi_info_read) multi_info_read;
    decltype(&curl_multi_poll) multi_poll;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;

    // Loaded and initialised once, from any thread; nullptr when libcurl cannot be loaded.
    static const CurlLibrary* Get();
};
