#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "core/command.hpp"

namespace launcher::core {

// The page side of the command protocol, the same for every web view backend: the bridge script a
// view injects into its top frame, the reading of the envelopes that script posts
// (`{"cmd": name, "args": object, "token": text}`), and the encoding of the replies. A backend
// keeps only the transport: handing the message text in and the reply text back.

// The error that answers anything that is no command envelope.
inline constexpr std::string_view malformed_message = "malformed command message";

// What the transport sends back for one command. Both kinds carry JSON text that is valid UTF-8
// (U+FFFD for bytes of a host text that are no character) without NUL (escaped as \u0000): a
// web view may read an error as a C string, and turn text that is not UTF-8 into undefined.
struct PageReply {
    bool ok;           // true: the answer, which the bridge resolves with; false: the bridge rejects
    std::string json;  // the answer as compact JSON, or the error text as a JSON string
};

PageReply encode_reply(const CommandResult& result);

// One web view's end of the protocol: its label and the token that only its bridge knows, made
// from libsodium's random source.
class PageBridge {
public:
    // `app_origin`: the origin the backend serves the application's pages from.
    PageBridge(std::string label, std::string_view app_origin);

    const std::string& label() const { return label_; }
    const std::string& token() const { return token_; }

    // The bridge script with the view's label and token filled in.
    std::string script() const;

    // A message the page posted, and the URI of the page the view shows (empty when it shows
    // none). The caller is local when the envelope carries this view's token and the page is one
    // of the application's origin; anything else is a foreign caller. The request's `page` is
    // left for the transport. Fails with malformed_message for anything but an object with a
    // string `cmd`; arguments that are missing or no object are taken as `{}`.
    std::expected<Request, std::string> decode(std::string_view message, std::string_view page_uri) const;

private:
    bool is_app_page(std::string_view uri) const;

    std::string label_;
    std::string app_origin_;
    std::string token_;
};

}  // namespace launcher::core
