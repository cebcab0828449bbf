#include "platform/windows/graphics/wgl_adapters.hpp"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <string>

#include "gpu/gl_adapter.hpp"
#include "platform/linux/graphics/runtime_library.hpp"

namespace launcher::gpu {

namespace {

using CreateContext = HGLRC(WINAPI*)(HDC);
using DeleteContext = BOOL(WINAPI*)(HGLRC);
using MakeCurrent = BOOL(WINAPI*)(HDC, HGLRC);
using GetString = const GLubyte*(WINAPI*)(GLenum);

constexpr const wchar_t* window_class = L"LauncherGlAdapterProbe";

// The class is registered once and kept: another thread may be using it at any time.
bool register_window_class() {
    static const bool registered = [] {
        WNDCLASSEXW info{};
        info.cbSize = sizeof info;
        info.style = CS_OWNDC;
        info.lpfnWndProc = DefWindowProcW;
        info.hInstance = GetModuleHandleW(nullptr);
        info.lpszClassName = window_class;
        return RegisterClassExW(&info) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

std::string gl_text(GetString get_string, GLenum name) {
    const auto* text = reinterpret_cast<const char*>(get_string(name));
    return text ? std::string(text) : std::string();
}

}  // namespace

std::vector<GpuInfo> wgl_adapters() {
    void* opengl = runtime_library("opengl32.dll");
    auto create_context = runtime_function<CreateContext>(opengl, "wglCreateContext");
    auto delete_context = runtime_function<DeleteContext>(opengl, "wglDeleteContext");
    auto make_current = runtime_function<MakeCurrent>(opengl, "wglMakeCurrent");
    auto get_string = runtime_function<GetString>(opengl, "glGetString");
    if (!create_context || !delete_context || !make_current || !get_string || !register_window_class()) return {};

    // Never shown: WS_POPUP without WS_VISIBLE.
    Window window(CreateWindowExW(0, window_class, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    if (!window) return {};
    // A class with its own device context: the handle stays valid for the window's life.
    HDC dc = GetDC(window.get());
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.iLayerType = PFD_MAIN_PLANE;
    int chosen = dc ? ChoosePixelFormat(dc, &format) : 0;
    if (chosen == 0 || !SetPixelFormat(dc, chosen, &format)) return {};
    HGLRC context = create_context(dc);
    if (!context) return {};

    std::vector<GpuInfo> adapters;
    if (make_current(dc, context)) {
        auto vendor = gl_text(get_string, GL_VENDOR);
        auto renderer = gl_text(get_string, GL_RENDERER);
        auto version = gl_text(get_string, GL_VERSION);
        auto shading = gl_text(get_string, GL_SHADING_LANGUAGE_VERSION);
        if (!renderer.empty()) adapters.push_back(gl_adapter({vendor, renderer, version, shading}));
        make_current(nullptr, nullptr);
    }
    delete_context(context);
    return adapters;
}

}  // namespace launcher::gpu
