#pragma once
// The service's parameters, read from its settings document at start. Ten of them are also
// cached in the settings file so that the FTP and XML-RPC parameters stay known when the
// settings server cannot be reached.

#include <string>

namespace vantrel {

struct TRemoteSettings {
    std::string ftp_host;        // FTP server, may carry ":port"
    std::string ftp_login;
    std::string ftp_password;
    std::string script_url;      // absolute URL of the XML-RPC endpoint
    int picture_minsize = 20;    // KiB, smallest photo accepted
    int picture_maxsize = 10;    // MiB, largest photo accepted
    int size_thumbnail = 0;      // pixels, longer side of the uploaded thumbnail
    int size_scaled = 0;         // pixels, longer side of the uploaded scaled copy
    std::string rejected_errors; // comma-separated decoder warning codes that refuse a photo
    std::string advert_url;      // page shown during a transfer; may hold "[email]"
    std::string autologin_url;   // account page; may hold "[id_session]"
    std::string website_url;
    std::string current_version = "3.2.5";
    std::string update_url;
    std::string passthru_name;   // one extra line of every sidecar
    std::string passthru_value;
};

}  // namespace vantrel
