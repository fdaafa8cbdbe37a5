#!/usr/bin/python3
"""A small HTTP proxy on loopback, for tests and benchmarks: tunnels every connection it is asked
for with CONNECT, forwards plain http requests (absolute form) to their host, and appends each
target ("host:port") to LOG. Prints "READY <port>" once it listens.

    /usr/bin/python3 connect_proxy.py LOG [--delay MS] [--rate BYTES_PER_SECOND] [--bytes-log FILE]

With --bytes-log, each tunnel that ends appends "host:port BYTES" to FILE: the bytes that the
client sent through it (what it put on the link, whether or not the target took them all).

As a home link would, it can hold every byte for MS milliseconds in each direction (the round trip
is then twice that) and share an upstream rate between all connections: the bytes from the
clients towards their targets pass at BYTES_PER_SECOND in all.
"""

import argparse
import collections
import socket
import struct
import threading
import time
import urllib.parse

CHUNK = 16384
lock = threading.Lock()


class SharedRate:
    """A token bucket that all upstream directions draw from; none when the rate is 0."""

    def __init__(self, rate):
        self.rate = rate
        self.available = 0.0
        self.last = time.monotonic()
        self.lock = threading.Lock()

    def take(self, count):
        if self.rate <= 0:
            return
        while True:
            with self.lock:
                now = time.monotonic()
                # A burst of at most a tenth of a second, so that the rate holds over short spans.
                self.available = min(self.available + (now - self.last) * self.rate, self.rate / 10 + CHUNK)
                self.last = now
                if self.available >= count:
                    self.available -= count
                    return
                wait = (count - self.available) / self.rate
            time.sleep(wait)


class DelayedPipe:
    """Forwards what `source` sends to `target`, each chunk no sooner than `delay` after it came."""

    def __init__(self, source, target, delay, rate, first=b""):
        self.source, self.target, self.delay, self.rate = source, target, delay, rate
        self.queue = collections.deque()
        if first:  # what was read from the source already, rewritten: it crosses the link first
            self.queue.append((time.monotonic() + delay, first))
        self.ready = threading.Condition()
        self.received = 0

    def run(self):
        sender = threading.Thread(target=self.send, daemon=True)
        sender.start()
        try:
            while True:
                data = self.source.recv(CHUNK)
                if not data:
                    break
                self.received += len(data)
                if self.rate:
                    self.rate.take(len(data))
                self.put((time.monotonic() + self.delay, data))
        except OSError:
            pass
        self.put((time.monotonic() + self.delay, b""))
        sender.join()

    def put(self, item):
        with self.ready:
            self.queue.append(item)
            self.ready.notify()

    def send(self):
        try:
            while True:
                with self.ready:
                    while not self.queue:
                        self.ready.wait()
                    due, data = self.queue.popleft()
                pause = due - time.monotonic()
                if pause > 0:
                    time.sleep(pause)
                if not data:
                    break
                self.target.sendall(data)
        except OSError:
            # The target broke the connection: so does the link towards the source, at once,
            # rather than taking the rest of its bytes into a queue that goes nowhere.
            try:
                self.source.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.source.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        finally:
            try:
                self.target.shutdown(socket.SHUT_WR)
            except OSError:
                pass


def serve(client, options, upstream_rate):
    with client:
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 8192:
            data = client.recv(1)
            if not data:
                return
            head += data
        words = head.split(b"\r\n", 1)[0].split()
        first = b""
        if len(words) == 3 and words[0] != b"CONNECT":
            # A plain http request: it goes on to its host in origin form, the proxy's own
            # header left out; the answer comes back as it is.
            url = urllib.parse.urlsplit(words[1].decode("latin-1"))
            if url.scheme != "http" or not url.hostname:
                client.sendall(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n")
                return
            target = "%s:%d" % (url.hostname, url.port or 80)
            path = (url.path or "/") + ("?" + url.query if url.query else "")
            lines = [b" ".join([words[0], path.encode("latin-1"), words[2]])]
            lines += [line for line in head.split(b"\r\n")[1:]
                      if line and not line.lower().startswith(b"proxy-connection:")]
            first = b"\r\n".join(lines) + b"\r\n\r\n"
        elif len(words) < 2 or words[0] != b"CONNECT":
            client.sendall(b"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n")
            return
        else:
            target = words[1].decode()
        host, _, port = target.rpartition(":")
        try:
            upstream = socket.create_connection((host.strip("[]"), int(port)), timeout=10)
        except OSError:
            client.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n")
            return
        with lock, open(options.log, "a", encoding="utf-8") as f:
            f.write(target + "\n")
        upstream.settimeout(None)
        # A link delays bytes but does not hold small writes back: Nagle's wait for an ACK would
        # add a delay of the proxy's own to every command that follows another.
        for end in (client, upstream):
            end.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        delay = options.delay / 1000.0
        if not first:
            # The tunnel's answer crosses the link too.
            time.sleep(delay)
            client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        with upstream:
            back = threading.Thread(target=DelayedPipe(upstream, client, delay, None).run, daemon=True)
            back.start()
            up = DelayedPipe(client, upstream, delay, upstream_rate, first)
            up.run()
            back.join()
        if options.bytes_log:
            with lock, open(options.bytes_log, "a", encoding="utf-8") as f:
                f.write("%s %d\n" % (target, up.received))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--delay", type=float, default=0.0, help="milliseconds each way")
    parser.add_argument("--rate", type=float, default=0.0, help="upstream bytes per second, shared")
    parser.add_argument("--bytes-log", help="file that receives each ended tunnel's upstream bytes")
    options = parser.parse_args()
    upstream_rate = SharedRate(options.rate) if options.rate > 0 else None
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    if options.rate > 0:
        # A link holds little more than its bytes in flight: without a bound, loopback's socket
        # buffers would take megabytes at once, and a client would see them as sent.
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, max(int(options.rate * options.delay / 1000), 65536))
    listener.bind(("127.0.0.1", 0))
    listener.listen(50)
    print("READY %d" % listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, options, upstream_rate), daemon=True).start()


if __name__ == "__main__":
    main()
