// Where the main window goes and how big it is: the fixed outer size, grown
// only when the frame would leave less client area than the layout needs.
#pragma once

struct OuterRect {
    int left, top, width, height;
};

constexpr int kOuterWidth = 566;
constexpr int kOuterHeight = 457;

// frameWidth/frameHeight: what the border and title bar take from the outer size.
// Centred on the screen with the outer size, division truncating toward zero.
constexpr OuterRect PlaceMainWindow(int screenWidth, int screenHeight, int frameWidth,
                                    int frameHeight, int clientWidth, int clientHeight)
{
    const int width = clientWidth + frameWidth > kOuterWidth ? clientWidth + frameWidth : kOuterWidth;
    const int height =
        clientHeight + frameHeight > kOuterHeight ? clientHeight + frameHeight : kOuterHeight;
    return {(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}
