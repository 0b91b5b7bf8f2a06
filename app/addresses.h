// The maker's web addresses. The hosts lie under the reserved example domains
// so the board never sends anyone to a stranger's site.
#pragma once

// A bare host name with no scheme (OpenAddress adds the web scheme), short enough
// that "⑤：" and the link line's text plus the host fit their labels in full.
#define BOARD_SITE_ADDRESS "example.com"
#define BOARD_SITE_NAME "禾木资源网"

constexpr char SiteAddress[] = BOARD_SITE_ADDRESS;
constexpr char ContactLink[] = "http://contact.example.net/msgrd?v=3&uin=10001&site=qq&menu=yes";
constexpr char GroupLink[] = "http://group.example.net/?_wv=1027&k=b0a4d1e6f3c2";
