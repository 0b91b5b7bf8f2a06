// The portable halves of the platform services: the style the box gets, the
// number a button becomes, and when an address is given a web scheme.
#include <gtest/gtest.h>

#include <climits>

#include "platform/address_target.h"
#include "platform/message_box_rules.h"

namespace {

TEST(MessageBoxStyle, AddsTaskModalUnlessSystemModalIsAsked)
{
    struct Case { int32_t flags; int32_t style; };
    const Case cases[] = {
        {0, 0x2000},          {4, 0x2004},          {0x40, 0x2040},
        {0x2004, 0x2004},     {0x1004, 0x1004},     {0x1000, 0x1000},
        {0x3004, 0x3004},     {0x40000, 0x42000},   {-1, -1},
        {INT_MIN, INT_MIN | 0x2000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxStyle(c.flags), c.style) << std::hex << c.flags;
}

TEST(MessageBoxResult, ClassicButtonsCountFromZeroEverythingElseIsZero)
{
    struct Case { int32_t platform; int32_t result; };
    const Case cases[] = {
        {1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6},
        {0, 0}, {8, 0}, {10, 0}, {11, 0}, {-1, 0}, {INT_MIN, 0}, {INT_MAX, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxResult(c.platform), c.result) << c.platform;
}

TEST(MessageBoxResult, EachClassicButtonBecomesItsPublishedAnswer)
{
    // The platform's results: IDOK 1, IDCANCEL 2, IDABORT 3, IDRETRY 4, IDIGNORE 5, IDYES 6, IDNO 7.
    struct Case { int32_t platform; int answer; };
    const Case cases[] = {
        {1, kAnswerOk}, {2, kAnswerCancel}, {3, kAnswerAbort}, {4, kAnswerRetry},
        {5, kAnswerIgnore}, {6, kAnswerYes}, {7, kAnswerNo},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxResult(c.platform), c.answer) << c.platform;
}

TEST(MessageBoxStyle, PublishedStylesCombineAndKeepTheirModality)
{
    EXPECT_EQ(MessageBoxStyle(kMessageBoxYesNo), 0x2004);
    EXPECT_EQ(MessageBoxStyle(kMessageBoxOk | kMessageBoxInformation), 0x2040);
    EXPECT_EQ(MessageBoxStyle(kMessageBoxYesNo | kMessageBoxSystemModal), 0x1004);
    EXPECT_EQ(MessageBoxStyle(kMessageBoxYesNo | kMessageBoxTaskModal), 0x2004);
}

TEST(ShellTarget, BareHostsGetTheWebSchemeOthersPassUnchanged)
{
    struct Case { const char* address; const char* target; };
    const Case cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"example.com", "http://example.com"},
        {"www.example.com/path?q=1", "http://www.example.com/path?q=1"},
        {"www.example.com:8080/x", "http://www.example.com:8080/x"},
        {"localhost:8080", "http://localhost:8080"},
        {"http://www.example.com", "http://www.example.com"},
        {"HTTPS://example.com/", "HTTPS://example.com/"},
        {"http://wpa.example.com/msgrd?v=3&uin=1&site=qq&menu=yes",
         "http://wpa.example.com/msgrd?v=3&uin=1&site=qq&menu=yes"},
        {"ftp://files.example.com", "ftp://files.example.com"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"svn+ssh://host/repo", "svn+ssh://host/repo"},
        {"1http://x", "http://1http://x"},
        {"://x", "http://://x"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellTarget(c.address), c.target) << c.address;
}

TEST(ShellTarget, NullAddressOpensNothing)
{
    EXPECT_EQ(ShellTarget(nullptr), "");
    EXPECT_FALSE(AddressHasScheme(nullptr));
}

} // namespace
