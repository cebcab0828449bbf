#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>

#include "core/app.hpp"
#include "core/ipc.hpp"
#include "core/page_link.hpp"
#include "platform/desktop.hpp"
#include "platform/linux/gtk/gobject_ptr.hpp"

namespace launcher::platform::gtk {

using core::MainLoop;

class PageChannel;
struct FrameWait;

// One web view with the host's page scripts and the command bridge. Pages served from the
// application's scheme in the top frame are local callers; anything else reaches no plugin
// command. Main thread.
class WebView {
public:
    // `related` shares its web process with an existing view (faster start of the second window).
    WebView(core::App& app, WebKitWebContext* context, const WindowConfig& config, WebKitWebView* related,
            bool controlled_by_automation);
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    GtkWidget* widget() const { return GTK_WIDGET(view_); }
    WebKitWebView* view() const { return view_; }
    void load(const std::string& page);
    // Main thread. Runs `drawn` once the view has drawn a frame of its page (the page rendered two
    // animation frames, then the window painted twice), or after a second and a half if that never
    // happens, so a broken page cannot hold back what waits for it. A later call replaces the wait.
    void after_next_frame(std::function<void()> drawn);

private:
    static gboolean on_message(WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply,
                               gpointer self);
    static void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    void handle_message(JSCValue* message, WebKitScriptMessageReply* reply);
    void new_page();

    core::App& app_;
    core::PageBridge bridge_;  // the view's label and its end of the page protocol
    GObjectPtr<WebKitUserContentManager> content_;
    WebKitWebView* view_ = nullptr;  // owned by its window
    std::shared_ptr<PageChannel> page_;
    std::shared_ptr<FrameWait> frame_wait_;
};

}  // namespace launcher::platform::gtk
