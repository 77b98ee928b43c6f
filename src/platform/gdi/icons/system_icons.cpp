#include "platform/gdi/icons/system_icons.h"

#include <cmath>
#include <string_view>

#include "platform/gdi/icons/icon_object.h"

namespace platform {

namespace {

constexpr int kSize = 32;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kYellow = 0xFFFF00;

void Put(IconObject& icon, int x, int y, uint32_t color) {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return;
    size_t i = static_cast<size_t>(y) * kSize + x;
    icon.mask[i] = 0;
    icon.color[i] = color;
}

// A disc with a black rim, centred in the icon.
void Disc(IconObject& icon, uint32_t fill) {
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            double distance = std::hypot(x + 0.5 - 16, y + 0.5 - 16);
            if (distance <= 14.5) Put(icon, x, y, distance > 13.3 ? kBlack : fill);
        }
}

// A mark from rows of '#', drawn in one colour with its top left at (left, top).
void Mark(IconObject& icon, int left, int top, uint32_t color,
          std::initializer_list<std::string_view> rows) {
    int y = top;
    for (std::string_view row : rows) {
        for (size_t x = 0; x < row.size(); ++x)
            if (row[x] == '#') Put(icon, left + static_cast<int>(x), y, color);
        ++y;
    }
}

std::shared_ptr<IconObject> NewIcon() {
    auto icon = std::make_shared<IconObject>(true, kSize, kSize, POINT{16, 16});
    icon->builtIn = true;
    return icon;
}

std::shared_ptr<IconObject> Hand() {
    auto icon = NewIcon();
    Disc(*icon, kRed);
    for (int i = 0; i < 12; ++i)
        for (int t = 0; t < 3; ++t) {
            Put(*icon, 10 + i + t - 1, 10 + i, kWhite);
            Put(*icon, 21 - i - t + 1, 10 + i, kWhite);
        }
    return icon;
}

std::shared_ptr<IconObject> Question() {
    auto icon = NewIcon();
    Disc(*icon, kWhite);
    Mark(*icon, 11, 7, kBlue,
         {" ######", "########", "##    ###", "      ###", "     ###", "    ###", "    ##",
          "    ##", "", "", "    ##", "    ##"});
    return icon;
}

std::shared_ptr<IconObject> Exclamation() {
    auto icon = NewIcon();
    for (int y = 2; y < 30; ++y) {
        int half = (y - 2) / 2 + 1;
        for (int x = 16 - half; x < 16 + half; ++x) {
            bool rim = x == 16 - half || x == 15 + half || y == 29;
            Put(*icon, x, y, rim ? kBlack : kYellow);
        }
    }
    Mark(*icon, 14, 10, kBlack,
         {"####", "####", "####", " ## ", " ## ", " ## ", " ## ", " ## ", "", "", " ## ", " ## "});
    return icon;
}

std::shared_ptr<IconObject> Asterisk() {
    auto icon = NewIcon();
    Disc(*icon, kWhite);
    Mark(*icon, 13, 7, kBlue,
         {" ###", " ###", "", "", "####", " ###", " ###", " ###", " ###", " ###", " ###", " ###",
          "#####"});
    return icon;
}

} // namespace

HICON SystemIcon(LPCSTR name) {
    static const HICON hand = RegisterObject(Hand());
    static const HICON question = RegisterObject(Question());
    static const HICON exclamation = RegisterObject(Exclamation());
    static const HICON asterisk = RegisterObject(Asterisk());
    if (name == IDI_HAND) return hand;
    if (name == IDI_QUESTION) return question;
    if (name == IDI_EXCLAMATION) return exclamation;
    if (name == IDI_ASTERISK) return asterisk;
    return 0;
}

} // namespace platform
