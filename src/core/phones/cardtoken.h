#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The token of a card is the only key to its page for phones: 144 random bits from the system's
// generator, written in base64url without padding (24 characters).
QString NewCardToken();

// A text of the characters and the length a token can have; anything else is no token at all.
bool IsTokenShaped(QStringView text);

// Compares two tokens in a time that depends on their lengths only, never on where they differ.
bool SameToken(QStringView a, QStringView b);
