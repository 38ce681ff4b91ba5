// SPDX-License-Identifier: MIT
#pragma once

#include "support/cards.h"

#include <QFlags>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace vrako {

class IniFile;

// A window's place and size as the settings file stores it.
struct WindowBounds {
    int top = 3;
    int left = 3;
    int width = 653;
    int height = 505;
    bool operator==(const WindowBounds&) const = default;
};

// What closing the main window writes: nothing while the window still has the bounds last
// read or written (or before the file was read at all); otherwise the window's bounds, each
// side 15 pixels smaller where it exceeds the desktop's work area.
std::optional<WindowBounds> boundsToSave(const std::optional<WindowBounds>& saved,
                                         const WindowBounds& window, QSize workArea);

// The user's preferences kept in section "Vrako" of the settings file shared with the lobby.
// A default-constructed object holds what is in force before the file is read; load() applies
// the file, with the file's own defaults for absent keys.
class Preferences {
public:
    static constexpr int kPhraseCount = 9;
    static constexpr int kPhraseLength = 50;
    static constexpr int kDefaultBotSpeed = 1000;

    // The preferences the player sets one by one, to remember which ones were chosen.
    enum Key : unsigned {
        TextSize = 1u << 0,
        TextColour = 1u << 1,
        PlaySounds = 1u << 2,
        Sort = 1u << 3,
        BotSpeed = 1u << 4,
        PlayToScore = 1u << 5,
        GameType = 1u << 6,
        TurnSound = 1u << 7,
        ChatterSounds = 1u << 8,
        LastName = 1u << 9,
        LastAddress = 1u << 10,
        Phrase1 = 1u << 11, // the keys of phrases 2 to 9 follow: phraseKey()
        Upnp = 1u << 20,
    };
    Q_DECLARE_FLAGS(Keys, Key)
    // The key of phrase n, 1 to 9.
    static Key phraseKey(int n);
    static const QString kFileName;
    static const QString kSection;

    static QStringList builtInPhrases();
    // The settings file in the given data folder.
    static QString filePath(const QString& home);

    // The main window's bounds: applied after load(), to be set from the window before store().
    WindowBounds bounds;
    // The bounds last read from or written to the file; none before the file was read.
    std::optional<WindowBounds> savedBounds;
    // Chat text size in points; 10 is the chat's own size before the file is read.
    int textSize = 10;
    // The own chat colour, 0x00BBGGRR.
    quint32 textColour = 0;
    QStringList phrases = builtInPhrases();
    bool playSounds = true;
    bool sort = false;
    // The computer players' delay in ms: 500, 1000 or 1500.
    int botSpeed = kDefaultBotSpeed;
    // The play-to score as the file holds it; the game start dialog shows and sends this text.
    QString playToScore = QStringLiteral("20");
    // Stored as its letter, "s" or "d".
    vrako::GameType gameType = vrako::GameType::OneMoreOrLess;
    // 0 Classic ("turn"), 1 New ("turnnew").
    int turnSound = 0;
    bool chatterSounds = false;
    // Whether a hosting copy asks the home router to forward the game port.
    bool upnp = true;
    // The last name and host address typed in the host-or-join dialog.
    QString lastName;
    QString lastAddress;

    // Applies every key of the section, in the file's order of use; a value that does not read
    // gives that key's default and the other keys still load.
    void load(const IniFile& file);
    // Writes every key but the phrases, in a fixed order, the window's bounds from `bounds`.
    void store(IniFile& file) const;
    // Writes "Phrase1" to "Phrase9".
    void storePhrases(IniFile& file) const;

    // Reads the file at path and applies it. False when the file exists but cannot be read
    // (the preferences then stay as they are).
    bool loadFrom(const QString& path);
    // Reads the file afresh (the lobby may have changed its own sections since), stores the
    // keys and replaces the file; false when it could not be written.
    bool saveTo(const QString& path) const;
    bool savePhrasesTo(const QString& path) const;

    // Takes from `chosen` the preferences that `keys` name (the bounds never). What the player
    // chose before the file was read is saved this way without writing the built-in values of
    // everything else over the stored ones, and wins over the file's values when it is read,
    // even where the choice is the built-in value.
    void takeChanges(const Preferences& chosen, Keys keys);

    // The Text Size menu offers these sizes; another size checks no entry.
    static bool isMenuTextSize(int points);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Preferences::Keys)

} // namespace vrako
