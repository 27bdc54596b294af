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
    // A connection whose bytes waiting to be sent (answers, marks, pongs) would pass this is dropped;
    // so is the connection with the most of them when all together pass the second.
    qint64 UnsentBytes = 64 * 1024;
    qint64 UnsentBytesInAll = 16 * 1024 * 1024;
    // Requests of one address: a burst (a page and all its photos), then so many a second.
    int RequestBurst = 200;
    int RequestsPerSecond = 20;
    // Guessing: after this many unknown cards from an address within the window, every request of
    // that address is refused for the block time.
    int Guesses = 10;
    int GuessWindowMs = 60 * 1000;
    int GuessBlockMs = 5 * 60 * 1000;
    // Fresh cards for guests without paper: per address and in all. The cards in the card record
    // dealt within the last day count towards the total.
    int FreshCardsPerAddress = 1;
    int FreshCards = 100;
    // A card's claims reach the draw screen at most once in this time; the phone is thanked anyway.
    int ClaimIntervalMs = 10 * 1000;
    // A live connection: what a phone may send in one message (it only listens), how many frames
    // of any kind (pings included) within the window, how often the server pings it and after how
    // many pings without an answer it is taken for gone.
    int MessageBytes = 1024;
    int PeerFrames = 10;
    int PeerFrameWindowMs = 10 * 1000;
    int PingMs = 25 * 1000;
    int MissedPongs = 2;
    // How long a closing connection may take to take its last bytes.
    int CloseGraceMs = 2000;
    // The kernel's buffer of a connection's outgoing bytes; 0 leaves the system's size.
    int SendBufferBytes = 0;
};
