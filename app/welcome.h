// The welcome prompt of the start-up: asks once whether to visit the maker's
// site and, on Yes, thanks the user and then opens it.
#pragma once

constexpr char kWelcomeText[] = "欢迎使用禾木【主持人音效】*【是否支持一下我们呢】";

void ShowWelcomePrompt();
