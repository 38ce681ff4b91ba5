// SPDX-License-Identifier: MIT
#include "chat/chattersounds.h"

#include "support/colours.h"
#include "widgets/soundplayer.h"

#include <QApplication>
#include <array>

namespace vrako {
namespace {

const std::array<const char*, ChatterSounds::kCount> kCaptions = {
    "Doh",       "Cough",    "Hello",          "Thank You",    "Where have you been?",
    "Snoring",   "Sneezing", "Sorry",          "Welcome",      "Yeehaa",
    "Yippee",    "Oh No",    "Applause",       "Honk",         "Oooh",
    "Razzberry", "Cheer",    "Woman Laughing", "Man Laughing", "Crying"};

} // namespace

QString ChatterSounds::caption(int n) {
    if (n < 1 || n > kCount)
        return {};
    return QString::fromLatin1(kCaptions[static_cast<size_t>(n - 1)]);
}

int ChatterSounds::numberOf(const QString& soundName) {
    const QString name = soundName.toLower();
    if (!name.startsWith(QLatin1String("wave")))
        return 0;
    const QStringView digits = QStringView(name).mid(4);
    // Only the plain numbers that name an entry: not "wave05" or "wave+5".
    if (digits.isEmpty() || digits.startsWith(QLatin1Char('0')))
        return 0;
    for (QChar c : digits)
        if (!c.isDigit())
            return 0;
    const int n = digits.toInt();
    return n >= 1 && n <= kCount ? n : 0;
}

ChatterSounds::ChatterSounds(SoundPlayer* player, QObject* parent)
    : QObject(parent), m_player(player), m_beep([] { QApplication::beep(); }) {}

void ChatterSounds::playasound(int seat, const QString& soundName) {
    if (m_enabled) {
        if (!m_player || !m_player->playAlways(soundName))
            m_beep();
        return;
    }
    const QString who = m_nameOf ? m_nameOf(seat) : QString();
    const QString what = caption(numberOf(soundName));
    if (who.isEmpty() || what.isEmpty())
        return;
    emit systemLine(who + QStringLiteral(": <Chatter Sound> ") + what, colour::Blue);
}

} // namespace vrako
