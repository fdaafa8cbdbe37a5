#pragma once
// The eight service parameters kept in the [Params] section of the settings file, so that the
// FTP and XML-RPC parameters stay known when the settings server cannot be reached.

#include "core/app/IniDocument.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

// Reads ftp_host, ftp_login, ftp_password, script_url, picture_minsize, picture_maxsize,
// current_version and update_url into `remote`, with the defaults for what is missing or
// unreadable, and clears rejected_errors. The other fields of `remote` stay as they are.
void LoadRemoteSettingsCache(const IniDocument& file, TRemoteSettings& remote);

// Writes the same eight keys, in that order, into [Params]. Other lines of the file stay.
void StoreRemoteSettingsCache(const TRemoteSettings& remote, IniDocument& file);

}  // namespace vantrel
