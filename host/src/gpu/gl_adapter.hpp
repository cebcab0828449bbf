#pragma once

#include <string_view>

#include "gpu/gpu_info.hpp"

namespace launcher::gpu {

// The strings an OpenGL context reports about itself.
struct GlStrings {
    std::string_view vendor;    // GL_VENDOR
    std::string_view renderer;  // GL_RENDERER
    std::string_view version;   // GL_VERSION
    std::string_view shading_language_version;
};

// OpenGL names no numeric identifiers, so the vendor is the PCI vendor id of the company its
// vendor string names (Mesa's own id for Mesa's drivers, so a Mesa adapter matches its Vulkan
// entry), else 0; the device is always 0. Software rasterisers are "Cpu", everything else
// "Other", since OpenGL does not say whether a card is integrated. The renderer is the name;
// the version strings are the driver strings.
GpuInfo gl_adapter(const GlStrings& strings);

}  // namespace launcher::gpu
