// The baseline the launcher's start-up, memory and bridge figures are set beside: a minimal GTK 3
// + WebKitGTK 4.1 program with one window and one web view and nothing of ours in between.
//
//   bare_webview page DIR PATH       a window shaped like the splash (460 x 160, undecorated,
//                                    transparent, centred, above others) loading PATH from DIR
//                                    through a custom scheme; prints "loaded <CLOCK_MONOTONIC s>"
//                                    when the load finishes and stays open until it is killed
//   bare_webview main DIR PATH JS    the same for a window shaped like the main one (800 x 600,
//                                    undecorated, opaque, titled "bare webview main"), with the
//                                    script JS (a stub of the host bridge) run at document start
//   bare_webview round-trips N R     R rounds of N sequential page-to-native messages answered at
//                                    once; prints "rates" and the messages per second of each round
//   bare_webview channel N R         R rounds of N native-to-page script calls; prints "rates" and
//                                    the calls per second of each round
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

// The launcher's policy (host/src/platform/linux/gtk/webkit_view.cpp); a build may set another to compare.
#ifndef BARE_ACCELERATION_POLICY
#define BARE_ACCELERATION_POLICY WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER
#endif

static const char* content_root;

static const char* mime_type_of(const char* path) {
    static const struct {
        const char* extension;
        const char* type;
    } types[] = {{".html", "text/html"},    {".js", "text/javascript"},    {".css", "text/css"},
                 {".svg", "image/svg+xml"}, {".json", "application/json"}, {".png", "image/png"}};
    for (size_t i = 0; i < sizeof types / sizeof types[0]; i++) {
        if (g_str_has_suffix(path, types[i].extension)) return types[i].type;
    }
    return "application/octet-stream";
}

// Serves bare://app/<path> from the content folder, read from disk on every request.
static void serve(WebKitURISchemeRequest* request, gpointer unused) {
    (void)unused;
    const char* path = webkit_uri_scheme_request_get_path(request);
    char* file = g_build_filename(content_root, path, NULL);
    gchar* bytes = NULL;
    gsize size = 0;
    GError* error = NULL;
    if (!g_file_get_contents(file, &bytes, &size, &error)) {
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
    } else {
        GInputStream* stream = g_memory_input_stream_new_from_data(bytes, (gssize)size, g_free);
        webkit_uri_scheme_request_finish(request, stream, (gint64)size, mime_type_of(path));
        g_object_unref(stream);
    }
    g_free(file);
}

static double monotonic_seconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

static void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer unused) {
    (void)view;
    (void)unused;
    if (event != WEBKIT_LOAD_FINISHED) return;
    printf("loaded %.6f\n", monotonic_seconds());
    fflush(stdout);
}

// Answers every echo message at once with the text a cheap host command would return.
static gboolean on_echo(WebKitUserContentManager* manager, JSCValue* message, WebKitScriptMessageReply* reply,
                        gpointer unused) {
    (void)manager;
    (void)unused;
    JSCValue* answer = jsc_value_new_string(jsc_value_get_context(message), "\"0.1.36\"");
    webkit_script_message_reply_return_value(reply, answer);
    g_object_unref(answer);
    return TRUE;
}

static int burst_count;

// The page asks for one burst: that many script calls, each delivering one small JSON message.
static gboolean on_burst(WebKitUserContentManager* manager, JSCValue* message, WebKitScriptMessageReply* reply,
                         gpointer view) {
    (void)manager;
    for (int i = 0; i < burst_count; i++) {
        char script[96];
        int length = snprintf(script, sizeof script, "window.onBurstMessage({\"index\":%d})", i);
        webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view), script, length, NULL, NULL, NULL, NULL, NULL);
    }
    JSCValue* answer = jsc_value_new_null(jsc_value_get_context(message));
    webkit_script_message_reply_return_value(reply, answer);
    g_object_unref(answer);
    return TRUE;
}

static gboolean on_result(WebKitUserContentManager* manager, JSCValue* message, WebKitScriptMessageReply* reply,
                          gpointer unused) {
    (void)manager;
    (void)reply;
    (void)unused;
    char* text = jsc_value_to_string(message);
    printf("rates %s\n", text);
    fflush(stdout);
    g_free(text);
    gtk_main_quit();
    return FALSE;
}

static void add_handler(WebKitUserContentManager* manager, const char* name, GCallback callback, gpointer data) {
    char* signal = g_strconcat("script-message-with-reply-received::", name, NULL);
    g_signal_connect(manager, signal, callback, data);
    g_free(signal);
    webkit_user_content_manager_register_script_message_handler_with_reply(manager, name, NULL);
}

// The page side of both bridge loops: R timed rounds, then the rates (per second) to native.
static const char* bridge_page =
    "<!doctype html><html><body><script>\n"
    "const handlers = window.webkit.messageHandlers;\n"
    "async function roundTrips(n) {\n"
    "  for (let i = 0; i < n; i++) JSON.parse(await handlers.echo.postMessage(String(i)));\n"
    "}\n"
    "function burst(n) {\n"
    "  return new Promise((done) => {\n"
    "    let received = 0;\n"
    "    window.onBurstMessage = () => { if (++received === n) done(); };\n"
    "    handlers.burst.postMessage(n);\n"
    "  });\n"
    "}\n"
    "window.addEventListener('load', async () => {\n"
    "  const rates = [];\n"
    "  for (let round = 0; round < ROUNDS; round++) {\n"
    "    const start = performance.now();\n"
    "    await MODE(COUNT);\n"
    "    rates.push(COUNT / ((performance.now() - start) / 1000));\n"
    "  }\n"
    "  handlers.result.postMessage(rates.map((r) => r.toFixed(1)).join(' '));\n"
    "});\n"
    "</script></body></html>\n";

static char* replace_all(const char* text, const char* placeholder, const char* value) {
    char** parts = g_strsplit(text, placeholder, -1);
    char* joined = g_strjoinv(value, parts);
    g_strfreev(parts);
    return joined;
}

static int usage(void) {
    fprintf(stderr,
            "usage: bare_webview page DIR PATH | bare_webview main DIR PATH JS | bare_webview round-trips N ROUNDS | "
            "bare_webview channel N ROUNDS\n");
    return 2;
}

// Runs the script at document start in the top frame of every page the view loads.
static int add_script_file(WebKitUserContentManager* manager, const char* path) {
    gchar* source = NULL;
    if (!g_file_get_contents(path, &source, NULL, NULL)) {
        fprintf(stderr, "bare_webview: cannot read %s\n", path);
        return 0;
    }
    WebKitUserScript* script = webkit_user_script_new(source, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, NULL, NULL);
    webkit_user_content_manager_add_script(manager, script);
    webkit_user_script_unref(script);
    g_free(source);
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const char* mode = argv[1];
    int main_mode = strcmp(mode, "main") == 0;
    int page_mode = main_mode || strcmp(mode, "page") == 0;
    if (!page_mode && strcmp(mode, "round-trips") != 0 && strcmp(mode, "channel") != 0) return usage();
    if (argc != (main_mode ? 5 : 4)) return usage();
    gtk_init(&argc, &argv);

    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    WebKitUserContentManager* manager = webkit_user_content_manager_new();
    if (main_mode && !add_script_file(manager, argv[4])) return 1;
    // The launcher's view settings, so the comparison is about the host and not a setting.
    WebKitSettings* settings =
        webkit_settings_new_with_settings("enable-developer-extras", FALSE, "enable-page-cache", FALSE, NULL);
    webkit_settings_set_hardware_acceleration_policy(settings, BARE_ACCELERATION_POLICY);
    WebKitWebView* view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context,
                                                       "user-content-manager", manager, "settings", settings, NULL));
    g_object_unref(settings);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "bare webview");
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));

    if (page_mode) {
        content_root = argv[2];
        webkit_web_context_register_uri_scheme(context, "bare", serve, NULL, NULL);
        // The main page fetches its text table, which needs a scheme that answers CORS requests.
        WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
        webkit_security_manager_register_uri_scheme_as_secure(security, "bare");
        webkit_security_manager_register_uri_scheme_as_cors_enabled(security, "bare");
        gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
        if (main_mode) {
            gtk_window_set_title(GTK_WINDOW(window), "bare webview main");
            gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
        } else {
            gtk_window_set_default_size(GTK_WINDOW(window), 460, 160);
            gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
            gtk_window_set_keep_above(GTK_WINDOW(window), TRUE);
            gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window), TRUE);
            GdkVisual* visual = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window));
            if (visual) gtk_widget_set_visual(window, visual);
            gtk_widget_set_app_paintable(window, TRUE);
            GdkRGBA clear = {0, 0, 0, 0};
            webkit_web_view_set_background_color(view, &clear);
        }
        g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), NULL);
        char* uri = g_strconcat("bare://app/", argv[3][0] == '/' ? argv[3] + 1 : argv[3], NULL);
        webkit_web_view_load_uri(view, uri);
        g_free(uri);
    } else {
        burst_count = atoi(argv[2]);
        if (burst_count <= 0 || atoi(argv[3]) <= 0) return usage();
        add_handler(manager, "echo", G_CALLBACK(on_echo), NULL);
        add_handler(manager, "burst", G_CALLBACK(on_burst), view);
        add_handler(manager, "result", G_CALLBACK(on_result), NULL);
        char* with_mode = replace_all(bridge_page, "MODE", mode[0] == 'r' ? "roundTrips" : "burst");
        char* with_count = replace_all(with_mode, "COUNT", argv[2]);
        char* html = replace_all(with_count, "ROUNDS", argv[3]);
        webkit_web_view_load_html(view, html, NULL);
        g_free(with_mode);
        g_free(with_count);
        g_free(html);
        gtk_window_set_default_size(GTK_WINDOW(window), 400, 300);
    }
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
