#include "core/service/RemoteSettingsReader.h"

#include <vector>

#include "core/base/AsciiText.h"

namespace vantrel {
namespace {

std::vector<pugi::xml_node> Children(pugi::xml_node node) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node child : node.children()) out.push_back(child);
    return out;
}

// Calls `visit(keyText, valueNode)` for each key/value pair of a dict's children; a key
// without a following node gets an empty value node.
template <typename Visit>
bool ForEachPair(pugi::xml_node dict, Visit&& visit) {
    const auto children = Children(dict);
    for (size_t j = 0; j < children.size(); j += 2) {
        const pugi::xml_node value = j + 1 < children.size() ? children[j + 1] : pugi::xml_node();
        if (!visit(FirstChildValue(children[j]), value)) return false;
    }
    return true;
}

std::string* TextField(TRemoteSettings& s, std::string_view key) {
    if (key == "ftp_host") return &s.ftp_host;
    if (key == "ftp_login") return &s.ftp_login;
    if (key == "ftp_password") return &s.ftp_password;
    if (key == "script_url") return &s.script_url;
    if (key == "rejected_errors") return &s.rejected_errors;
    if (key == "passthru_name") return &s.passthru_name;
    if (key == "passthru_value") return &s.passthru_value;
    return nullptr;
}

int* IntegerField(TRemoteSettings& s, std::string_view key) {
    if (key == "picture_minsize") return &s.picture_minsize;
    if (key == "picture_maxsize") return &s.picture_maxsize;
    if (key == "size_thumbnail") return &s.size_thumbnail;
    if (key == "size_scaled") return &s.size_scaled;
    return nullptr;
}

std::string* VersionField(TRemoteSettings& s, std::string_view key) {
    if (key == "current_version") return &s.current_version;
    if (key == "update_url") return &s.update_url;
    return nullptr;
}

std::string* SpecificUrlField(TRemoteSettings& s, std::string_view key) {
    if (key == "advert_url") return &s.advert_url;
    if (key == "website_url") return &s.website_url;
    if (key == "autologin_url") return &s.autologin_url;
    return nullptr;
}

// Walks the regions of "versions" or "specific_url" and applies those meant for the user.
void ReadRegions(pugi::xml_node regions, std::string_view country, TRemoteSettings& s,
                 std::string* (*field)(TRemoteSettings&, std::string_view)) {
    const std::string wanted = ToUpperAscii(country);
    ForEachPair(regions, [&](const std::string& region, pugi::xml_node dict) {
        if (region != "Default" && (wanted.empty() || ToUpperAscii(region) != wanted)) return true;
        ForEachPair(dict, [&](const std::string& key, pugi::xml_node value) {
            if (std::string* target = field(s, key)) *target = FirstChildValue(value);
            return true;
        });
        return true;
    });
}

}  // namespace

std::string RemoteSettingsResult::Message(const std::function<std::string(std::string_view)>& translate) const {
    switch (status) {
        case Status::NotXml: return ComposeXmlLoadMessage(problem, "Parm_NoFile", "Parm_RequestErr", translate);
        case Status::ConversionError: return error;
        default: return {};
    }
}

RemoteSettingsResult ReadRemoteSettingsFile(const std::string& path, std::string_view country,
                                            TRemoteSettings& settings) {
    RemoteSettingsResult result;
    auto doc = LoadXmlFile(path);
    if (!doc) {
        result.status = RemoteSettingsResult::Status::NotXml;
        result.problem = doc.error();
        return result;
    }
    result.status = RemoteSettingsResult::Status::Loaded;
    const pugi::xml_node top = (*doc)->child("plist").child("dict");
    for (pugi::xml_node key = top.child("key"); key; key = key.next_sibling("key")) {
        if (FirstChildValue(key) != kRemoteSettingsClientKey) continue;
        // The entry's value is the node that follows its key; anything but a dict holds nothing.
        const pugi::xml_node entry = key.next_sibling();
        if (std::string_view(entry.name()) != "dict") continue;
        const bool complete = ForEachPair(entry, [&](const std::string& name, pugi::xml_node value) {
            if (std::string* text = TextField(settings, name)) {
                *text = FirstChildValue(value);
            } else if (int* number = IntegerField(settings, name)) {
                auto parsed = ParseWholeNumber(FirstChildValue(value));
                if (!parsed) {
                    result.status = RemoteSettingsResult::Status::ConversionError;
                    result.error = parsed.error();
                    return false;
                }
                *number = *parsed;
            } else if (name == "versions") {
                ReadRegions(value, country, settings, VersionField);
            } else if (name == "specific_url") {
                ReadRegions(value, country, settings, SpecificUrlField);
            }
            return true;
        });
        if (!complete) break;
    }
    return result;
}

}  // namespace vantrel
