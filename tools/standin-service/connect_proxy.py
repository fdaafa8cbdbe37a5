#!/usr/bin/python3
"""A small HTTP CONNECT proxy on loopback, for tests: tunnels every connection it is asked for and
appends each target ("host:port") to LOG. Prints "READY <port>" once it listens.

    /usr/bin/python3 connect_proxy.py LOG
"""

import socket
import sys
import threading

LOG = sys.argv[1]
lock = threading.Lock()


def pump(source, target):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            target.sendall(data)
    except OSError:
        pass
    finally:
        try:
            target.shutdown(socket.SHUT_WR)
        except OSError:
            pass


def serve(client):
    with client:
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 8192:
            data = client.recv(1)
            if not data:
                return
            head += data
        words = head.split(b"\r\n", 1)[0].split()
        if len(words) < 2 or words[0] != b"CONNECT":
            client.sendall(b"HTTP/1.1 405 Only CONNECT\r\nContent-Length: 0\r\n\r\n")
            return
        target = words[1].decode()
        host, _, port = target.rpartition(":")
        try:
            upstream = socket.create_connection((host.strip("[]"), int(port)), timeout=10)
        except OSError:
            client.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n")
            return
        with lock, open(LOG, "a", encoding="utf-8") as f:
            f.write(target + "\n")
        upstream.settimeout(None)
        client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        with upstream:
            back = threading.Thread(target=pump, args=(upstream, client), daemon=True)
            back.start()
            pump(client, upstream)
            back.join()


def main():
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(50)
    print("READY %d" % listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client,), daemon=True).start()


if __name__ == "__main__":
    main()
