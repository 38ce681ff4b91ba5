// SPDX-License-Identifier: MIT
#pragma once

#include "game/spectator.h"
#include "net/messages.h"
#include "support/cards.h"
#include "support/colours.h"
#include "support/seating.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string_view>

namespace vrako {

// Where a seat's controls sit on the board.
enum class SeatPosition { Bottom = 0, Left = 1, Top = 2, Right = 3 };

// What one seat shows: its name and score labels, watching mark, winner animation and fan.
struct SeatView {
    // What a seat nobody has taken shows as its name.
    static QString waiting() { return QStringLiteral("<Waiting>"); }
    bool isWaiting() const { return name == waiting(); }

    QString name = waiting();
    QString score = QStringLiteral("0");
    // Bold and yellow at the start and while on turn; regular silver once the turn is elsewhere.
    bool highlighted = true;
    bool watching = false;    // the eyes mark over the name
    bool winnerShown = false; // the winner animation runs
    int fanCount = 0;         // card backs drawn in the seat's fan
};

// One card of the local hand.
struct HandCard {
    int id = 0; // the server's slot number, 1 to card::kHandSlots
    int code = -1;
    bool raised = false;
};

// The client's whole game state and its message handlers, without widgets.
//
// Messages come in one at a time through dispatch(); requests go out as exact protocol bytes
// through sendRequested(). The board, hand and chat widgets observe the state and the signals,
// and call the operations below for what the user did; no widget builds a message itself.
//
// Several operations keep the names the game's first version gave its event handlers; each
// says in a line what it answers to.
class ClientGame : public QObject {
    Q_OBJECT
public:
    // The colours of the program's own chat lines, 0x00BBGGRR.
    static constexpr quint32 kBlue = colour::Blue;
    static constexpr quint32 kGrey = colour::Gray;
    static constexpr quint32 kGreen = colour::Green;
    static constexpr quint32 kWatchColour = 0x78989C;

    explicit ClientGame(QObject* parent = nullptr);

    // ---- start-up state ----
    void setPlayerName(const QString& name) { m_playername = name; }
    QString playername() const { return m_playername; }
    void setHosting(bool on);
    bool hosting() const { return m_hosting; }
    const std::array<QString, seating::kSeats + 1>& botnames() const { return m_botnames; }

    // ---- seats ----
    int myseat() const { return m_myseat; }
    bool loggedin() const { return m_loggedin; }
    int whoseturn() const { return m_whoseturn; }
    bool isPlayer() const { return seating::isSeat(m_myseat); }
    const SeatView& seat(int seat) const { return m_seats.at(seat); }
    SeatPosition positionOf(int seat) const { return m_position.at(seat); }
    int seatAt(SeatPosition pos) const;
    // True when the seat's card-back fan is drawn horizontally (it sits opposite).
    bool fanIsHorizontal(int seat) const;
    const QList<Spectator>& spies() const { return m_spies; }
    // The names of seats 1 to 4 as the table shows them; empty for a seat nobody has taken.
    QStringList tableNames() const;

    // ---- table ----
    QString statusText() const { return m_status; }
    QString turnText() const { return m_turn; }
    QString playToScoreText() const { return m_playToScore; }
    QString gameTypeText() const { return m_gameType; }
    int topCard() const { return m_topcard; }      // -1: cleared
    int otherCard() const { return m_othercard; }  // -1: hidden
    int colourInFront() const { return m_colour; } // 0 blue, 1 green, 2 red, 3 yellow
    bool waitingShown() const { return m_waiting; }
    bool arrowLeftShown() const { return m_arrowLeft; }
    bool arrowRightShown() const { return m_arrowRight; }
    bool drawLabelShown() const { return m_drawLabel; }
    bool startButtonShown() const { return m_startButton; }
    bool justWatchChecked() const { return m_justWatch; }

    // ---- hand ----
    // The card ids in place order (place 0 first); occupied places form an unbroken run.
    QList<int> handIds() const;
    const HandCard* card(int id) const;
    int pendingcard() const { return m_pendingcard; }
    bool colourChooserShown() const { return m_chooser; }
    int chooserCardId() const { return m_chooserCard; }
    void setAutoSort(bool on) { m_autoSort = on; }
    bool autoSort() const { return m_autoSort; }
    void setTurnSoundNew(bool on) { m_turnSoundNew = on; }

    // Handles one received message (its text without the closing 0xFF).
    void dispatch(std::string_view message);
    // The connection is gone and another will be tried: nothing may be sent meanwhile. The next
    // login starts the table afresh (the catch-up fills it again) unless it would make a
    // player who held a seat a spectator: then seatNotFree() asks to try again later.
    void prepareRejoin();
    bool rejoining() const { return m_rejoining; }

    // ---- the user's actions ----
    // A mouse button pressed on a card of the hand: plays it (a Wild opens the colour chooser)
    // or, with the right button, sorts the hand.
    void movingimagesMouseDown(int cardId, bool rightButton);
    // A colour bar of the colour chooser clicked: plays the waiting Wild with colour 53 to 56.
    void Image3Click(int colourValue);
    // The draw pile clicked.
    void image_drawClick();
    void hideColourChooser();
    // Sorts the hand by colour and number.
    void sortthem();
    // Options, "Just Watch": asks the server to switch the own seat's watching.
    void JustWatch1Click();
    void setSeatWatching(int seat, bool watching);
    // Asks the server to remove the player of a record (host only).
    void kicking(int seat);
    // Whether the seat popup's three items are enabled for a label showing this seat.
    bool seatPopupEnabled(int seat) const;
    // The table's "Start Game" button or File, "Start Game": asks for the game start dialog.
    void button_startClick();

    // Chat lines, actions and chatter sounds of the own record, sent only while logged in;
    // a sound needs a seat. Each returns whether it was sent.
    bool sendChat(const QString& text, quint32 colour);
    bool sendAction(const QString& text, quint32 colour);
    bool sendSound(int wave);
    // Starts a new game as this player.
    void startGame(int playToScore, GameType type);

signals:
    void sendRequested(const QByteArray& bytes);
    // A line of the program's own for the chat log, in a 0x00BBGGRR colour.
    void systemLine(const QString& text, quint32 colour);
    void soundRequested(const QString& name);
    void changed();
    void spiesChanged();
    void closeRequested();
    // A login to another connection completed: the record is the one now held.
    void loggedIn(int record);
    // A rejoin was offered only a spectator's record while this player held a seat.
    void seatNotFree();
    void gameFull();
    // A chatter sound from record: the sound's name ("wave5").
    void chatterSound(int record, const QString& sound);
    void chatReceived(const QString& text);
    void settingsWanted();
    void gameStartWanted();
    void notConnected();
    // A game this copy played in (as a seat) was won by seat.
    void gameWon(int seat);

private:
    void send(const std::string& bytes);
    void blueLine(const QString& text) { emit systemLine(text, kBlue); }
    // Hands a message's fields to its handler, if they read.
    template <typename Fields>
    void apply(const std::optional<Fields>& fields, void (ClientGame::*handler)(const Fields&)) {
        if (fields)
            (this->*handler)(*fields);
    }
    void sendloginfo(const msg::Record& login);
    // Forgets the seats, names, spectators and hand of a connection that ended.
    void resetTable();
    void sortstuff();
    void relayedLine(const msg::Text& line);
    void havewrongversion(const msg::Text& name);
    void newplayerinfo(const msg::Players& players);
    void playerdisconnected(const msg::Departure& departure);
    void startthegame(const msg::GameStarted& start);
    void getnextplayer(const msg::Turn& turn);
    void winner(const msg::Seat& roundWon);
    // Every dealt card is heard, even one whose fields do not read.
    void acard(const std::optional<msg::Dealt>& dealt);
    void playcard(const msg::Played& played);
    void nomatch();
    void playwild(const msg::WildColour& wild);
    void nomorecards(const msg::Seat& full);
    void cardcount(const msg::CardCount& count);
    void startround();
    void gamewinner(const msg::Seat& game);
    void thescores(const msg::Scores& scores);
    void setdeletecard(const msg::SlotOf& removal);
    void justwatching(const msg::Watching& watching);
    void thecards(const msg::Cards& cards);
    void gamestats(const msg::GameStats& stats);
    void penalty(const QString& text);

    void createcard(int id, int code);
    void cleartable();
    void resetCentre();
    void showColourOf(int code);
    bool validSeat(int seat) const { return seating::isSeat(seat); }

    QString m_playername;
    bool m_hosting = false;
    std::array<QString, seating::kSeats + 1> m_botnames;
    int m_myseat = 0;
    bool m_loggedin = false;
    bool m_rejoining = false;
    int m_whoseturn = 0;
    std::array<SeatView, seating::kSeats + 1> m_seats;
    std::array<SeatPosition, seating::kSeats + 1> m_position;
    QList<Spectator> m_spies;

    QString m_status = QStringLiteral("Welcome to Vrako by Dovi42 Software");
    QString m_turn;
    QString m_playToScore = QStringLiteral("Play To Score: 20");
    QString m_gameType = QStringLiteral("One More or Less");
    int m_topcard = -1;
    int m_othercard = -1;
    int m_colour = 0;
    bool m_waiting = false;
    bool m_arrowLeft = false;
    bool m_arrowRight = false;
    bool m_drawLabel = false;
    bool m_startButton = false;
    bool m_justWatch = false;

    std::array<int, card::kHandSlots> m_handslots{};      // card id per place, 0 = free
    std::array<HandCard, card::kHandSlots + 1> m_cards{}; // by id; id 0 = none
    int m_pendingcard = 0;
    bool m_chooser = false;
    int m_chooserCard = 0;
    bool m_autoSort = false;
    bool m_turnSoundNew = false;
};

} // namespace vrako
