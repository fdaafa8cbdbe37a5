#pragma once
// Test fixture: the local stand-in service (settings document, XML-RPC endpoint, FTP server)
// started in a fresh temporary folder for the lifetime of one object.

#include <string>
#include <vector>

namespace vantrel::test {

// A script beside the stand-in (tools/standin-service/NAME) of the source tree.
std::string StandinToolPath(const std::string& name);

class StandinService {
public:
    // Starts tools/standin-service/standin.py with the given fault switches (names as the
    // script's --fault accepts them) and extra command-line arguments, and waits up to 10 s
    // for its READY line. On failure ok() is false and error() says why; the object is then
    // still safe to destroy.
    explicit StandinService(const std::vector<std::string>& faults = {},
                            const std::vector<std::string>& extraArgs = {});
    // Stops the process (SIGTERM, then SIGKILL after 5 s) and removes the temporary folder.
    ~StandinService();
    StandinService(const StandinService&) = delete;
    StandinService& operator=(const StandinService&) = delete;

    bool ok() const { return httpPort_ > 0 && ftpPort_ > 0; }
    const std::string& error() const { return error_; }

    int httpPort() const { return httpPort_; }
    int ftpPort() const { return ftpPort_; }
    // The temporary folder the service runs in.
    const std::string& root() const { return root_; }
    // The FTP account's home folder: uploads land here.
    std::string ftpFolder() const { return root_ + "/ftp"; }
    // "http://127.0.0.1:<port>" without a trailing slash.
    std::string httpBase() const;
    // Both settings base addresses, comma-separated, as VANTREL_SETTINGS_BASE takes them.
    std::string settingsBase() const;
    // The XML-RPC endpoint's address.
    std::string scriptUrl() const { return httpBase() + "/xmlrpc"; }

    // Switches a fault on or off while the service runs; true when the service accepted it.
    bool SetFault(const std::string& name, bool on);
    // Replaces one value of the settings document (e.g. "size_scaled", "current_version").
    bool SetValue(const std::string& key, const std::string& value);
    // Marks every open XML-RPC session as expired.
    bool ExpireSessions();
    // How many times a client was caught in one of the stalling faults so far (-1 on failure).
    int Stalls() const;

    // The network goes away for `seconds`: "refuse" cuts every new connection (HTTP and FTP
    // control) before a byte, "reset" resets the open FTP connections as well. It comes back by
    // itself; the control paths cannot be reached meanwhile. With `atStore` > 0 it begins when the
    // FTP server receives that many more STOR commands, cutting the store under way.
    bool StartOutage(double seconds, const std::string& mode, int atStore = 0);
    // How many connections outages have cut so far (-1 while it cannot be asked).
    int ConnectionsCut() const;

    struct Reply {
        long status = 0;   // 0 when the request failed at transport level
        std::string body;
    };
    // Plain requests to the stand-in's HTTP server (path starting with "/"), for tests.
    Reply Get(const std::string& path) const;
    Reply Post(const std::string& path, const std::string& body = {}) const;

private:
    std::string root_;
    std::string error_;
    int pid_ = -1;
    int httpPort_ = 0;
    int ftpPort_ = 0;
};

}  // namespace vantrel::test
