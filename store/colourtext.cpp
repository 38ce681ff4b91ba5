// SPDX-License-Identifier: MIT
#include "store/colourtext.h"

#include <QLatin1StringView>

namespace vrako {

namespace {

struct Named {
    const char* name;
    quint32 value;
};

const Named kBasic[] = {
    {"clBlack", colour::Black}, {"clMaroon", colour::Maroon},   {"clGreen", colour::Green},
    {"clOlive", colour::Olive}, {"clNavy", colour::Navy},       {"clPurple", colour::Purple},
    {"clTeal", colour::Teal},   {"clGray", colour::Gray},       {"clSilver", colour::Silver},
    {"clRed", colour::Red},     {"clLime", colour::Lime},       {"clYellow", colour::Yellow},
    {"clBlue", colour::Blue},   {"clFuchsia", colour::Fuchsia}, {"clAqua", colour::Aqua},
    {"clWhite", colour::White},
};

// System colours have no fixed value on the desktop they came from; these are the values of a
// common light desktop scheme, so that a stored system colour still reads as something sensible.
const Named kSystem[] = {
    {"clScrollBar", 0xC8C8C8},
    {"clBackground", 0x000000},
    {"clActiveCaption", 0xD1B499},
    {"clInactiveCaption", 0xDBCDBF},
    {"clMenu", 0xF0F0F0},
    {"clWindow", 0xFFFFFF},
    {"clWindowFrame", 0x646464},
    {"clMenuText", 0x000000},
    {"clWindowText", 0x000000},
    {"clCaptionText", 0x000000},
    {"clActiveBorder", 0xB4B4B4},
    {"clInactiveBorder", 0xFCF7F4},
    {"clAppWorkSpace", 0xABABAB},
    {"clHighlight", 0xFF9933},
    {"clHighlightText", 0xFFFFFF},
    {"clBtnFace", 0xF0F0F0},
    {"clBtnShadow", 0xA0A0A0},
    {"clGrayText", 0x6D6D6D},
    {"clBtnText", 0x000000},
    {"clInactiveCaptionText", 0x544E43},
    {"clBtnHighlight", 0xFFFFFF},
    {"cl3DDkShadow", 0x696969},
    {"cl3DLight", 0xE3E3E3},
    {"clInfoText", 0x000000},
    {"clInfoBk", 0xE1FFFF},
    {"clHotLight", 0xCC6600},
    {"clGradientActiveCaption", 0xEAD1B9},
    {"clGradientInactiveCaption", 0xF2E4D7},
    {"clMenuHighlight", 0xFF9933},
    {"clMenuBar", 0xF0F0F0},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
};

std::optional<quint32> lookup(const QString& text) {
    for (const Named& n : kBasic) {
        if (text.compare(QLatin1StringView(n.name), Qt::CaseInsensitive) == 0) {
            return n.value;
        }
    }
    for (const Named& n : kSystem) {
        if (text.compare(QLatin1StringView(n.name), Qt::CaseInsensitive) == 0) {
            return n.value;
        }
    }
    return std::nullopt;
}

bool allOf(QStringView s, bool (*pred)(char16_t)) {
    if (s.isEmpty()) {
        return false;
    }
    for (QChar c : s) {
        if (!pred(c.unicode())) {
            return false;
        }
    }
    return true;
}

bool isHex(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDigit(char16_t c) {
    return c >= '0' && c <= '9';
}

} // namespace

QString colourToText(quint32 value) {
    for (const Named& n : kBasic) {
        if (n.value == value) {
            return QLatin1StringView(n.name);
        }
    }
    return QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> colourFromText(const QString& text) {
    if (auto named = lookup(text)) {
        return named;
    }
    if (text.startsWith(QLatin1Char('$'))) {
        const QStringView digits = QStringView(text).mid(1);
        if (digits.size() > 8 || !allOf(digits, isHex)) {
            return std::nullopt;
        }
        return quint32(digits.toUInt(nullptr, 16));
    }
    // Decimal, with an optional minus sign for values stored as signed 32-bit numbers.
    QStringView digits(text);
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative) {
        digits = digits.mid(1);
    }
    if (!allOf(digits, isDigit)) {
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong n = digits.toLongLong(&ok);
    if (!ok || (negative && n > 0x80000000LL) || (!negative && n > 0xFFFFFFFFLL)) {
        return std::nullopt;
    }
    return quint32(negative ? -n : n);
}

} // namespace vrako
