#pragma once

#include <QtGlobal>

// How much the phone server lets each guest, and everyone together, take. The defaults suit a
// party of up to 300 guests on one network; tests and the load benchmark tighten or loosen them.
struct PhoneLimits {
    // Open connections of one address (a page, its photos and its live connection take a few), and
    // of everyone.
    int ConnectionsPerAddress = 12;
    int Connections = 1000;
    // A request: its line and headers, and its body (a claim has none). A connection that sends more
    // than both together before its request is complete is dropped.
    int HeaderBytes = 4096;
    int BodyBytes = 4096;
    // A request not complete this long after its first byte is dropped; so is a connection that
    // starts no request this long after the last one.
    int RequestMs = 5000;
    int IdleMs = 15000;
    // A live connection whose phone has not taken this much of what was sent is dropped.
    qint64 UnsentBytes = 64 * 1024;
    // Guessing: after this many unknown cards from an address within the window, every request of
    // that address is refused for the block time.
    int Guesses = 10;
    int GuessWindowMs = 60 * 1000;
    int GuessBlockMs = 5 * 60 * 1000;
    // Fresh cards for guests without paper: per address and in all.
    int FreshCardsPerAddress = 1;
    int FreshCards = 100;
    // A card's claims reach the draw screen at most once in this time; the phone is thanked anyway.
    int ClaimIntervalMs = 10 * 1000;
    // The kernel's buffer of a connection's outgoing bytes; 0 leaves the system's size.
    int SendBufferBytes = 0;
};
