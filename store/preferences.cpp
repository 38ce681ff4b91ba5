// SPDX-License-Identifier: MIT
#include "store/preferences.h"

#include "store/colourtext.h"
#include "store/inifile.h"

#include <QDir>

namespace vrako {
namespace {

constexpr int kWorkAreaMargin = 15;
// A font size outside this range would make the chat view unreadable or is no size at all.
constexpr int kMinTextSize = 1;
constexpr int kMaxTextSize = 72;

QString boolText(bool on) {
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

const QString Preferences::kFileName = QStringLiteral("dovilobby.ini");
const QString Preferences::kSection = QStringLiteral("Vrako");

std::optional<WindowBounds> boundsToSave(const std::optional<WindowBounds>& saved,
                                         const WindowBounds& window, QSize workArea) {
    // Before the file was read the other preferences are still the built-in ones; writing them
    // would overwrite the user's stored choices.
    if (!saved || *saved == window)
        return std::nullopt;
    WindowBounds out = window;
    if (out.width > workArea.width())
        out.width -= kWorkAreaMargin;
    if (out.height > workArea.height())
        out.height -= kWorkAreaMargin;
    return out;
}

QStringList Preferences::builtInPhrases() {
    return {QStringLiteral("Way To Go!"),
            QStringLiteral("Good One!"),
            QStringLiteral("Nice Try!"),
            QStringLiteral("Excellent!"),
            QStringLiteral("Brilliant!"),
            QStringLiteral("Wow, WTG!"),
            QStringLiteral("Thanks!"),
            QStringLiteral("Good Move"),
            QStringLiteral("Good Game Everyone!")};
}

QString Preferences::filePath(const QString& home) {
    return QDir(home).filePath(kFileName);
}

bool Preferences::isMenuTextSize(int points) {
    return points == 8 || points == 10 || points == 12 || points == 14;
}

void Preferences::load(const IniFile& file) {
    const auto read = [&file](const QString& key) { return file.value(kSection, key); };
    const auto readInt = [&read](const QString& key, int fallback) {
        const auto text = read(key);
        bool ok = false;
        const int n = text ? text->toInt(&ok) : fallback;
        return ok ? n : fallback;
    };

    bounds.top = readInt(QStringLiteral("Top"), 3);
    bounds.left = readInt(QStringLiteral("Left"), 3);
    bounds.width = readInt(QStringLiteral("Width"), 653);
    bounds.height = readInt(QStringLiteral("Height"), 505);
    savedBounds = bounds;

    const int size = readInt(QStringLiteral("Textsize"), 8);
    textSize = size >= kMinTextSize && size <= kMaxTextSize ? size : 8;

    textColour =
        colourFromText(read(QStringLiteral("Textcolor")).value_or(QStringLiteral("clblack")))
            .value_or(colour::Black);

    const QStringList builtIn = builtInPhrases();
    while (phrases.size() < kPhraseCount)
        phrases.append(builtIn.at(phrases.size()));
    for (int n = 1; n <= kPhraseCount; ++n) {
        const auto phrase = read(QStringLiteral("Phrase%1").arg(n));
        if (phrase && !phrase->isEmpty())
            phrases[n - 1] = phrase->left(kPhraseLength);
    }

    // The switches compare exactly: "yes" is not "false", "TRUE" is not "true".
    playSounds = read(QStringLiteral("Playsounds")) != QStringLiteral("false");
    sort = read(QStringLiteral("Sort")) == QStringLiteral("true");

    // Another number keeps the current choice; a value that is no number counts as the default.
    const int speed = readInt(QStringLiteral("Botspeed"), kDefaultBotSpeed);
    if (speed == 500 || speed == 1000 || speed == 1500)
        botSpeed = speed;

    const QString score = read(QStringLiteral("Playtoscore")).value_or(QStringLiteral("20"));
    bool scoreOk = false;
    score.toInt(&scoreOk);
    playToScore = scoreOk ? score : QStringLiteral("20");

    gameType = read(QStringLiteral("Gametype")).value_or(QStringLiteral("s")) == QLatin1String("s")
                   ? vrako::GameType::SameNumber
                   : vrako::GameType::OneMoreOrLess;
    turnSound = read(QStringLiteral("Turnsound")) == QStringLiteral("1") ? 1 : 0;
    chatterSounds = read(QStringLiteral("ChatterSounds")) != QStringLiteral("false");
    upnp = read(QStringLiteral("Upnp")) != QStringLiteral("false");

    lastName = read(QStringLiteral("Lastname")).value_or(QString());
    lastAddress = read(QStringLiteral("Lastaddress")).value_or(QString());
}

void Preferences::store(IniFile& file) const {
    const auto write = [&file](const QString& key, const QString& value) {
        file.setValue(kSection, key, value);
    };
    write(QStringLiteral("Top"), QString::number(bounds.top));
    write(QStringLiteral("Left"), QString::number(bounds.left));
    write(QStringLiteral("Width"), QString::number(bounds.width));
    write(QStringLiteral("Height"), QString::number(bounds.height));
    write(QStringLiteral("Textsize"), QString::number(textSize));
    write(QStringLiteral("Textcolor"), colourToText(textColour));
    write(QStringLiteral("Botspeed"), QString::number(botSpeed));
    write(QStringLiteral("Playtoscore"), playToScore);
    write(QStringLiteral("Gametype"), QString(QLatin1Char(letterOf(gameType))));
    write(QStringLiteral("Playsounds"), boolText(playSounds));
    write(QStringLiteral("Sort"), boolText(sort));
    write(QStringLiteral("Turnsound"), QString::number(turnSound));
    write(QStringLiteral("ChatterSounds"), boolText(chatterSounds));
    write(QStringLiteral("Upnp"), boolText(upnp));
    write(QStringLiteral("Lastname"), lastName);
    write(QStringLiteral("Lastaddress"), lastAddress);
}

Preferences::Key Preferences::phraseKey(int n) {
    return static_cast<Key>(static_cast<unsigned>(Phrase1) << (n - 1));
}

void Preferences::takeChanges(const Preferences& chosen, Keys keys) {
    const auto take = [keys](Key key, auto& mine, const auto& theirs) {
        if (keys.testFlag(key))
            mine = theirs;
    };
    take(TextSize, textSize, chosen.textSize);
    take(TextColour, textColour, chosen.textColour);
    take(PlaySounds, playSounds, chosen.playSounds);
    take(Sort, sort, chosen.sort);
    take(BotSpeed, botSpeed, chosen.botSpeed);
    take(PlayToScore, playToScore, chosen.playToScore);
    take(GameType, gameType, chosen.gameType);
    take(TurnSound, turnSound, chosen.turnSound);
    take(ChatterSounds, chatterSounds, chosen.chatterSounds);
    take(Upnp, upnp, chosen.upnp);
    take(LastName, lastName, chosen.lastName);
    take(LastAddress, lastAddress, chosen.lastAddress);
    for (int n = 1; n <= kPhraseCount && n <= chosen.phrases.size(); ++n) {
        if (!keys.testFlag(phraseKey(n)))
            continue;
        while (phrases.size() < n)
            phrases.append(QString());
        phrases[n - 1] = chosen.phrases[n - 1];
    }
}

void Preferences::storePhrases(IniFile& file) const {
    for (int n = 1; n <= kPhraseCount && n <= phrases.size(); ++n)
        file.setValue(kSection, QStringLiteral("Phrase%1").arg(n), phrases[n - 1]);
}

bool Preferences::loadFrom(const QString& path) {
    IniFile file;
    if (!file.load(path))
        return false;
    load(file);
    return true;
}

bool Preferences::saveTo(const QString& path) const {
    IniFile file;
    file.load(path);
    store(file);
    return file.save();
}

bool Preferences::savePhrasesTo(const QString& path) const {
    IniFile file;
    file.load(path);
    storePhrases(file);
    return file.save();
}

} // namespace vrako
