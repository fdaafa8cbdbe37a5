#pragma once
// The service parameters kept in the [Params] section of the settings file, so that the FTP and
// XML-RPC parameters and the copy sizes stay known when the settings server cannot be reached.

#include "core/app/IniDocument.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

// Reads ftp_host, ftp_login, ftp_password, script_url, picture_minsize, picture_maxsize,
// current_version, update_url, size_scaled and size_thumbnail into `remote`, with the defaults
// for what is missing or unreadable, except the two sizes, which files of older versions lack:
// they stay as they are then. Clears rejected_errors. The other fields of `remote` stay as they are.
void LoadRemoteSettingsCache(const IniDocument& file, TRemoteSettings& remote);

// Writes the same ten keys, in that order, into [Params]. Other lines of the file stay.
void StoreRemoteSettingsCache(const TRemoteSettings& remote, IniDocument& file);

}  // namespace vantrel
