#!/bin/sh
# Writes what the build machine's own tools say about its graphics into DIR: `vulkaninfo
# --summary` (empty where no Vulkan driver is installed) and `glxinfo -B` (needs a display). The
# Windows graphics suite compares wine's answers with them.
# usage: graphics_reference.sh DIR
set -eu
mkdir -p "$1"
command -v vulkaninfo >/dev/null || { echo "graphics_reference: vulkaninfo is missing (vulkan-tools)" >&2; exit 1; }
vulkaninfo --summary >"$1/vulkaninfo.txt" 2>/dev/null || : >"$1/vulkaninfo.txt"
glxinfo -B >"$1/glxinfo.txt"
