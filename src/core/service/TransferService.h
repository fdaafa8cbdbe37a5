#pragma once
// The calls of the service that a transfer run makes, as an interface: the program binds it to
// its XML-RPC session, tests may bind it to anything.

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "core/service/ServiceAlbum.h"

namespace vantrel {

// Why a call that reached the service gave no result: the service answered with a fault, left
// out a value the call needs, or sent a document that did not parse.
struct ServiceRefusalError {
    std::string reason;  // for logs and tests; the run shows its own message
};

template <class T>
using ServiceResult = std::expected<T, ServiceRefusalError>;

// Each call gives its result or a refusal. A failed transport is no refusal: it ends the run
// (or sends it into its recovery), and is thrown like the FTP client's connection failures, so
// that it travels through the run's frames to the one place that handles it.
class TransferService {
public:
    virtual ~TransferService() = default;
    // Opens a session; gives its session code.
    virtual ServiceResult<std::string> SessionNew() = 0;
    // Logs in within the session opened by SessionNew; gives the customer id.
    virtual ServiceResult<std::string> SessionLogin(const std::string& email, const std::string& password) = 0;
    // The customer's albums, in the service's order (none is a result too).
    virtual ServiceResult<std::vector<ServiceAlbum>> MemberGetAlbumList() = 0;
    // Creates an album; gives its id.
    virtual ServiceResult<std::int32_t> MemberCreateAlbum(const std::string& name) = 0;
    // The session code of the last SessionNew and the customer id of the last SessionLogin.
    virtual std::string SessionCode() const = 0;
    virtual std::string CustomerId() const = 0;
};

}  // namespace vantrel
