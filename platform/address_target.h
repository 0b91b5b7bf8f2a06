// Which text the shell is handed for an address: a bare host gets "http://" in
// front, so the shell never looks for a local file of that name (".com" runs).
#pragma once

#include <string>

// True when the address starts with a scheme ("http://", "mailto:" ...), not a host or host:port.
bool AddressHasScheme(const char* address);

// The address itself when it has a scheme (or is empty or null: nothing to open), "http://" + address otherwise.
std::string ShellTarget(const char* address);
