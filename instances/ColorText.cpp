#include "instances/ColorText.h"

namespace {

struct Ident {
    const char *name;
    uint32_t value;
};

constexpr uint32_t sys(uint32_t index) {
    return 0xFF000000u | index;
}

const Ident idents[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", sys(0)},
    {"clBackground", sys(1)},
    {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)},
    {"clMenu", sys(4)},
    {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)},
    {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)},
    {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)},
    {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)},
    {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},
    {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clHotLight", sys(26)},
    {"clGradientActiveCaption", sys(27)},
    {"clGradientInactiveCaption", sys(28)},
    {"clMenuHighlight", sys(29)},
    {"clMenuBar", sys(30)},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

constexpr int identCount = int(sizeof(idents) / sizeof(idents[0]));
static_assert(identCount == 52, "every colour identifier is listed once");

bool parseInteger(const QString &text, int32_t *value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const bool hex = i < text.size() && text[i] == QLatin1Char('$');
    if (hex)
        ++i;
    if (i >= text.size())
        return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        v = v * (hex ? 16 : 10) + uint64_t(digit);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    int64_t result;
    if (hex)
        result = int32_t(uint32_t(v)); // the 32 bits as they are, sign included
    else
        result = int64_t(v);
    if (negative)
        result = -result;
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    *value = int32_t(result);
    return true;
}

} // namespace

bool IdentToColor(const QString &ident, TColor *color) {
    for (const Ident &i : idents)
        if (ident.compare(QLatin1String(i.name), Qt::CaseInsensitive) == 0) {
            if (color)
                *color = TColor(i.value);
            return true;
        }
    return false;
}

bool ColorToIdent(TColor color, QString *ident) {
    for (const Ident &i : idents)
        if (TColor(i.value) == color) {
            if (ident)
                *ident = QLatin1String(i.name);
            return true;
        }
    return false;
}

QString ColorToString(TColor color) {
    QString ident;
    if (ColorToIdent(color, &ident))
        return ident;
    return QLatin1Char('$') +
           QStringLiteral("%1").arg(uint32_t(color), 8, 16, QLatin1Char('0')).toUpper();
}

bool StringToColor(const QString &text, TColor *color, QString *error) {
    TColor v;
    if (IdentToColor(text, &v) || parseInteger(text, &v)) {
        if (color)
            *color = v;
        return true;
    }
    if (error)
        *error = QStringLiteral("'%1' is not a valid integer value").arg(text);
    return false;
}

int ColorIdentCount() {
    return identCount;
}

QString ColorIdentAt(int index, TColor *color) {
    if (index < 0 || index >= identCount)
        return QString();
    if (color)
        *color = TColor(idents[index].value);
    return QLatin1String(idents[index].name);
}
