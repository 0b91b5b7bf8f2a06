// The welcome prompt: two message boxes with fixed texts and the site visit.
#include "app/welcome.h"

#include "app/actions.h"

#include "platform/message_box.h"

namespace {
constexpr char kThanksText[] = "【欢迎支持】";
constexpr char kThanksTitle[] = "提示";
}  // namespace

void ShowWelcomePrompt()
{
    // No title: the box's default "信息：" is the one meant.
    if (ShowMessageBox(kWelcomeText, kMessageBoxYesNo) != kAnswerYes)
        return;
    ShowMessageBox(kThanksText, kMessageBoxInformation, kThanksTitle);
    OpenSiteAddress();
}
