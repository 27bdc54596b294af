#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The token of a card is the only key to its page for phones: 145 random bits from the system's
// generator, written as 29 characters of upper-case base 32 (A–Z, 2–7), so that the address on a
// printed card fits the compact alphanumeric mode of a QR code. Cards printed before carry 144
// bits in base64url (24 characters); their tokens stay good.
QString NewCardToken();

// A text of the characters and the length a token can have; anything else is no token at all.
bool IsTokenShaped(QStringView text);

// Compares two tokens in a time that depends on their lengths only, never on where they differ.
bool SameToken(QStringView a, QStringView b);
