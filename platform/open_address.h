// Hands a web address to the system shell, which opens it with its default
// handler. Reports nothing: an address that cannot be opened changes nothing.
#pragma once

void OpenAddress(const char* address);
