#pragma once
// The settings file as one unit: the user's settings and the cached service parameters share
// it, and are read and rewritten together.

#include <expected>
#include <string>

#include "core/app/LocaleInfo.h"
#include "core/app/UserSettings.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

// Loads the settings file at `path` (a missing file gives the defaults); the cached service
// parameters go into `remote` (see LoadRemoteSettingsCache).
UserSettings LoadSettingsFile(const std::string& path, const LocaleInfo& locale, TRemoteSettings& remote);

// Rewrites the settings file at `path` atomically with permissions 0600 (it holds the remembered
// password): the user's settings, then the cached service parameters, other lines kept. The
// previous file stays whole when the write fails, and the error says why.
std::expected<void, std::string> SaveSettingsFile(const std::string& path, const UserSettings& settings,
                                                  const TRemoteSettings& remote, const LocaleInfo& locale);

}  // namespace vantrel
