// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

namespace vrako {

// True when a chat word becomes a link: in lower case it contains "http://" or "www.".
bool isLinkWord(const QString& word);

// The web address to open for a link word: trailing spaces and the punctuation that a sentence
// puts around a word are removed and "www." gains "http://". Anything that is not then an
// http or https address with a host gives an empty (invalid) QUrl.
QUrl webAddressOf(const QString& word);

} // namespace vrako
