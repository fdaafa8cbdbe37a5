#include "core/service/XmlRpcTransferService.h"

namespace vantrel {
namespace {

std::string DescribeProblem(const RpcProblem& problem) {
    if (problem.kind == RpcProblem::Kind::NotXml) {
        const std::string& detail = !problem.problem.reason.empty() ? problem.problem.reason : problem.error;
        return "the service's answer could not be read (" + (detail.empty() ? std::string("it was empty") : detail) + ")";
    }
    if (!problem.error.empty()) return problem.error;
    switch (problem.kind) {
    case RpcProblem::Kind::Transport: return "XML-RPC transport failure";
    case RpcProblem::Kind::Conversion: return "XML-RPC conversion error";
    case RpcProblem::Kind::Fault: return "XML-RPC fault";
    case RpcProblem::Kind::NotXml:
    case RpcProblem::Kind::Missing: break;
    }
    return "XML-RPC answer without the value asked for";
}

}  // namespace

TServiceCallError::TServiceCallError(RpcProblem problem)
    : std::runtime_error(DescribeProblem(problem)), problem_(std::move(problem)) {}

TXmlRpcTransferService::TXmlRpcTransferService(TXmlRpcService& rpc) : rpc_(rpc) {}

std::unexpected<TServiceRefusal> TXmlRpcTransferService::Refused(const RpcProblem& problem) {
    if (problem.Propagates()) throw TServiceCallError(problem);
    // An answer that cannot be read says nothing of the login or the albums: the run ends as a
    // connection failure, after the message that shows what could not be read.
    if (problem.kind == RpcProblem::Kind::NotXml) {
        if (OnUnreadableResponse) OnUnreadableResponse(problem);
        throw TServiceCallError(problem);
    }
    return std::unexpected(TServiceRefusal{DescribeProblem(problem)});
}

TServiceResult<std::string> TXmlRpcTransferService::SessionNew() {
    haveSession_ = false;
    session_ = {};
    customerId_.clear();
    auto session = rpc_.SessionNew();
    if (!session) return Refused(session.error());
    session_ = std::move(*session);
    haveSession_ = true;
    return session_.code;
}

TServiceResult<std::string> TXmlRpcTransferService::SessionLogin(const std::string& email,
                                                                 const std::string& password) {
    customerId_.clear();
    if (!haveSession_) return std::unexpected(TServiceRefusal{"no session"});
    auto member = rpc_.SessionLogin(session_.objectId, session_.code, email, password);
    if (!member) return Refused(member.error());
    customerId_ = std::move(*member);
    return customerId_;
}

TServiceResult<std::vector<TServiceAlbum>> TXmlRpcTransferService::MemberGetAlbumList() {
    auto listed = rpc_.MemberGetAlbumList(customerId_, session_.code);
    if (!listed) return Refused(listed.error());
    return std::move(*listed);
}

TServiceResult<std::int32_t> TXmlRpcTransferService::MemberCreateAlbum(const std::string& name) {
    auto created = rpc_.MemberCreateAlbum(customerId_, session_.code, name);
    if (!created) return Refused(created.error());
    return *created;
}

}  // namespace vantrel
