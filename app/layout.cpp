// The main window's control table, container by container, buttons row by row.
#include "app/layout.h"

#include "app/addresses.h"

namespace {

constexpr int kSoundWidth = 80, kSoundHeight = 32;
constexpr int kToolWidth = 112, kToolHeight = 24;
constexpr int kStatementHeight = 16;

// Containers by their index in kControls.
constexpr int kBox1 = 0, kBox2 = 7, kBox4 = 14, kBox5 = 21, kBox6 = 37, kBox3 = 46;

constexpr LabelLook kNoLook{LabelFont::Statement, {0, 0, 0}, HorizontalAlign::Left,
                            VerticalAlign::Top, false, false};

constexpr ControlRow Box(const char* name, int container, int left, int top, int width,
                          int height, const char* caption)
{
    return {name, ControlKind::GroupBox, container, left, top, width, height, caption,
            ActionKind::None, 0, kNoLook};
}

constexpr ControlRow Sound(const char* name, int container, int left, int top,
                            const char* caption, int sfx)
{
    return {name, ControlKind::Button, container, left, top, kSoundWidth, kSoundHeight, caption,
            ActionKind::PlaySfx, sfx, kNoLook};
}

constexpr ControlRow Tool(const char* name, int left, const char* caption, ActionKind action)
{
    constexpr int kToolTop = 16;
    return {name, ControlKind::Button, kBox3, left, kToolTop, kToolWidth, kToolHeight, caption,
            action, 0, kNoLook};
}

constexpr ControlRow Statement(const char* name, int top, int width, const char* caption,
                                Rgb colour)
{
    constexpr int kStatementLeft = 35;
    return {name, ControlKind::Label, kBox6, kStatementLeft, top, width, kStatementHeight,
            caption, ActionKind::None, 0,
            {LabelFont::Statement, colour, HorizontalAlign::Left, VerticalAlign::Centre, false,
             false}};
}

}  // namespace

const ControlRow kControls[kControlCount] = {
    Box("分组框1", kInWindow, 8, 0, 272, 112, "常用音效"),
    Sound("按钮3", kBox1, 8, 24, "群众笑声/F2键", 3),
    Sound("按钮1", kBox1, 96, 24, "欢呼掌声", 1),
    Sound("按钮2", kBox1, 184, 24, "激烈掌声", 2),
    Sound("按钮5", kBox1, 8, 64, "尖叫声音", 5),
    Sound("按钮4", kBox1, 96, 64, "奸诈笑声", 4),
    Sound("按钮6", kBox1, 184, 64, "乌鸦飞过", 6),

    Box("分组框2", kInWindow, 8, 120, 272, 112, "背景音效"),
    Sound("按钮12", kBox2, 8, 24, "男【出场】", 12),
    Sound("按钮11", kBox2, 96, 24, "女【出场】", 11),
    Sound("按钮10", kBox2, 184, 24, "新闻联播", 10),
    Sound("按钮9", kBox2, 8, 64, "欢快", 9),
    Sound("按钮7", kBox2, 96, 64, "非诚勿扰亮灯", 7),
    Sound("按钮8", kBox2, 184, 64, "非诚勿扰灭灯", 8),

    Box("分组框4", kInWindow, 8, 240, 272, 112, "人物音效"),
    Sound("按钮19", kBox4, 8, 24, "鄙视音效", 19),
    Sound("按钮18", kBox4, 96, 24, "耳光", 18),
    Sound("按钮17", kBox4, 184, 24, "麦吻", 17),
    Sound("按钮16", kBox4, 8, 64, "恐怖声音", 16),
    Sound("按钮14", kBox4, 96, 64, "心跳声音", 14),
    Sound("按钮15", kBox4, 184, 64, "打呼噜声", 15),

    Box("分组框5", kInWindow, 282, 0, 272, 352, "其他音效"),
    Sound("按钮13", kBox5, 6, 16, "打字音效", 13),
    Sound("按钮20", kBox5, 96, 16, "Iphone电话铃", 20),
    Sound("按钮21", kBox5, 184, 16, "搞笑电话占线", 21),
    Sound("按钮22", kBox5, 8, 56, "鼓声", 22),
    Sound("按钮23", kBox5, 96, 56, "紧急刹车", 23),
    Sound("按钮24", kBox5, 184, 56, "给我跪下", 24),
    Sound("按钮25", kBox5, 8, 96, "卡通", 25),
    Sound("按钮26", kBox5, 96, 96, "砸玻璃", 26),
    Sound("按钮27", kBox5, 184, 96, "爆竹", 27),
    Sound("按钮28", kBox5, 8, 136, "救护车", 28),
    Sound("按钮29", kBox5, 96, 136, "超炫警笛", 29),
    Sound("按钮30", kBox5, 184, 136, "机枪扫射", 30),
    Sound("按钮31", kBox5, 8, 176, "手枪", 31),
    Sound("按钮32", kBox5, 96, 176, "炸弹", 32),
    Sound("按钮33", kBox5, 184, 176, "直升飞机", 33),

    Box("分组框6", kBox5, 4, 218, 264, 130, "软件声明"),
    Statement("透明标签2", 14, 192, "①：本软件绝对是禾木个人原创", {255, 0, 0}),
    Statement("透明标签3", 30, 208, "②：本软件安全无毒,绿色使用,无后门", {255, 0, 255}),
    Statement("透明标签4", 46, 192, "③：本软件绝对免费,不收任何费用", {255, 128, 0}),
    Statement("透明标签5", 62, 152, "④：本软件来自禾木资源网", {0, 224, 128}),
    Statement("透明标签6", 78, 120, "⑤：" BOARD_SITE_ADDRESS, {192, 96, 0}),
    Statement("透明标签7", 94, 154, "⑥：本软件可能会持续更新", {144, 0, 255}),
    Statement("透明标签8", 112, 154, "⑦：欢迎各位朋友来信建议", {0, 0, 0}),

    {"透明标签9", ControlKind::Label, kInWindow, 69, 353, 424, 16,
     "免费游戏辅助,QQ技术教程各种源码就来禾木资源网：" BOARD_SITE_ADDRESS,
     ActionKind::OpenSiteAddress, 0,
     {LabelFont::Link, {144, 0, 255}, HorizontalAlign::Left, VerticalAlign::Centre, false, true}},

    Box("分组框3", kInWindow, 0, 378, 560, 48, "其他功能【关于作者】"),
    Tool("停止", 8, "停止当前音效/F1键", ActionKind::StopSfx),
    Tool("禾木", 136, "禾木资源网,技术网", ActionKind::OpenSiteAddress),
    Tool("禾木1", 264, "加入禾木技术QQ群", ActionKind::OpenGroupLink),
    Tool("禾木2", 392, "点击联系禾木", ActionKind::OpenContactLink),
    {"透明标签1", ControlKind::Label, kBox3, 514, 7, 40, 38, "请多支持", ActionKind::None, 0,
     {LabelFont::Note, {255, 0, 0}, HorizontalAlign::Centre, VerticalAlign::Top, true, false}},
};
