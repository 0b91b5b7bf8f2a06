// The welcome prompt of the start-up: asks once whether to visit the maker's
// site and, on Yes, thanks the user and then opens it.
#pragma once

void ShowWelcomePrompt();
