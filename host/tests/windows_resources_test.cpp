// The executable's resources as Windows reads them from this test program, which links the same
// resource object as the launcher: the version record through the version API, the icon group
// and its images, and the manifest through the common controls the loader picks for it.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<char> version_record() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeW(path, &ignored));
    if (data.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data())) data.clear();
    return data;
}

std::string_view resource(int id, LPCSTR type) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return {data, SizeofResource(nullptr, found)};
}

// The icon group's directory as the resource compiler writes it.
#pragma pack(push, 2)
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(WindowsResources, VersionRecord) {
    auto data = version_record();
    ASSERT_FALSE(data.empty()) << "no version record";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD{MAKELONG(1, 0)});
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD{MAKELONG(0, 36)});
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 1033);
    EXPECT_EQ(translation[1], 1200);

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"CompanyName", L"mrv-team"},
        {L"FileDescription", L"Mirravel - Launcher"},
        {L"ProductName", L"Mirravel - Launcher"},
        {L"FileVersion", L"0.1.36"},
        {L"ProductVersion", L"0.1.36"},
    };
    for (const auto& [key, expected] : strings) {
        wchar_t* value = nullptr;
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + key;
        ASSERT_TRUE(VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
        EXPECT_EQ(std::wstring(value), expected) << key;
    }
}

TEST(WindowsResources, IconGroupHoldsSixPngImagesInOrder) {
    auto group = resource(32512, RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u) << "no icon group 32512";
    WORD header[3];
    std::memcpy(header, group.data(), sizeof header);
    EXPECT_EQ(header[1], 1);  // icons, not cursors
    ASSERT_EQ(header[2], 6);
    ASSERT_EQ(group.size(), 6 + 6 * sizeof(GroupEntry));
    const unsigned sizes[] = {32, 16, 24, 48, 64, 256};
    for (int i = 0; i < 6; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        EXPECT_EQ(entry.width == 0 ? 256u : entry.width, sizes[i]) << "image " << i;
        EXPECT_EQ(entry.bit_count, 32) << "image " << i;
        // The image itself: a PNG whose header states the same width.
        auto image = resource(entry.id, RT_ICON);
        ASSERT_GE(image.size(), 24u) << "image " << i;
        EXPECT_EQ(image.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8)) << "image " << i;
        auto* ihdr = reinterpret_cast<const unsigned char*>(image.data() + 16);
        EXPECT_EQ((ihdr[0] << 24) | (ihdr[1] << 16) | (ihdr[2] << 8) | ihdr[3], static_cast<int>(sizes[i]));
        EXPECT_EQ(entry.bytes, image.size()) << "image " << i;
    }
}

TEST(WindowsResources, ManifestSelectsCommonControlsSixOnly) {
    auto manifest = std::string(resource(1, RT_MANIFEST));
    ASSERT_FALSE(manifest.empty()) << "no manifest";
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    for (const char* absent : {"dpiAware", "dpiAwareness", "requestedExecutionLevel", "supportedOS"})
        EXPECT_EQ(manifest.find(absent), std::string::npos) << absent;

    // The loader applied it: the common controls this process gets come from the side-by-side
    // assembly of version 6, not from the system folder.
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(controls, path, MAX_PATH), 0u);
    std::wstring loaded(path);
    CharLowerW(loaded.data());
    EXPECT_NE(loaded.find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."), std::wstring::npos)
        << "loaded " << std::string(loaded.begin(), loaded.end());
}

}  // namespace
