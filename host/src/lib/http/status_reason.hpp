#pragma once

#include <string>
#include <string_view>

namespace launcher::lib::http {

// "404 Not Found": the status code and its registered reason phrase. HTTP/2 carries no reason
// phrase, so the registered one is used for every version; `sent` (the server's own phrase) is
// the fallback for codes without a registered phrase.
std::string status_text(long status, std::string_view sent);

}  // namespace launcher::lib::http
