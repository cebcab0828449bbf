#include "platform/linux/gtk/webkit_view.hpp"

#include "core/page_deliveries.hpp"

namespace launcher::platform::gtk {

// The host's way back into the page currently shown by a view. Each new page gets its own
// channel; the old one is detached, so late deliveries never reach a page that did not ask.
class PageChannel : public core::PageLink, public std::enable_shared_from_this<PageChannel> {
public:
    PageChannel(MainLoop& loop, WebKitWebView* view, std::string label)
        : loop_(loop), view_(view), label_(std::move(label)) {}

    // Deliveries made before the main loop gets to them share one script evaluation: each
    // evaluation costs the page far more than the callback it runs.
    void deliver(std::uint32_t callback_id, const Json& payload) override {
        if (!pending_.push(callback_id, payload)) return;
        loop_.post([self = shared_from_this()] {
            auto script = self->pending_.take();
            if (!self->view_) return;
            webkit_web_view_evaluate_javascript(self->view_, script.data(), static_cast<gssize>(script.size()), nullptr,
                                                nullptr, nullptr, nullptr, nullptr);
        });
    }
    const std::string& webview_label() const override { return label_; }

    // Main thread.
    void detach() { view_ = nullptr; }

private:
    MainLoop& loop_;
    WebKitWebView* view_;
    std::string label_;
    core::PageDeliveries pending_;
};

namespace {

void add_script(WebKitUserContentManager* content, const std::string& source, bool top_frame_only) {
    auto* script = webkit_user_script_new(
        source.c_str(), top_frame_only ? WEBKIT_USER_CONTENT_INJECT_TOP_FRAME : WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, script);
    webkit_user_script_unref(script);
}

// Keeps what a reply needs alive until the answer comes back on the main thread.
struct PendingReply {
    WebKitScriptMessageReply* reply;
    JSCContext* context;

    PendingReply(WebKitScriptMessageReply* r, JSCContext* c)
        : reply(webkit_script_message_reply_ref(r)), context(JSC_CONTEXT(g_object_ref(c))) {}
    ~PendingReply() {
        webkit_script_message_reply_unref(reply);
        g_object_unref(context);
    }
    // WebKit reads an error message as a C string; encode_reply keeps both kinds free of NUL.
    void answer(const core::CommandResult& result) const {
        auto encoded = core::encode_reply(result);
        if (encoded.ok) {
            GBytes* bytes = g_bytes_new(encoded.json.data(), encoded.json.size());
            auto* value = jsc_value_new_string_from_bytes(context, bytes);
            g_bytes_unref(bytes);
            webkit_script_message_reply_return_value(reply, value);
            g_object_unref(value);
        } else {
            webkit_script_message_reply_return_error_message(reply, encoded.json.c_str());
        }
    }
};

}  // namespace

// One wait for a drawn frame. The view's callbacks each hold a reference; `drawn` is cleared once
// it has run or the view is gone, so late callbacks find nothing to do.
struct FrameWait {
    std::function<void()> drawn;
    GtkWidget* widget = nullptr;
    guint timeout = 0;
    guint tick = 0;
    int ticks_left = 2;

    void finish() {
        if (timeout) g_source_remove(std::exchange(timeout, 0));
        if (tick) gtk_widget_remove_tick_callback(widget, std::exchange(tick, 0));
        if (auto run = std::exchange(drawn, nullptr)) run();
    }
    void cancel() {
        drawn = nullptr;
        finish();
    }
};

namespace {

using FrameWaitRef = std::shared_ptr<FrameWait>;

constexpr guint frame_wait_limit_ms = 1500;

// Resolves after the page's second animation frame: the first frame has then been rendered and
// handed to the window. It runs in a world of its own, beside the page's scripts.
constexpr const char* two_animation_frames =
    "return new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(true))));";

void delete_frame_wait_ref(gpointer ref) { delete static_cast<FrameWaitRef*>(ref); }

gboolean on_frame_wait_tick(GtkWidget*, GdkFrameClock*, gpointer ref) {
    auto& wait = **static_cast<FrameWaitRef*>(ref);
    if (--wait.ticks_left > 0) return G_SOURCE_CONTINUE;
    wait.tick = 0;
    wait.finish();
    return G_SOURCE_REMOVE;
}

// The page has rendered; let the window paint what it was given before saying so.
void on_animation_frames(GObject* view, GAsyncResult* result, gpointer ref) {
    if (auto* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(view), result, nullptr)) {
        g_object_unref(value);
    }
    auto wait = *static_cast<FrameWaitRef*>(ref);
    delete static_cast<FrameWaitRef*>(ref);
    if (!wait->drawn || wait->tick) return;
    wait->tick =
        gtk_widget_add_tick_callback(wait->widget, on_frame_wait_tick, new FrameWaitRef(wait), delete_frame_wait_ref);
}

}  // namespace

WebView::WebView(core::App& app, WebKitWebContext* context, const WindowConfig& config, WebKitWebView* related,
                 bool controlled_by_automation)
    : app_(app), bridge_(config.label, app_origin) {
    content_ = GObjectPtr<WebKitUserContentManager>::adopt(webkit_user_content_manager_new());
    add_script(content_.get(), bridge_.script(), true);
    for (const auto& script : app.page_scripts()) add_script(content_.get(), script.source, script.top_frame_only);
    g_signal_connect(content_.get(), "script-message-with-reply-received::ipc", G_CALLBACK(on_message), this);
    webkit_user_content_manager_register_script_message_handler_with_reply(content_.get(), "ipc", nullptr);

    auto* settings =
        webkit_settings_new_with_settings("enable-developer-extras", FALSE, "enable-page-cache", FALSE, nullptr);
    // WebKit's accelerated renderer left the main window, created hidden, blank for about two
    // seconds after it was shown (measured under Xvfb: first paint 2.4 s after navigation with
    // acceleration, 0.3 s without). The launcher's pages are light enough to draw in software.
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    if (related) {
        view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related, "user-content-manager",
                                             content_.get(), "settings", settings, "is-controlled-by-automation",
                                             controlled_by_automation, nullptr));
    } else {
        view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager",
                                             content_.get(), "settings", settings, "is-controlled-by-automation",
                                             controlled_by_automation, nullptr));
    }
    g_object_unref(settings);
    // Our own reference keeps the view valid until this object goes, even after its window
    // has been destroyed.
    g_object_ref_sink(view_);
    if (config.transparent) {
        GdkRGBA clear = {0, 0, 0, 0};
        webkit_web_view_set_background_color(view_, &clear);
    }
    g_signal_connect(view_, "load-changed", G_CALLBACK(on_load_changed), this);
    page_ = std::make_shared<PageChannel>(app_.loop(), view_, bridge_.label());
}

WebView::~WebView() {
    if (frame_wait_) frame_wait_->cancel();
    page_->detach();
    g_signal_handlers_disconnect_by_data(content_.get(), this);
    g_signal_handlers_disconnect_by_data(view_, this);
    webkit_user_content_manager_unregister_script_message_handler(content_.get(), "ipc");
    g_object_unref(view_);
}

void WebView::load(const std::string& page) {
    auto uri = std::string(app_origin) + "/" + (page.starts_with('/') ? page.substr(1) : page);
    webkit_web_view_load_uri(view_, uri.c_str());
}

void WebView::after_next_frame(std::function<void()> drawn) {
    if (frame_wait_) frame_wait_->cancel();
    frame_wait_ = std::make_shared<FrameWait>();
    frame_wait_->drawn = std::move(drawn);
    frame_wait_->widget = widget();
    frame_wait_->timeout = g_timeout_add_full(
        G_PRIORITY_DEFAULT, frame_wait_limit_ms,
        [](gpointer ref) {
            auto& wait = **static_cast<FrameWaitRef*>(ref);
            wait.timeout = 0;
            wait.finish();
            return G_SOURCE_REMOVE;
        },
        new FrameWaitRef(frame_wait_), delete_frame_wait_ref);
    webkit_web_view_call_async_javascript_function(view_, two_animation_frames, -1, nullptr, "launcher-frame-wait",
                                                   nullptr, nullptr, on_animation_frames,
                                                   new FrameWaitRef(frame_wait_));
}

void WebView::on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
    if (event == WEBKIT_LOAD_COMMITTED) static_cast<WebView*>(self)->new_page();
}

// A new document replaced the old one: its callbacks and listeners are gone with it.
void WebView::new_page() {
    page_->detach();
    page_ = std::make_shared<PageChannel>(app_.loop(), view_, bridge_.label());
    app_.events().forget_page(bridge_.label());
}

gboolean WebView::on_message(WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply,
                             gpointer self) {
    static_cast<WebView*>(self)->handle_message(message, reply);
    return TRUE;
}

void WebView::handle_message(JSCValue* message, WebKitScriptMessageReply* reply) {
    auto pending = std::make_shared<PendingReply>(reply, jsc_value_get_context(message));
    if (!jsc_value_is_string(message)) {
        pending->answer(std::unexpected(std::string(core::malformed_message)));
        return;
    }
    // The text whole, NUL bytes included, so the decoder sees what the page sent.
    GBytes* bytes = jsc_value_to_string_as_bytes(message);
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    const char* uri = webkit_web_view_get_uri(view_);
    auto request = bridge_.decode(std::string_view(data, size), uri ? uri : "");
    g_bytes_unref(bytes);
    if (!request) {
        pending->answer(std::unexpected(std::move(request.error())));
        return;
    }
    request->page = page_;
    app_.router().dispatch(std::move(*request), [pending](core::CommandResult result) { pending->answer(result); });
}

}  // namespace launcher::platform::gtk
