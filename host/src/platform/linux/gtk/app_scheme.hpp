#pragma once

#include <webkit2/webkit2.h>

#include "platform/desktop.hpp"

namespace launcher::platform::gtk {

// Serves the application's own scheme from the content provider. Answers carry no
// Content-Security-Policy header; a path the provider does not know fails the request
// with the provider's message. Main thread.
void register_app_scheme(WebKitWebContext* context, const ContentProvider& content);

}  // namespace launcher::platform::gtk
