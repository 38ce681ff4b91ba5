// SPDX-License-Identifier: MIT
#include "windows/helppages.h"

namespace vrako {

QList<HelpPage> helpPages() {
    return {
        {1, QStringLiteral("Overview"), QStringLiteral(R"(
<h2>Welcome to Vrako</h2>
<p>Vrako is a card game for up to four players at one table. Everybody starts a round with five
cards; the aim is to be the first to get rid of every card in your hand.</p>
<p>A game is played over several rounds. When a round ends, the cards left in each hand are
added to their holder's score, so a low score is good. The game ends when somebody reaches the
play-to score that the host chose (10 to 30, 20 unless changed): the player with the lowest
score then wins.</p>
<p>Seats that no person takes are played by the computer players Klot, Klitz and Kling. Anyone
who joins a full table watches as a spectator and can still chat.</p>
<p>Use the buttons on the left to read about connecting, the rules of play, scoring and the
lobby.</p>)")},
        {2, QStringLiteral("Connecting"), QStringLiteral(R"(
<h2>Solo games</h2>
<p>Started without anything on its command line, Vrako opens a solo game against three computer
players. Press <b>Start Game</b> to deal. A solo game needs no internet connection, but the
game still talks to itself over the network on your own computer, so a firewall must allow
Vrako to use the local network.</p>
<h2>Games with others</h2>
<p>One player <b>hosts</b> the game: the table and its server run inside that player's copy of
Vrako, which listens on TCP port <b>7772</b>. The other players <b>join</b> it by the host's
address. The host's firewall or router must let incoming connections reach port 7772.</p>
<p>Normally the Dovi42 Lobby starts Vrako for everybody at the table. Without the lobby, choose
<b>File, Host or Join a Game...</b>: enter your name, then either <i>Host a game</i> or <i>Join
the game at</i> with the host's name or IP address. Vrako restarts itself in that role.</p>
<p>From a terminal the same is</p>
<pre>  vrako NAME HOST true|false</pre>
<p>where <tt>true</tt> joins the game hosted at HOST and <tt>false</tt> hosts one, for example
<tt>vrako Ann 192.168.1.20 true</tt>.</p>)")},
        {3, QStringLiteral("Game Play"), QStringLiteral(R"(
<h2>Two ways to play</h2>
<p>Every round starts on a blue 1. On your turn play one card that matches the current colour,
or one whose number fits the card on top:</p>
<ul>
<li><b>Same Number Game</b>: the same number in any colour.</li>
<li><b>One More or Less Game</b>: a number one higher or one lower, in any colour. There is no
wrapping round: only an 11 follows a 12, and only a 2 follows a 1.</li>
</ul>
<p>Play passes round the table in the direction the arrow shows. If you cannot or do not want
to play, click the draw pile: you take a card and may play or draw again. With 13 cards in your
hand you cannot draw any more and your turn passes.</p>
<h2>Special cards</h2>
<p>Special cards may be played on anything and leave the card to match as it was.</p>
<ul>
<li><b>Vrako</b>: the next player receives 4 to 9 cards.</li>
<li><b>Reverse</b>: the direction of play turns round.</li>
<li><b>Wild</b>: you name the colour to follow; only that colour may come next.</li>
<li><b>Double</b>: you play again.</li>
<li><b>Bomb</b>: each of the other three players receives 2 cards.</li>
</ul>)")},
        {4, QStringLiteral("Scoring"), QStringLiteral(R"(
<h2>Scoring</h2>
<p>A round ends as soon as one player has played the last card.</p>
<ul>
<li>The player who emptied the hand loses 5 points (a score never drops below 0).</li>
<li>Every other player gains one point for each card still in the hand.</li>
</ul>
<p>When a score reaches the play-to score, the player with the lowest score wins the game. If
two or more players share the lowest score, play goes on with another round until one of them
is ahead.</p>
<p>The <b>Tally List</b> (View menu) keeps count of the games you played and won, in total and
against the players you choose to tally.</p>)")},
        {5, QStringLiteral("Documentation"), QStringLiteral(R"(
<h2>History</h2>
<p><b>1.0.17.4</b></p>
<ul>
<li>Vrako runs natively on the Linux desktop.</li>
<li>File, Host or Join a Game... starts a game with friends without the lobby.</li>
<li>The tally file is written safely: an interrupted save never loses the old tally, and a
damaged tally file is put aside instead of stopping the game.</li>
<li>The lobby is fetched over https and opened by the desktop.</li>
<li>The server checks every message against the connection that sent it.</li>
</ul>)")},
        {6, QStringLiteral("License"), QStringLiteral(R"(
<h2>MIT License</h2>
<p>Copyright (c) Dovi42 Software and the Vrako contributors</p>
<p>Permission is hereby granted, free of charge, to any person obtaining a copy of this software
and associated documentation files (the "Software"), to deal in the Software without
restriction, including without limitation the rights to use, copy, modify, merge, publish,
distribute, sublicense, and/or sell copies of the Software, and to permit persons to whom the
Software is furnished to do so, subject to the following conditions:</p>
<p>The above copyright notice and this permission notice shall be included in all copies or
substantial portions of the Software.</p>
<p>THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, INCLUDING
BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND
NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM,
DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,
OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.</p>)")},
        {11, QStringLiteral("The Lobby"), QStringLiteral(R"(
<h2>The Dovi42 Lobby</h2>
<p>The Dovi42 Lobby is a separate program where players meet, chat and set up tables. When a
table is ready, the lobby starts Vrako for every player in it: one copy hosts the game and the
others join it, so nobody has to type an address.</p>
<p>On Linux Vrako looks for the lobby as the program <tt>dovi42-lobby</tt> on your PATH;
<b>Play with Others</b> in the window shown at a solo game starts it. If it is not installed,
that window can download it; the download is opened by your desktop, which offers to install
it.</p>
<p>No lobby at hand? Use <b>File, Host or Join a Game...</b> to play with friends directly, for
example on your home network.</p>)")},
    };
}

} // namespace vrako
