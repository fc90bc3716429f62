#pragma once
// What every libcurl user in platform/ shares: the library's one-time global
// set-up and owners for its handles.
#include <curl/curl.h>

#include <memory>
#include <string>

#include "platform/system/failure_class.h"

namespace velmora {

// Runs curl_global_init once per process, before the first handle is made.
// Returns false when the library could not be set up.
bool ensureCurlGlobalInit();

struct CurlEasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlSlistCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiCleanup>;
using CurlHeaderList = std::unique_ptr<curl_slist, CurlSlistCleanup>;

// The request headers that ask for the origin's copy, never a cache's.
CurlHeaderList noCacheHeaders();

// True when url names an http or https resource ("http://" or "https://",
// in any case). libcurl would guess a scheme for anything else.
bool isHttpUrl(const char* url);

// Sends easy's request for url through the proxy the environment names for
// it (proxy_environment.h) and no other: libcurl alone would not read
// HTTP_PROXY. Returns whether url goes through a proxy, or the failed
// setting's code.
struct ProxyUse {
    CURLcode set = CURLE_OK;
    bool throughProxy = false;
    std::string proxyAddress;  // for messages; empty when direct
};
ProxyUse useEnvironmentProxy(CURL* easy, const std::string& url);

// The class of a failed transfer: its result and, for a failed connection or
// read, the system's error number (CURLINFO_OS_ERRNO), which tells a refused
// connection from an unreachable server and a reset from a cut-off.
// A connection that failed through a proxy is the proxy's failure.
FailureClass curlFailureClass(CURLcode result, long osErrno, bool throughProxy = false);

}  // namespace velmora
