// The tests talk to services on this machine. A proxy that the environment of the machine running
// them names (a CI runner's http_proxy) must take none of their connections, nor those of the
// programs they start: its variables are cleared before any test runs. The tests of the
// environment's proxy set the variables they need themselves.
#include <cstdlib>
#include <initializer_list>

namespace {
const bool kProxyVariablesCleared = [] {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        ::unsetenv(name);
    return true;
}();
}  // namespace
