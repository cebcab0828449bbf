#include "platform/linux/graphics/gl_adapters.hpp"

#define EGL_EGL_PROTOTYPES 0
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <string>

#include "platform/linux/graphics/runtime_library.hpp"

namespace launcher::gpu {

namespace {

using GetString = const GLubyte*(GLAPIENTRY*)(GLenum name);

constexpr const char* egl_name = "libEGL.so.1";

bool has_word(std::string_view list, std::string_view word) {
    for (std::size_t at = list.find(word); at != std::string_view::npos; at = list.find(word, at + 1)) {
        bool starts = at == 0 || list[at - 1] == ' ';
        bool ends = at + word.size() == list.size() || list[at + word.size()] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

// The EGL entry points the probe calls, looked up in the loaded library.
struct Egl {
    PFNEGLGETPROCADDRESSPROC get_proc_address;
    PFNEGLQUERYSTRINGPROC query_string;
    PFNEGLGETDISPLAYPROC get_display;
    PFNEGLINITIALIZEPROC initialize;
    PFNEGLBINDAPIPROC bind_api;
    PFNEGLCHOOSECONFIGPROC choose_config;
    PFNEGLCREATECONTEXTPROC create_context;
    PFNEGLDESTROYCONTEXTPROC destroy_context;
    PFNEGLCREATEPBUFFERSURFACEPROC create_pbuffer;
    PFNEGLDESTROYSURFACEPROC destroy_surface;
    PFNEGLMAKECURRENTPROC make_current;
    PFNEGLRELEASETHREADPROC release_thread;

    bool complete() const {
        return get_proc_address && query_string && get_display && initialize && bind_api && choose_config &&
               create_context && destroy_context && create_pbuffer && destroy_surface && make_current && release_thread;
    }
};

Egl load_egl(void* library) {
    return Egl{
        runtime_function<PFNEGLGETPROCADDRESSPROC>(library, "eglGetProcAddress"),
        runtime_function<PFNEGLQUERYSTRINGPROC>(library, "eglQueryString"),
        runtime_function<PFNEGLGETDISPLAYPROC>(library, "eglGetDisplay"),
        runtime_function<PFNEGLINITIALIZEPROC>(library, "eglInitialize"),
        runtime_function<PFNEGLBINDAPIPROC>(library, "eglBindAPI"),
        runtime_function<PFNEGLCHOOSECONFIGPROC>(library, "eglChooseConfig"),
        runtime_function<PFNEGLCREATECONTEXTPROC>(library, "eglCreateContext"),
        runtime_function<PFNEGLDESTROYCONTEXTPROC>(library, "eglDestroyContext"),
        runtime_function<PFNEGLCREATEPBUFFERSURFACEPROC>(library, "eglCreatePbufferSurface"),
        runtime_function<PFNEGLDESTROYSURFACEPROC>(library, "eglDestroySurface"),
        runtime_function<PFNEGLMAKECURRENTPROC>(library, "eglMakeCurrent"),
        runtime_function<PFNEGLRELEASETHREADPROC>(library, "eglReleaseThread"),
    };
}

// Mesa's surfaceless platform needs no display server; elsewhere the default display is used.
EGLDisplay open_display(const Egl& egl) {
    const char* client_extensions = egl.query_string(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (client_extensions && has_word(client_extensions, "EGL_MESA_platform_surfaceless")) {
        auto get_platform_display =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(egl.get_proc_address("eglGetPlatformDisplayEXT"));
        if (get_platform_display) {
            EGLDisplay display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (display != EGL_NO_DISPLAY) return display;
        }
    }
    return egl.get_display(EGL_DEFAULT_DISPLAY);
}

std::string gl_text(GetString get_string, GLenum name) {
    const auto* text = reinterpret_cast<const char*>(get_string(name));
    return text ? std::string(text) : std::string();
}

// One pass over an initialised display: a context current on this thread, its strings, and
// everything released again.
std::vector<GpuInfo> read_display(const Egl& egl, EGLDisplay display) {
    bool desktop = egl.bind_api(EGL_OPENGL_API) == EGL_TRUE;
    if (!desktop && egl.bind_api(EGL_OPENGL_ES_API) != EGL_TRUE) return {};
    const EGLint config_attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                        desktop ? EGL_OPENGL_BIT : EGL_OPENGL_ES2_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (egl.choose_config(display, config_attributes, &config, 1, &configs) != EGL_TRUE || configs < 1) return {};
    const EGLint es_attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext context = egl.create_context(display, config, EGL_NO_CONTEXT, desktop ? nullptr : es_attributes);
    if (context == EGL_NO_CONTEXT) return {};

    EGLSurface surface = EGL_NO_SURFACE;
    const char* display_extensions = egl.query_string(display, EGL_EXTENSIONS);
    if (!display_extensions || !has_word(display_extensions, "EGL_KHR_surfaceless_context")) {
        const EGLint pbuffer_attributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        surface = egl.create_pbuffer(display, config, pbuffer_attributes);
    }
    std::vector<GpuInfo> adapters;
    auto get_string = reinterpret_cast<GetString>(egl.get_proc_address("glGetString"));
    if (get_string && egl.make_current(display, surface, surface, context) == EGL_TRUE) {
        auto vendor = gl_text(get_string, GL_VENDOR);
        auto renderer = gl_text(get_string, GL_RENDERER);
        auto version = gl_text(get_string, GL_VERSION);
        auto shading = gl_text(get_string, GL_SHADING_LANGUAGE_VERSION);
        if (!renderer.empty()) adapters.push_back(gl_adapter({vendor, renderer, version, shading}));
        egl.make_current(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (surface != EGL_NO_SURFACE) egl.destroy_surface(display, surface);
    egl.destroy_context(display, context);
    return adapters;
}

}  // namespace

std::vector<GpuInfo> gl_adapters() {
    Egl egl = load_egl(runtime_library(egl_name));
    if (!egl.complete()) return {};
    // An EGL display is one per process and shared with anything else in it that draws (the web
    // views may use the same one), and eglTerminate would end it for all of them. So the display
    // stays initialised, like the library; each call makes and destroys its own context.
    // eglInitialize on an initialised display changes nothing.
    EGLDisplay display = open_display(egl);
    if (display == EGL_NO_DISPLAY) return {};
    if (egl.initialize(display, nullptr, nullptr) != EGL_TRUE) return {};
    auto adapters = read_display(egl, display);
    egl.release_thread();
    return adapters;
}

}  // namespace launcher::gpu
