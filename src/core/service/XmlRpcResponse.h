#pragma once
// Reading the service's XML-RPC responses, and the ways a call can fail.

#include <cstdint>
#include <expected>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/service/ServiceAlbum.h"
#include "core/service/ServiceXml.h"

namespace vantrel {

// Why an XML-RPC call gave no result.
struct RpcError {
    enum class Kind {
        Transport,   // no connection, or a status outside the 200s: "RPC_Error"
        NotXml,      // the response did not parse: "RPC_NoFile" or "RPC_RequestErr"
        Fault,       // the service answered with a fault; nothing is shown
        Missing,     // a wanted member was missing or not usable; nothing is shown
        Conversion,  // an album id of the album list was not a whole number
    };
    Kind kind = Kind::Missing;
    XmlLoadError problem;  // for NotXml
    std::string error;       // transport or conversion error text
    bool networkFailure = false;  // Transport: no answer came at all (refused, reset, silent, no name)

    // Transport and Conversion failures end a transfer run as a connection failure; the other
    // kinds only make the call's result false.
    bool Propagates() const { return kind == Kind::Transport || kind == Kind::Conversion; }

    // The message for the user, or empty text when the call shows nothing: the text of
    // "RPC_Error" for Transport, the load message for NotXml, the error text for Conversion.
    std::string Message(const std::function<std::string(std::string_view)>& translate) const;
};

struct RpcSession {
    std::string objectId;  // member "objectid"
    std::string code;      // member "code": the session code
};

// Readers of a response file. Each first loads the file (NotXml) and looks for a fault (Fault).

// Both "objectid" and "code" of the result struct; the last of each name counts. Missing when
// either is absent.
std::expected<RpcSession, RpcError> ReadSessionNewResponse(const std::string& path);
// The first "member_id" of the result struct; Missing when absent.
std::expected<std::string, RpcError> ReadSessionLoginResponse(const std::string& path);
// Every entry of the result array in order, even none. An entry without a whole-number "id"
// gives Conversion.
std::expected<std::vector<ServiceAlbum>, RpcError> ReadAlbumListResponse(const std::string& path);
// The first "id" of the result struct as a whole number; Missing when absent or not a number.
std::expected<std::int32_t, RpcError> ReadCreateAlbumResponse(const std::string& path);

}  // namespace vantrel
