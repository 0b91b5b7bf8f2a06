// OpenAddress on Windows: owner from the browser's frame window if one exists,
// then ShellExecuteA "open" on the address (with a scheme added to bare hosts).
#include "platform/open_address.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/address_target.h"

namespace {

constexpr const char kBrowserFrameTitle[] = "Microsoft Internet Explorer";

} // namespace

void OpenAddress(const char* address)
{
    HWND owner = FindWindowExA(nullptr, nullptr, nullptr, kBrowserFrameTitle);
    const std::string target = ShellTarget(address);
    ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
