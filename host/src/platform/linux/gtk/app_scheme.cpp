#include "platform/linux/gtk/app_scheme.hpp"

#include <string>

#include "platform/linux/gtk/gobject_ptr.hpp"

namespace launcher::platform::gtk {

namespace {

void serve(WebKitURISchemeRequest* request, gpointer data) {
    const auto& content = *static_cast<const ContentProvider*>(data);
    const char* path = webkit_uri_scheme_request_get_path(request);
    auto answer = content(path ? path : "");
    if (!answer) {
        GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, answer.error().c_str());
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
        return;
    }
    auto* body = new std::vector<std::uint8_t>(std::move(answer->body));
    GBytes* bytes = g_bytes_new_with_free_func(
        body->data(), body->size(), [](gpointer p) { delete static_cast<std::vector<std::uint8_t>*>(p); }, body);
    auto stream = GObjectPtr<GInputStream>::adopt(g_memory_input_stream_new_from_bytes(bytes));
    auto response = GObjectPtr<WebKitURISchemeResponse>::adopt(
        webkit_uri_scheme_response_new(stream.get(), static_cast<gint64>(g_bytes_get_size(bytes))));
    g_bytes_unref(bytes);
    webkit_uri_scheme_response_set_content_type(response.get(), answer->mime_type.c_str());
    webkit_uri_scheme_response_set_status(response.get(), 200, nullptr);
    webkit_uri_scheme_request_finish_with_response(request, response.get());
}

}  // namespace

void register_app_scheme(WebKitWebContext* context, const ContentProvider& content) {
    std::string scheme(app_scheme);
    webkit_web_context_register_uri_scheme(context, scheme.c_str(), serve, const_cast<ContentProvider*>(&content),
                                           nullptr);
    auto* security = webkit_web_context_get_security_manager(context);
    webkit_security_manager_register_uri_scheme_as_secure(security, scheme.c_str());
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, scheme.c_str());
}

}  // namespace launcher::platform::gtk
