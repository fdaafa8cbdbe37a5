#pragma once
// The calls of the service that a transfer run makes, as an interface: the program binds it to
// its XML-RPC session, tests may bind it to anything.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

struct TServiceAlbum {
    std::string name;
    std::int32_t id = 0;
};

class TTransferService {
public:
    virtual ~TTransferService() = default;
    // Each returns false when the service refused or answered something unreadable, and throws
    // when the transport failed.
    virtual bool SessionNew() = 0;
    virtual bool SessionLogin(const std::string& email, const std::string& password) = 0;
    virtual bool MemberGetAlbumList(std::vector<TServiceAlbum>& albums) = 0;
    virtual bool MemberCreateAlbum(const std::string& name, std::int32_t& albumId) = 0;
    // The session code of SessionNew and the customer id of SessionLogin.
    virtual std::string SessionCode() const = 0;
    virtual std::string CustomerId() const = 0;
};

}  // namespace vantrel
