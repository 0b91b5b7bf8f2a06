#!/bin/bash
# The welcome prompt answered Yes: the "提示" box with the information icon
# comes first, and the site is opened only once that box is dismissed.
source "$BOARD_SOURCE_DIR/tests/harness/session.sh"
source "$BOARD_SOURCE_DIR/tests/app/board_session.sh"

session_start
browser_standin
wine_start "$BOARD_EXE"
BOARD_PID=$WINE_PID

read -r title icon text < <(inspect --box) || fail "no welcome prompt"
[ "$title" = "$(gbk_hex "信息：")" ] || fail "welcome title $title"
[ "$text" = "$(gbk_hex "欢迎使用禾木【主持人音效】*【是否支持一下我们呢】")" ] || fail "welcome text $text"
[ "$icon" = none ] || fail "welcome box icon: $icon"
inspect --press $IDYES_BUTTON || fail "cannot answer Yes"

# The second box replaces the first; wait for its own title.
for _ in $(seq 100); do
    read -r title icon text < <(inspect --box) || fail "no second box"
    [ "$title" = "$(gbk_hex "提示")" ] && break
    sleep 0.2
done
[ "$title" = "$(gbk_hex "提示")" ] || fail "second box title $title"
[ "$icon" = information ] || fail "second box icon: $icon"
[ "$text" = "$(gbk_hex "【欢迎支持】")" ] || fail "second box text $text"
[ "$(opened_count)" -eq 0 ] || fail "address opened before the box was dismissed"
inspect --press $IDOK_BUTTON || fail "cannot dismiss the second box"

wait_opened 1 || fail "Yes opened no address"
grep -q "http://example.com" "$OPENED_FILE" || fail "Yes opened $(cat "$OPENED_FILE")"
BOARD_XID=$(window_wait "example.com" 120) || fail "main window not shown after Yes"
[ "$(opened_count)" -eq 1 ] || fail "more than one address opened"
board_close
board_wait_exit 60 || fail "board did not end"
