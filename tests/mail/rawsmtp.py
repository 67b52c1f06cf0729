"""An SMTP server on loopback that misbehaves on purpose, for the send
tests and bench/send_timeout_bench.py."""
import contextlib
import socket
import threading


@contextlib.contextmanager
def raw_server(behaviour):
    """A server that misbehaves on purpose:
    drop        closes every connection at once;
    silent      accepts and never says a word;
    drop-data   talks SMTP until the message data starts, then hangs up;
    stall-data  takes the whole message and never answers it."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    listener.settimeout(0.2)
    stop = threading.Event()
    held = []

    def converse(conn):
        conn.settimeout(30)
        reader = conn.makefile("rb")
        conn.sendall(b"220 raw ESMTP\r\n")
        while not stop.is_set():
            line = reader.readline()
            if not line:
                return
            verb = line[:4].upper()
            if verb == b"EHLO" or verb == b"HELO":
                conn.sendall(b"250 raw\r\n")
            elif verb == b"DATA":
                conn.sendall(b"354 go ahead\r\n")
                if behaviour == "drop-data":
                    reader.readline()
                    conn.close()
                    return
                while reader.readline() not in (b".\r\n", b""):
                    pass
                stop.wait()  # stall-data: the message is never answered
                return
            elif verb == b"QUIT":
                conn.sendall(b"221 bye\r\n")
                return
            else:
                conn.sendall(b"250 OK\r\n")

    def serve():
        while not stop.is_set():
            try:
                conn, _ = listener.accept()
            except socket.timeout:
                continue
            if behaviour == "drop":
                conn.close()
            elif behaviour == "silent":
                held.append(conn)
            else:
                held.append(conn)
                threading.Thread(target=converse, args=(conn,), daemon=True).start()

    thread = threading.Thread(target=serve, daemon=True)
    thread.start()
    try:
        yield listener.getsockname()[1]
    finally:
        stop.set()
        thread.join()
        for conn in held:
            conn.close()
        listener.close()
