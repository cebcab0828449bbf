// The shell on Windows: installers started with ShellExecuteW, URLs opened with ShellExecuteExW,
// items shown with SHOpenFolderAndSelectItems, and the relaunched launcher started with
// CreateProcessW. Text crosses into the wide functions as UTF-16, so paths and URLs in any
// language arrive as they were given.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <memory>

#include "platform/shell.hpp"
#include "platform/windows/shell/command_line.hpp"
#include "platform/windows/text/wide_text.hpp"

namespace launcher::platform {

namespace {

using windows_text::narrow;
using windows_text::system_message;
using windows_text::widen;

// The shell may hand a request to extensions that are COM objects, so each call runs with COM
// initialised on its thread (the callers are workers the launcher's runtime owns).
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

struct ItemListDeleter {
    void operator()(ITEMIDLIST* list) const { ILFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListDeleter>;

std::string hresult_message(HRESULT result) {
    return system_message(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                                     : static_cast<unsigned long>(result));
}

class WindowsShell final : public Shell {
public:
    void start(const std::string& executable, const std::string& parameters) override {
        ComScope com;
        auto file = widen(executable);
        auto params = widen(parameters);
        (void)ShellExecuteW(nullptr, L"open", file.c_str(), params.c_str(), nullptr, SW_SHOW);
    }

    // No verb: the shell's default for the URL's scheme. The shell shows no error box of its
    // own (the page gets the message), and the request is complete before the call returns.
    std::expected<void, std::string> open_url(const std::string& url, const std::optional<std::string>& with) override {
        ComScope com;
        auto file = widen(with ? *with : url);
        std::wstring params = with ? widen(url) : std::wstring();
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpFile = file.c_str();
        info.lpParameters = with ? params.c_str() : nullptr;
        info.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExW(&info)) return std::unexpected(system_message(GetLastError()));
        return {};
    }

    std::expected<void, std::string> reveal(const std::vector<std::string>& paths) override {
        ComScope com;
        std::vector<ItemList> items;
        for (const auto& path : paths) {
            auto wide = widen(path);
            std::error_code missing;
            if (!std::filesystem::exists(std::filesystem::path(wide), missing))
                return std::unexpected("path does not exist: " + path);
            if (!std::filesystem::path(wide).is_absolute()) return std::unexpected("path is not absolute: " + path);
            items.emplace_back(ILCreateFromPathW(wide.c_str()));
            if (!items.back()) return std::unexpected(system_message(ERROR_FILE_NOT_FOUND));
        }
        for (const auto& item : items) {
            if (auto shown = SHOpenFolderAndSelectItems(item.get(), 0, nullptr, 0); FAILED(shown))
                return std::unexpected(hresult_message(shown));
        }
        return {};
    }
};

// The running executable's path, however long it is.
std::optional<std::wstring> module_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

Shell& system_shell() {
    static WindowsShell shell;
    return shell;
}

void relaunch_current_executable(const std::vector<std::string>& args) {
    auto executable = module_path();
    if (!executable) return;
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    auto line = widen(windows_shell::command_line(narrow(*executable), args));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(executable->c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace launcher::platform
