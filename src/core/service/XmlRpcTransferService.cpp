#include "core/service/XmlRpcTransferService.h"

namespace vantrel {
namespace {

std::string DescribeProblem(const RpcError& problem) {
    if (problem.kind == RpcError::Kind::NotXml) {
        const std::string& detail = !problem.problem.reason.empty() ? problem.problem.reason : problem.error;
        return "the service's answer could not be read (" + (detail.empty() ? std::string("it was empty") : detail) + ")";
    }
    if (!problem.error.empty()) return problem.error;
    switch (problem.kind) {
    case RpcError::Kind::Transport: return "XML-RPC transport failure";
    case RpcError::Kind::Conversion: return "XML-RPC conversion error";
    case RpcError::Kind::Fault: return "XML-RPC fault";
    case RpcError::Kind::NotXml:
    case RpcError::Kind::Missing: break;
    }
    return "XML-RPC answer without the value asked for";
}

}  // namespace

ServiceCallError::ServiceCallError(RpcError problem)
    : std::runtime_error(DescribeProblem(problem)), problem_(std::move(problem)) {}

XmlRpcTransferService::XmlRpcTransferService(XmlRpcService& rpc) : rpc_(rpc) {}

std::unexpected<ServiceRefusalError> XmlRpcTransferService::Refused(const RpcError& problem) {
    if (problem.Propagates()) throw ServiceCallError(problem);
    // An answer that cannot be read says nothing of the login or the albums: the run ends as a
    // connection failure, after the message that shows what could not be read.
    if (problem.kind == RpcError::Kind::NotXml) {
        if (OnUnreadableResponse) OnUnreadableResponse(problem);
        throw ServiceCallError(problem);
    }
    return std::unexpected(ServiceRefusalError{DescribeProblem(problem)});
}

ServiceResult<std::string> XmlRpcTransferService::SessionNew() {
    haveSession_ = false;
    session_ = {};
    customerId_.clear();
    auto session = rpc_.SessionNew();
    if (!session) return Refused(session.error());
    session_ = std::move(*session);
    haveSession_ = true;
    return session_.code;
}

ServiceResult<std::string> XmlRpcTransferService::SessionLogin(const std::string& email,
                                                               const std::string& password) {
    customerId_.clear();
    if (!haveSession_) return std::unexpected(ServiceRefusalError{"no session"});
    auto member = rpc_.SessionLogin(session_.objectId, session_.code, email, password);
    if (!member) return Refused(member.error());
    customerId_ = std::move(*member);
    return customerId_;
}

ServiceResult<std::vector<ServiceAlbum>> XmlRpcTransferService::MemberGetAlbumList() {
    auto listed = rpc_.MemberGetAlbumList(customerId_, session_.code);
    if (!listed) return Refused(listed.error());
    return std::move(*listed);
}

ServiceResult<std::int32_t> XmlRpcTransferService::MemberCreateAlbum(const std::string& name) {
    auto created = rpc_.MemberCreateAlbum(customerId_, session_.code, name);
    if (!created) return Refused(created.error());
    return *created;
}

}  // namespace vantrel
