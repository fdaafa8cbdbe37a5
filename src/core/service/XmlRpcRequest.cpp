#include "core/service/XmlRpcRequest.h"

#include <utility>
#include <vector>

namespace vantrel {
namespace {

// Length of the valid UTF-8 sequence at `i`, or 0 when the bytes there are not one.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    size_t n = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((c & 0xE0) == 0xC0) n = 2, min = 0x80, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0) n = 3, min = 0x800, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0) n = 4, min = 0x10000, cp = c & 0x07;
    else return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return 0;
    return n;
}

// One typed member or value, written as "<value><type>text</type></value>".
struct Member {
    std::string_view name;
    std::string_view type;  // "int" or "string"
    std::string_view text;
};

class Writer {
public:
    void Line(int depth, std::string_view text) {
        out_.append(static_cast<size_t>(depth) * 2, ' ');
        out_.append(text);
        out_ += '\n';
    }
    void Value(int depth, std::string_view type, std::string_view text) {
        Line(depth, "<value><" + std::string(type) + ">" + XmlEscapeText(text) + "</" + std::string(type) + "></value>");
    }
    void Struct(int depth, const std::vector<Member>& members) {
        Line(depth, "<struct>");
        for (const auto& m : members) {
            Line(depth + 1, "<member>");
            Line(depth + 2, "<name>" + XmlEscapeText(m.name) + "</name>");
            Value(depth + 2, m.type, m.text);
            Line(depth + 1, "</member>");
        }
        Line(depth, "</struct>");
    }
    std::string& Text() { return out_; }

private:
    std::string out_;
};

// The whole document; `argument` writes the second param's value at the depth it is given.
template <typename Argument>
std::string BuildCall(std::string_view method, const std::vector<Member>& meta, Argument&& argument) {
    Writer w;
    w.Line(0, R"(<?xml version="1.0" encoding="utf-8"?>)");
    w.Line(0, "<methodCall>");
    w.Line(1, "<methodName>" + XmlEscapeText(method) + "</methodName>");
    w.Line(1, "<params>");
    w.Line(2, "<param>");
    w.Line(3, "<value>");
    w.Line(4, "<struct>");
    w.Line(5, "<member>");
    w.Line(6, "<name>__meta</name>");
    w.Line(6, "<value>");
    w.Struct(7, meta);
    w.Line(6, "</value>");
    w.Line(5, "</member>");
    w.Line(4, "</struct>");
    w.Line(3, "</value>");
    w.Line(2, "</param>");
    w.Line(2, "<param>");
    argument(w, 3);
    w.Line(2, "</param>");
    w.Line(1, "</params>");
    w.Line(0, "</methodCall>");
    return std::move(w.Text());
}

auto StructArgument(std::vector<Member> members) {
    return [members = std::move(members)](Writer& w, int depth) {
        w.Line(depth, "<value>");
        w.Struct(depth + 1, members);
        w.Line(depth, "</value>");
    };
}

}  // namespace

std::string XmlEscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '&': out += "&amp;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                default:
                    if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        const size_t n = Utf8SequenceLength(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string BuildSessionNewRequest(std::string_view expiry) {
    return BuildCall("Community.Session.New", {{"clientid", "int", "1"}},
                     StructArgument({{"expiry", "string", expiry}}));
}

std::string BuildSessionLoginRequest(std::string_view sessionCode, std::string_view objectId,
                                     std::string_view email, std::string_view password) {
    return BuildCall("Community.Session.Login",
                     {{"sessioncode", "string", sessionCode}, {"objectid", "string", objectId}},
                     StructArgument({{"email", "string", email}, {"password", "string", password}}));
}

std::string BuildMemberGetAlbumListRequest(std::string_view customerId, std::string_view sessionCode) {
    return BuildCall("Community.Member.GetAlbumList",
                     {{"objectid", "string", customerId}, {"sessioncode", "string", sessionCode}},
                     [customerId](Writer& w, int depth) { w.Value(depth, "string", customerId); });
}

std::string BuildMemberCreateAlbumRequest(std::string_view customerId, std::string_view sessionCode,
                                          std::string_view albumName) {
    return BuildCall("Community.Member.CreateAlbum",
                     {{"objectid", "string", customerId}, {"sessioncode", "string", sessionCode}},
                     StructArgument({{"name", "string", albumName}}));
}

}  // namespace vantrel
