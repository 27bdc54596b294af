#!/usr/bin/env python3
"""Every attack of docs/phones-threat-model.md against the phone server (bench/phones_serve), one
after the other, from loopback addresses of their own, while the server's resident memory is read
every 50 ms. Prints the memory when idle, the peak during each attack and what it stands at after.

    bench/phones_attack.py SERVE_PROGRAM [seconds per attack]
"""
import asyncio
import base64
import os
import random
import signal
import subprocess
import sys
import tempfile
import time

SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 8.0


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def address(group, k):
    return f"127.{group}.{k // 250}.{k % 250 + 1}"


async def connect(port, source):
    return await asyncio.open_connection("127.0.0.1", port, local_addr=(source, 0), limit=1 << 16)


def get(path, host, extra=b""):
    return b"GET " + path + b" HTTP/1.1\r\nHost: " + host + b"\r\n" + extra + b"\r\n"


UPGRADE = b"Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"


def masked(opcode, payload, mask=True):
    head = bytes([0x80 | opcode])
    key = b"\x11\x22\x33\x44"
    flag = 0x80 if mask else 0
    if len(payload) < 126:
        head += bytes([flag | len(payload)])
    else:
        head += bytes([flag | 126, len(payload) >> 8, len(payload) & 0xFF])
    if not mask:
        return head + payload
    return head + key + bytes(b ^ key[i % 4] for i, b in enumerate(payload))


async def forever(worker, *args):
    """Runs the worker again whenever the server ends its connection, until cancelled."""
    while True:
        try:
            await worker(*args)
        except (ConnectionError, OSError, asyncio.IncompleteReadError):
            pass
        await asyncio.sleep(0.05)


async def drain_quietly(writer):
    try:
        await asyncio.wait_for(writer.drain(), 0.5)
    except asyncio.TimeoutError:
        pass


def ended(reader, writer):
    return reader.at_eof() or writer.is_closing()


# ---- The attacks: each a coroutine per connection ----------------------------------------------

async def guesses(port, host, tokens, source):
    reader, writer = await connect(port, source)
    while not ended(reader, writer):
        fake = base64.b32encode(os.urandom(20)).decode()[:29].encode()
        writer.write(get(b"/c/" + fake + b"/card.json", host))
        await writer.drain()
        await reader.readuntil(b"\r\n\r\n")
        await reader.read(64)


async def path_tricks(port, host, tokens, source):
    reader, writer = await connect(port, source)
    token = random.choice(tokens)
    for path in (b"/c/" + token + b"/%2e%2e/%2e%2e/etc/passwd", b"/c/" + token + b"/photo/%30",
                 b"//c/" + token, b"/c/" + token + b"\\card.json", b"http://x/c/" + token):
        writer.write(get(path, host))
    await drain_quietly(writer)
    await reader.read(1 << 16)
    await asyncio.sleep(1)


async def hold_connection(port, host, tokens, source):
    reader, writer = await connect(port, source)
    await reader.read(1)  # until the server lets go


async def request_flood(port, host, tokens, source):
    reader, writer = await connect(port, source)
    request = get(b"/c/" + random.choice(tokens) + b"/card.json", host) * 20
    while not ended(reader, writer):
        writer.write(request)
        await writer.drain()
        await reader.read(1 << 16)


HUGE = b"x" * 40000


async def huge_requests(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(b"GET /c/x HTTP/1.1\r\nHost: " + host + b"\r\nX: " + HUGE)
    await drain_quietly(writer)
    await reader.read(1)


async def malformed(port, host, tokens, source):
    reader, writer = await connect(port, source)
    token = random.choice(tokens)
    writer.write(b"POST /c/" + token + b"/bingo HTTP/1.1\r\nHost: " + host +
                 random.choice([b"\r\nContent-Length: -5\r\n\r\n", b"\r\nContent-Length: 99999999999999999999\r\n\r\n",
                                b"\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\nabc"]))
    await drain_quietly(writer)
    await reader.read(1 << 16)


async def rebinding(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(get(b"/new", b"party.example.com:50080"))
    await drain_quietly(writer)
    await reader.read(1 << 16)


async def slowloris(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(b"GET /c/")
    while not ended(reader, writer):
        await asyncio.sleep(1)
        writer.write(b"A")
        await writer.drain()


async def never_read_pages(port, host, tokens, source):
    reader, writer = await connect(port, source)
    token = random.choice(tokens)
    request = get(b"/c/" + token, host) + get(b"/c/" + token + b"/photo/0", host)
    while not ended(reader, writer):
        writer.write(request * 10)
        await drain_quietly(writer)
        await asyncio.sleep(0.01)


async def ping_flood(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(get(b"/c/" + random.choice(tokens) + b"/live", host, UPGRADE))
    ping = masked(0x9, b"p" * 125)
    while not ended(reader, writer):
        writer.write(ping * 50)
        await drain_quietly(writer)
        await asyncio.sleep(0.001)


async def live_never_read(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(get(b"/c/" + random.choice(tokens) + b"/live", host, UPGRADE))
    await writer.drain()
    while not ended(reader, writer):  # takes the marks of every panel, reads none
        await asyncio.sleep(0.2)


async def bad_frames(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(get(b"/c/" + random.choice(tokens) + b"/live", host, UPGRADE))
    writer.write(random.choice([masked(0x1, b"hello", mask=False), masked(0x1, b"x" * 60000),
                                bytes([0xC1, 0x85]) + b"\0" * 9]))
    await drain_quietly(writer)
    await reader.read(1 << 16)


async def fresh_cards(port, host, tokens, source):
    reader, writer = await connect(port, source)
    writer.write(get(b"/new", host))
    await writer.drain()
    await reader.read(1 << 16)
    await asyncio.sleep(3600)


ATTACKS = [
    # name, coroutine, addresses, connections per address
    ("guessing tokens (50 addresses)", guesses, 50, 1),
    ("path tricks (50 addresses)", path_tricks, 50, 4),
    ("connection flood (1,210 from 110 addresses)", hold_connection, 110, 11),
    ("card.json flood with a good token (20 addresses, 20 pipelined)", request_flood, 20, 5),
    ("huge requests (100 addresses)", huge_requests, 100, 2),
    ("malformed lengths (100 addresses)", malformed, 100, 4),
    ("another Host: DNS rebinding (100 addresses)", rebinding, 100, 4),
    ("slowloris (1,000 connections)", slowloris, 84, 12),
    ("pages and photos never read (1,000 connections)", never_read_pages, 84, 12),
    ("ping flood, pongs never read (1,000 live connections)", ping_flood, 84, 12),
    ("live phones that never read, a panel each 200 ms (1,000)", live_never_read, 84, 12),
    ("frames against the protocol (100 addresses)", bad_frames, 100, 4),
    ("fresh cards (400 addresses)", fresh_cards, 400, 1),
]


async def attack(index, port, host, tokens):
    """Runs one attack until the process is killed."""
    name, coroutine, addresses, per = ATTACKS[index]
    await asyncio.gather(*(forever(coroutine, port, host, tokens, address(10 + index, a))
                           for a in range(addresses) for _ in range(per)))


def main():
    if sys.argv[1] == "--attack":
        index, port, tokens = int(sys.argv[2]), int(sys.argv[3]), open(sys.argv[4]).read().split()
        asyncio.run(attack(index, port, f"127.0.0.1:{port}".encode(), [t.encode() for t in tokens]))
        return
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    only = os.environ.get("PHONES_ATTACK")
    results = []
    for index, (name, coroutine, addresses, per) in enumerate(ATTACKS):
        if not only or only in name:
            results.append(attack_fresh_server(index, name))
    print(f"largest: +{max(results) / 1024:.1f} MB above idle")


def attack_fresh_server(index, name):
    """Starts a server, lets it settle, attacks it for its time and says how its memory went."""
    server = subprocess.Popen([sys.argv[1], "--seconds", "3600"], stdout=subprocess.PIPE, text=True)
    listing = tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False)
    try:
        port = int(server.stdout.readline())
        tokens = []
        while (line := server.stdout.readline().strip()) != "ready":
            tokens.append(line)
        listing.write("\n".join(tokens))
        listing.close()
        time.sleep(2)
        idle = resident_kb(server.pid)
        # The attack is a process of its own: killed when its time is up, it leaves nothing open.
        attacker = subprocess.Popen([sys.executable, __file__, "--attack", str(index), str(port), listing.name],
                                    stderr=subprocess.DEVNULL)
        peak = idle
        end = time.time() + SECONDS
        while time.time() < end:
            peak = max(peak, resident_kb(server.pid))
            time.sleep(0.05)
        attacker.kill()
        attacker.wait()
        time.sleep(3)
        after = resident_kb(server.pid)
        print(f"{name}: idle {idle / 1024:.1f} MB, peak +{(peak - idle) / 1024:.1f} MB,"
              f" 3 s after +{(after - idle) / 1024:.1f} MB")
        sys.stdout.flush()
        return peak - idle
    finally:
        os.unlink(listing.name)
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
