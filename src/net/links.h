#pragma once
// Opening addresses in the user's default browser through the shell, and
// which addresses may be opened at all.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/shell.h"

namespace net {

// Opens an address in the default browser, owned by a window titled
// "Microsoft Internet Explorer" if there is one. Nothing is reported, also
// when the address is empty or cannot be opened.
void openInBrowser(Shell& shell, const std::string& address);

// Whether an address that came from a manifest may reach the shell: an
// absolute http:// or https:// address (scheme in any case, a host after it)
// without control characters, blanks or quotes, and no longer than a web
// address may be on Windows. Anything else could name a local program or file
// for the shell to run, carry arguments into the browser's command line, or
// (a longer one) overrun the shell's own buffers and end the program.
bool isWebAddress(std::string_view address);

// INTERNET_MAX_URL_LENGTH: the longest address, in bytes here, that the
// shell is handed.
inline constexpr std::size_t kMaxWebAddressLength = 2083;

// openInBrowser for an address read from a manifest: one that is not a web
// address is dropped, and nothing is reported.
void openManifestAddress(Shell& shell, const std::string& address);

// What a hyperlink control does on a left press: the shell's "open", and if
// that fails the command registered for ".htm" pages with the address
// appended. True when one of them worked. An address that is not a web
// address (an empty one included; the link's comes from the notice
// manifest) calls nothing.
bool openLinkAddress(Shell& shell, const std::string& address);

// The command line of the ".htm" fallback: the registered command cut before
// its "%1" placeholder (quoted or not), a blank, then the address; nothing
// when it would be longer than the platform's command buffer allows.
std::optional<std::string> fallbackCommandLine(const std::string& registeredCommand, const std::string& address);

}  // namespace net
