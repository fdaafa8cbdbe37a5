#pragma once
// The request documents of the service's four XML-RPC methods. Each is a methodCall with two
// params: a struct holding the "__meta" struct, then the call's argument. One element per line,
// lines ending in LF, UTF-8.

#include <string>
#include <string_view>

namespace vantrel {

// Text made safe as XML character data: &, < and > become entities, bytes that are not valid
// UTF-8 become U+FFFD and control characters that XML forbids are dropped.
std::string XmlEscapeText(std::string_view text);

// "Community.Session.New": meta clientid 1; argument struct { expiry }.
std::string BuildSessionNewRequest(std::string_view expiry);

// "Community.Session.Login": meta sessioncode, objectid; argument struct { email, password }.
std::string BuildSessionLoginRequest(std::string_view sessionCode, std::string_view objectId,
                                     std::string_view email, std::string_view password);

// "Community.Member.GetAlbumList": meta objectid (customer id), sessioncode; argument the
// customer id as a bare string.
std::string BuildMemberGetAlbumListRequest(std::string_view customerId, std::string_view sessionCode);

// "Community.Member.CreateAlbum": meta objectid (customer id), sessioncode; argument struct { name }.
std::string BuildMemberCreateAlbumRequest(std::string_view customerId, std::string_view sessionCode,
                                          std::string_view albumName);

}  // namespace vantrel
