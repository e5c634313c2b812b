"""An FTP proxy that puts a round-trip time between a client and a server, and counts the client's commands.

Usage: latency_proxy.py --listen HOST:PORT --server HOST:PORT --rtt-ms MS [--counts FILE]

Every connection (the control connection and each passive data connection)
costs one round trip to set up: the proxy accepts the client at once, then
waits RTT before it connects to the server, so no byte flows before that.
Then every byte is held for half the round trip in each direction, in
order, without any limit on bandwidth: what the client sends reaches the
server RTT/2 later, and the server's answer reaches the client RTT/2 after
the server sent it. End of stream is delayed like the bytes before it.

Passive mode only: a "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" or
"229 Entering Extended Passive Mode (|||port|)" reply is rewritten to name
a listener of the proxy, on the listen host, which forwards the one
connection it takes to the server's data port.

Every line the client sends on a control connection counts as one command
under its verb (upper case). With --counts, the file is rewritten after
every command: a line "total N", then one line "VERB N" per verb, sorted
(replaced as a whole, so a reader never sees half of it). A benchmark reads
it before and after an operation; the difference is what the client sent.
"""
import argparse
import asyncio
import collections
import os
import re
import signal
import sys

PASV_REPLY = re.compile(rb"^227 .*?\(?(\d+),(\d+),(\d+),(\d+),(\d+),(\d+)\)?")
EPSV_REPLY = re.compile(rb"^229 .*\((.)\1\1(\d+)\1\)")


class Proxy:
    def __init__(self, listen_host, server_host, server_port, rtt, counts_path):
        self.listen_host = listen_host
        self.server_host = server_host
        self.server_port = server_port
        self.rtt = rtt
        self.counts_path = counts_path
        self.counts = collections.Counter()

    # -- commands

    def count(self, line):
        words = line.split(None, 1)
        verb = words[0].decode("latin-1").upper() if words else "(empty)"
        self.counts[verb] += 1
        if self.counts_path:
            self.write_counts()

    def write_counts(self):
        text = "total %d\n" % sum(self.counts.values())
        text += "".join("%s %d\n" % item for item in sorted(self.counts.items()))
        temporary = self.counts_path + ".new"
        with open(temporary, "w") as out:
            out.write(text)
        os.replace(temporary, self.counts_path)

    # -- delayed forwarding

    async def forward(self, reader, writer, on_data=None):
        """Copies reader to writer, each chunk (and the end) RTT/2 after it came.

        on_data, when given, takes the bytes read and returns the bytes to
        send (it may hold back an incomplete line and return less)."""
        loop = asyncio.get_running_loop()
        queue = asyncio.Queue()

        async def deliver():
            while True:
                due, data = await queue.get()
                await asyncio.sleep(max(0.0, due - loop.time()))
                if data is None:
                    break
                writer.write(data)
                await writer.drain()
            if writer.can_write_eof():
                writer.write_eof()

        delivery = asyncio.ensure_future(deliver())
        try:
            while True:
                data = await reader.read(65536)
                if not data:
                    break
                if on_data:
                    data = await on_data(data)
                if data:
                    queue.put_nowait((loop.time() + self.rtt / 2, data))
        except ConnectionError:
            pass
        queue.put_nowait((loop.time() + self.rtt / 2, None))
        try:
            await delivery
        except ConnectionError:
            pass

    async def relay(self, client_reader, client_writer, host, port, control):
        """One connection: set up after a round trip, then both directions delayed."""
        await asyncio.sleep(self.rtt)
        try:
            server_reader, server_writer = await asyncio.open_connection(host, port)
        except OSError as error:
            print("latency_proxy: cannot reach %s:%d: %s" % (host, port, error), file=sys.stderr)
            client_writer.close()
            return
        if control:
            upstream = self.commands_filter()
            downstream = self.replies_filter()
        else:
            upstream = downstream = None
        await asyncio.gather(self.forward(client_reader, server_writer, upstream),
                             self.forward(server_reader, client_writer, downstream))
        server_writer.close()
        client_writer.close()

    # -- the control connection

    def commands_filter(self):
        pending = bytearray()

        async def on_data(data):
            pending.extend(data)
            while b"\n" in pending:
                end = pending.index(b"\n") + 1
                self.count(bytes(pending[:end]).strip())
                del pending[:end]
            return data

        return on_data

    def replies_filter(self):
        """Passes whole reply lines only, the passive-mode ones rewritten."""
        pending = bytearray()

        async def on_data(data):
            pending.extend(data)
            out = bytearray()
            while b"\n" in pending:
                end = pending.index(b"\n") + 1
                out += await self.rewrite(bytes(pending[:end]))
                del pending[:end]
            return bytes(out)

        return on_data

    async def rewrite(self, line):
        pasv = PASV_REPLY.match(line)
        if pasv:
            numbers = [int(n) for n in pasv.groups()]
            host = ".".join(str(n) for n in numbers[:4])
            port = await self.data_listener(host, numbers[4] * 256 + numbers[5])
            address = self.listen_host.replace(".", ",")
            return b"227 Entering Passive Mode (%s,%d,%d).\r\n" % (address.encode(), port // 256, port % 256)
        epsv = EPSV_REPLY.match(line)
        if epsv:
            port = await self.data_listener(self.server_host, int(epsv.group(2)))
            return b"229 Entering Extended Passive Mode (|||%d|)\r\n" % port
        return line

    async def data_listener(self, host, port):
        """A listener for one data connection, forwarded to host:port; returns its port."""
        taken = asyncio.get_running_loop().create_future()

        async def accept(reader, writer):
            if taken.done():
                writer.close()
                return
            taken.set_result(None)
            listener.close()
            await self.relay(reader, writer, host, port, control=False)

        listener = await asyncio.start_server(accept, self.listen_host, 0)
        return listener.sockets[0].getsockname()[1]

    async def control(self, reader, writer):
        await self.relay(reader, writer, self.server_host, self.server_port, control=True)


def address(text):
    host, _, port = text.rpartition(":")
    return host, int(port)


async def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--listen", type=address, required=True, help="HOST:PORT the client connects to")
    parser.add_argument("--server", type=address, required=True, help="HOST:PORT of the FTP server")
    parser.add_argument("--rtt-ms", type=float, default=0, help="round-trip time to add, in milliseconds")
    parser.add_argument("--counts", help="file rewritten with the command counts after every command")
    args = parser.parse_args()
    proxy = Proxy(args.listen[0], args.server[0], args.server[1], args.rtt_ms / 1000, args.counts)
    if args.counts:
        proxy.write_counts()
    server = await asyncio.start_server(proxy.control, *args.listen)
    stop = asyncio.get_running_loop().create_future()
    for sig in (signal.SIGINT, signal.SIGTERM):
        asyncio.get_running_loop().add_signal_handler(sig, stop.set_result, None)
    print("latency_proxy: %s:%d -> %s:%d, round trip %g ms" % (*args.listen, *args.server, args.rtt_ms), flush=True)
    async with server:
        await stop


if __name__ == "__main__":
    asyncio.run(main())
