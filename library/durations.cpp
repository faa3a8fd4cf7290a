#include "library/durations.h"

#include <string>

#include "library/number_text.h"

namespace harmovia {
namespace {

struct Parts {
    int32_t d, h, m, hp, mp, s;
};

Parts Split(int32_t n) {
    const int32_t h = n / 3600;
    const int32_t m = n / 60;
    return {n / 86400, h, m, h % 24, m % 60, n % 60};
}

PStr WithoutBlanks(const PStr& text) {
    std::string out;
    for (char c : text.view()) {
        if (c != ' ') {
            out += c;
        }
    }
    return PStr(out);
}

}  // namespace

PStr DurationText(int32_t n) {
    const Parts p = Split(n);
    const PStr sText = (p.s <= 9 ? PStr("0") : PStr()) + NumberText(p.s);
    PStr text;
    if (n < 60) {
        text = PStr("0:") + sText;
    } else if (n < 3600) {
        text = NumberText(p.m) + ":" + sText;
    } else if (n < 86400) {
        const PStr minutes = (p.mp > 9 ? PStr() : PStr("0")) + NumberText(p.mp);
        text = NumberText(p.h) + ":" + minutes + ":" + sText;
    } else {
        text = NumberText(p.d) + ":" + NumberText(p.hp) + ":" + NumberText(p.mp) + ":" +
               NumberText(p.s);
    }
    return WithoutBlanks(text);
}

PStr DurationWords(int32_t n) {
    const Parts p = Split(n);
    if (n < 60) {
        return NumberText(p.s) + " secs ";
    }
    if (n < 3600) {
        return NumberText(p.m) + (p.m == 1 ? " min " : " mins ") + NumberText(p.s) + " secs ";
    }
    if (n < 86400) {
        return NumberText(p.h) + (p.h == 1 ? " hr " : " hrs") + NumberText(p.mp) + " mins " +
               NumberText(p.s) + " secs ";
    }
    return NumberText(p.d) + (p.d == 1 ? " day " : " days ") + NumberText(p.hp) +
           (p.hp == 1 ? " hr " : " hrs ") + NumberText(p.mp) + " mins " + NumberText(p.s) +
           " secs ";
}

PStr SizeText(uint32_t megabytes) {
    if (megabytes <= 1024) {
        return NumberText(megabytes) + " MB";
    }
    return NumberText(megabytes / 1024) + " GB";
}

}  // namespace harmovia
